// Defaults the sanitizer runtimes ask for at start-up; an environment setting still wins.

extern "C" {

const char* __asan_default_options() {
    return "detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

// Only the libraries below us: Qt, its font and desktop stacks, and the sound libraries keep
// process-lifetime caches that are never freed. Nothing of ours is listed.
const char* __lsan_default_suppressions() {
    return "leak:libQt6\n"
           "leak:libfontconfig\n"
           "leak:libfreetype\n"
           "leak:libglib-2.0\n"
           "leak:libgobject-2.0\n"
           "leak:libdbus-1\n"
           "leak:libasound\n"
           "leak:libout123\n"
           "leak:libpulse\n"
           "leak:libxkbcommon\n";
}
}

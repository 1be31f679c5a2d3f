// Times the library scan against a plain loop over the same files, and the memory the
// loaded library takes.
//   scan_bench [files] [folders]     (default 20000 files in 40 folders)
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QListWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/text_helpers.h"
#include "platform/files.h"
#include "server/main_window.h"
#include "server/program_block.h"
#include "server/setup_window.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string tagBlock(int n) {
    std::string title = "Song number " + std::to_string(n);
    std::string block = "TAG";
    const auto field = [&](std::string s, size_t w) {
        s.resize(w, '\0');
        block += s;
    };
    field(title, 30);
    field("Bench Artist " + std::to_string(n % 97), 30);
    field("Bench Album " + std::to_string(n % 31), 30);
    field("2001", 4);
    field("generated", 30);
    block += static_cast<char>(n % 126);
    return block;
}

void generate(const std::string& root, int files, int folders) {
    const std::string frame = std::string("\xFF\xFB\x90\x64", 4) + std::string(413, '\x55');
    for (int i = 0; i < files; ++i) {
        const std::string folder = root + "folder" + std::to_string(i % folders) + "/";
        if (i < folders) std::filesystem::create_directories(folder);
        std::ofstream out(folder + "song" + std::to_string(i) + ".mp3", std::ios::binary);
        out << frame << tagBlock(i);
    }
}

// What the operating system has to do at the least: list, open, read the last 128 bytes.
size_t plainLoop(const std::string& root, int folders) {
    size_t tags = 0;
    char block[128];
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "folder" + std::to_string(f) + "/";
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) continue;
        while (const dirent* e = ::readdir(dir)) {
            const size_t len = std::strlen(e->d_name);
            if (len < 4 || ::strcasecmp(e->d_name + len - 4, ".mp3") != 0) continue;
            const int fd = ::open((folder + e->d_name).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            struct stat st {};
            if (::fstat(fd, &st) == 0 && st.st_size >= 128 &&
                ::pread(fd, block, sizeof block, st.st_size - 128) == 128 &&
                std::memcmp(block, "TAG", 3) == 0)
                ++tags;
            ::close(fd);
        }
        ::closedir(dir);
    }
    return tags;
}

template <class F>
double bestMs(int runs, F&& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best,
                        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 40;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    char templ[] = "/tmp/sonh-scan-bench-XXXXXX";
    if (!::mkdtemp(templ)) return 1;
    const std::string root = std::string(templ) + "/";
    std::printf("Generating %d tagged files in %d folders under %s ...\n", files, folders, templ);
    generate(root, files, folders);

    sonhall::ServerEnvironment env = sonhall::StandardEnvironment();
    env.realTimers = false;
    env.endProgram = [] {};
    const long rssBefore = residentKb();
    double scanMs = 0, plainMs = 0;
    size_t songs = 0, tags = 0;
    long rssLoaded = 0;
    {
        sonhall::ProgramBlock program(env);
        sonhall::TaSetup& setup = *program.forms().aSetup;
        for (int f = 0; f < folders; ++f)
            setup.ListBox1->addItem(
                QString::fromStdString(kv::UpperCase(root + "folder" + std::to_string(f)) + "/"));

        tags = plainLoop(root, folders);  // warms the file system's caches for both
        plainMs = bestMs(3, [&] { tags = plainLoop(root, folders); });
        scanMs = bestMs(3, [&] { setup.ReadSongs(); });
        songs = program.forms().aMain->SongLibrary.size();
        rssLoaded = residentKb();
    }
    std::filesystem::remove_all(root);

    std::printf("files scanned:      %zu (plain loop found %zu tags)\n", songs, tags);
    std::printf("TaSetup.ReadSongs:  %8.1f ms\n", scanMs);
    std::printf("plain loop:         %8.1f ms\n", plainMs);
    std::printf("ratio:              %8.2f x   (goal: within 3 x)\n", scanMs / plainMs);
    std::printf("resident memory:    %8.1f MB with the songs loaded (%.1f MB before the forms;"
                " goal: under 60 MB)\n",
                rssLoaded / 1024.0, rssBefore / 1024.0);
    return 0;
}

# libFuzzer targets, built where the compiler is clang. Each gets a short smoke run in CTest;
# long runs are started by hand: bin/<name> -max_total_time=600 <corpus folder>.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(SONH_FUZZ_DEFAULT ON)
else()
    set(SONH_FUZZ_DEFAULT OFF)
endif()
option(SONH_FUZZ "Build the libFuzzer targets (clang only)" ${SONH_FUZZ_DEFAULT})

# sonh_add_fuzzer(<name> SOURCES ... [LIBS ...] [SMOKE_SECONDS n])
function(sonh_add_fuzzer name)
    if(NOT SONH_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "SMOKE_SECONDS" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_SMOKE_SECONDS)
        set(ARG_SMOKE_SECONDS 5)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    if(SONH_SANITIZE)
        target_sources(${name} PRIVATE $<TARGET_OBJECTS:sonh_sanitizer_defaults>)
    endif()
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}_smoke
             COMMAND ${name} -max_total_time=${ARG_SMOKE_SECONDS} -timeout=10 ${corpus}
                     ${CMAKE_CURRENT_SOURCE_DIR}/${name}_seeds)
    set_tests_properties(${name}_smoke PROPERTIES TIMEOUT 120
                         ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

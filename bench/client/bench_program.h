#pragma once

#include <stdlib.h>

#include <string>

#include "client/client_environment.h"

// What every client benchmark sets up before it builds the forms.
namespace client_bench {

// A fresh folder under /tmp named after the benchmark, with a trailing "/"; empty on failure.
inline std::string MakeTempFolder(const std::string& name) {
    std::string templ = "/tmp/" + name + "-XXXXXX";
    if (!::mkdtemp(templ.data()))
        return {};
    return templ + "/";
}

// The program's own environment in that folder, with the tick left to the benchmark.
inline sonpad::ClientEnvironment BenchEnvironment(const std::string& folder) {
    sonpad::ClientEnvironment env = sonpad::StandardEnvironment();
    env.programFolder = folder;
    env.realTimers = false;
    env.endProgram = [] {};
    return env;
}

}  // namespace client_bench

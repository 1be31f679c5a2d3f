#include "tests/support/program_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace testing_support {

using namespace std::chrono_literals;

ProgramProcess::ProgramProcess(const std::string& program, const std::string& log,
                               const std::vector<std::string>& environment)
    : log_(log) {
    std::vector<std::string> given = environment;
    given.emplace_back("QT_QPA_PLATFORM=offscreen");
    const auto replaced = [&given](std::string_view e) {
        for (const std::string& g : given)
            if (e.starts_with(g.substr(0, g.find('=') + 1)))
                return true;
        return false;
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (!replaced(*e))
            env.emplace_back(*e);
    for (const std::string& g : given)
        if (g.find('=') + 1 < g.size())
            env.push_back(g);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = program;
    char* argv[] = {arg0.data(), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    if (posix_spawn(&pid_, program.c_str(), &files, nullptr, argv, envp.data()) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
}

ProgramProcess::~ProgramProcess() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(50ms);
    if (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::string ProgramProcess::Log() const {
    return readFile(log_);
}

void ProgramProcess::Signal(int signal) const {
    ::kill(pid_, signal);
}

bool ProgramProcess::Catches(int signal) const {
    // The caught signals' mask in the process's status, in hexadecimal.
    std::istringstream status(readFile("/proc/" + std::to_string(pid_) + "/status"));
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigCgt:"))
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

std::optional<int> ProgramProcess::WaitForExit(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            if (WIFEXITED(status))
                return WEXITSTATUS(status);
            return std::nullopt;
        }
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}

}  // namespace testing_support

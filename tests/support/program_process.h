#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// A real program started offscreen, its output in a log file; ended with SIGTERM (then
// SIGKILL) when the object goes.
class ProgramProcess {
  public:
    // Each "NAME=value" of environment replaces the inherited variable of that name; one with
    // nothing after "=" removes it.
    ProgramProcess(const std::string& program, const std::string& log,
                   const std::vector<std::string>& environment = {});
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool started() const { return pid_ > 0; }
    std::string Log() const;

    void Signal(int signal) const;
    // True once the program has set up its own handling of the signal.
    bool Catches(int signal) const;
    // The exit status once the program has ended by itself; nothing when it has not, or when
    // a signal ended it.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

  private:
    pid_t pid_ = -1;
    std::string log_;
};

}  // namespace testing_support

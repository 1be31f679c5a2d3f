#pragma once

#include <QDateTime>
#include <QSize>
#include <functional>
#include <string>

namespace sonpad {

// What the client takes from its surroundings; tests replace the parts they must control.
struct ClientEnvironment {
    // The program's folder (trailing "/"): the configuration, queue, animation and help files.
    std::string programFolder;
    std::function<QDateTime()> now;
    // The primary screen's size in pixels; the remembered window size is kept within it.
    std::function<QSize()> screenSize;
    // Ends the program (the event loop returns).
    std::function<void()> endProgram;
    // Off: timers only record whether they are on, and the tests tick by hand.
    bool realTimers = true;
    // How often the scan repaints its progress and lets other events in; 0 = every file.
    int progressIntervalMs = 16;
};

// The running program's environment: files next to the program, the real clock and screen.
ClientEnvironment StandardEnvironment();

}  // namespace sonpad

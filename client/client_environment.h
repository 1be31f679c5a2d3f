#pragma once

#include <QDateTime>
#include <QSize>
#include <functional>
#include <memory>
#include <string>

#include "platform/audio/media_player.h"
#include "platform/audio/wave_volume.h"

class QWidget;

namespace sonpad {

class TrayIcon;

// What the client takes from its surroundings; tests replace the parts they must control.
struct ClientEnvironment {
    // The program's folder (trailing "/"): the configuration, queue, animation and help files.
    std::string programFolder;
    std::function<QDateTime()> now;
    // Waits on the user-interface thread (the random choice's pauses); unset waits not at all.
    std::function<void(int ms)> pause;
    // The primary screen's size in pixels; the remembered window size is kept within it.
    std::function<QSize()> screenSize;
    // Ends the program (the event loop returns).
    std::function<void()> endProgram;
    // Makes the local player; may give nothing where no audio engine is built in.
    std::function<std::unique_ptr<platform::audio::MediaPlayer>()> makePlayer;
    // Makes the wave-out volume devices; unset or giving nothing means no device.
    std::function<std::unique_ptr<platform::audio::WaveOutDevices>()> makeVolumeDevices;
    // Makes the icon in the desktop's notification area; unset or giving nothing means the
    // desktop has none (or nobody sees it), and the window can then not be hidden.
    std::function<std::unique_ptr<TrayIcon>(QWidget* owner)> makeTrayIcon;
    // Off: timers only record whether they are on, and the tests tick by hand.
    bool realTimers = true;
    // How often the scan repaints its progress and lets other events in; 0 = every file.
    int progressIntervalMs = 16;
};

// The running program's environment: files next to the program, the real clock, screen,
// player, volume devices and notification area.
ClientEnvironment StandardEnvironment();

}  // namespace sonpad

#pragma once

#include <QDateTime>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/audio/media_player.h"
#include "platform/audio/wave_volume.h"

namespace sonhall {

// What the server takes from its surroundings; tests replace the parts they must control.
struct ServerEnvironment {
    // The program's folder (trailing "/"): the configuration, animation and help files.
    std::string programFolder;
    // The system tick count in milliseconds; wraps like a 32-bit counter.
    std::function<std::uint32_t()> tickCount;
    std::function<QDateTime()> now;
    // Makes one of the two media players; may give nothing where no audio engine is built in.
    std::function<std::unique_ptr<platform::audio::MediaPlayer>()> makePlayer;
    // Makes the wave-out volume devices; unset or giving nothing means no device.
    std::function<std::unique_ptr<platform::audio::WaveOutDevices>()> makeVolumeDevices;
    // Ends the program (the event loop returns).
    std::function<void()> endProgram;
    // Off: Timer1 only records whether it is on, and the tests tick by hand.
    bool realTimers = true;
    // How often the scan repaints its progress and lets other events in; 0 = every file.
    int progressIntervalMs = 16;
    // A connection that has not logged in this long after it came is closed.
    std::chrono::milliseconds logInTimeout{30'000};
};

// The running program's environment: files next to the program, the real clock and players.
ServerEnvironment StandardEnvironment();

}  // namespace sonhall

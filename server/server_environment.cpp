#include "server/server_environment.h"

#include <QCoreApplication>
#include <chrono>

#include "platform/audio/audio_engine.h"
#include "platform/audio/wave_volume.h"
#include "platform/files.h"

namespace sonhall {

ServerEnvironment StandardEnvironment() {
    ServerEnvironment env;
    env.programFolder = platform::files::programFolder();
    env.tickCount = [] {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<std::uint32_t>(ms.count());
    };
    env.now = [] { return QDateTime::currentDateTime(); };
    env.makePlayer = [] { return platform::audio::createMediaPlayer(); };
    env.makeVolumeDevices = [] { return platform::audio::systemWaveOutDevices(); };
    env.endProgram = [] { QCoreApplication::exit(0); };
    return env;
}

}  // namespace sonhall

#include "server/server_environment.h"

#include <QCoreApplication>
#include <chrono>

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
    // No audio engine is built in yet: the two players stay empty until it is.
    env.makePlayer = [] { return std::unique_ptr<platform::audio::MediaPlayer>(); };
    env.endProgram = [] { QCoreApplication::exit(0); };
    return env;
}

}  // namespace sonhall

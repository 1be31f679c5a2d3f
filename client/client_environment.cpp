#include "client/client_environment.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <chrono>
#include <thread>

#include "client/tray_icon.h"
#include "platform/audio/audio_engine.h"
#include "platform/files.h"

namespace sonpad {

ClientEnvironment StandardEnvironment() {
    ClientEnvironment env;
    env.programFolder = platform::files::programFolder();
    env.now = [] { return QDateTime::currentDateTime(); };
    env.pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    env.screenSize = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->size() : QSize(1024, 768);
    };
    env.endProgram = [] { QCoreApplication::exit(0); };
    env.makePlayer = [] { return platform::audio::createMediaPlayer(); };
    env.makeVolumeDevices = [] { return platform::audio::systemWaveOutDevices(); };
    env.makeTrayIcon = [](QWidget* owner) { return systemTrayIcon(owner); };
    return env;
}

}  // namespace sonpad

#include "tests/server/server_test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QThread>
#include <filesystem>
#include <random>

#include "common/text_helpers.h"

namespace server_testing {

ServerTest::ServerTest() = default;

ServerTest::~ServerTest() {
    program.reset();
}

void ServerTest::Create(bool withAnimations) {
    if (withAnimations) {
        for (const char* name : {"meter.avi", "connect.avi"})
            std::filesystem::copy_file(std::string(SONH_RUNTIME_DIR) + "/" + name, dir / name);
    }
    sonhall::ServerEnvironment env;
    env.programFolder = dir.path();
    env.tickCount = [this] { return ticks; };
    env.now = [] { return QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7)); };
    env.makePlayer = [] { return std::unique_ptr<platform::audio::MediaPlayer>(); };
    env.endProgram = [this] { ended = true; };
    env.realTimers = false;
    env.progressIntervalMs = 0;
    if (adjustEnvironment)
        adjustEnvironment(env);
    program = std::make_unique<sonhall::ProgramBlock>(std::move(env));
}

void ServerTest::WriteConfig(std::string_view body) {
    std::string text;
    for (char c : body) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    dir.write("sonhall2.kvc", text);
}

std::string ServerTest::ConfigText() const {
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = kv::UpperCase(e.path().filename().string());
        if (name == "SONHALL2.KVC")
            return testing_support::readFile(e.path().string());
    }
    return {};
}

std::string ServerTest::Song(std::string_view relative, std::optional<std::string> tag) {
    return dir.write(relative, Mp3Bytes(std::move(tag)));
}

std::string ServerTest::Entry(std::string_view relative) const {
    std::string e = kv::UpperCase(dir / relative);
    if (e.back() != '/')
        e += '/';
    return e;
}

sonhall::TaMain& ServerTest::main() {
    return *program->forms().aMain;
}
sonhall::TaSetup& ServerTest::setup() {
    return *program->forms().aSetup;
}
sonhall::TaProgRead& ServerTest::progress() {
    return *program->forms().aProgRead;
}
sonhall::TaDm& ServerTest::dm() {
    return *program->forms().aDm;
}
sonhall::TaPlaylog& ServerTest::playlog() {
    return *program->forms().aPlaylog;
}
sonhall::TaAllSongs& ServerTest::allSongs() {
    return *program->forms().aAllSongs;
}

}  // namespace server_testing

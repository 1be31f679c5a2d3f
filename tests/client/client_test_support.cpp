#include "tests/client/client_test_support.h"

#include <filesystem>

#include "client/config_keys.h"
#include "client/main_window.h"
#include "client/song_sel_window.h"
#include "common/text_helpers.h"
#include "tests/support/waits.h"

namespace client_testing {

ClientTest::ClientTest() = default;

ClientTest::~ClientTest() {
    program.reset();
}

void ClientTest::Create() {
    sonpad::ClientEnvironment env;
    env.programFolder = dir.path();
    env.now = [this] { return now; };
    env.pause = [this](int ms) { pausedMs += ms; };
    env.screenSize = [this] { return screen; };
    env.endProgram = [this] { ended = true; };
    env.makePlayer = [this] {
        auto made = std::make_unique<testing_support::FakePlayer>();
        player = made.get();
        return made;
    };
    env.makeVolumeDevices = [this] {
        auto made = std::make_unique<testing_support::FakeWaveOut>(volumeDevices);
        waveOut = made.get();
        return made;
    };
    env.makeTrayIcon = [this](QWidget*) -> std::unique_ptr<sonpad::TrayIcon> {
        if (!withTray)
            return nullptr;
        return std::make_unique<FakeTrayIcon>(tray);
    };
    env.realTimers = false;
    env.progressIntervalMs = 0;
    program = std::make_unique<sonpad::ProgramBlock>(std::move(env));
}

void ClientTest::WriteConfig(std::string_view body) {
    std::string text;
    for (char c : body) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    dir.write(sonpad::keys::kConfigFile, text);
}

std::string ClientTest::ConfigText() const {
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        if (kv::UpperCase(e.path().filename().string()) == "SONPAD2.KVC")
            return testing_support::readFile(e.path().string());
    }
    return {};
}

bool ClientTest::ConfigExists() const {
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        if (kv::UpperCase(e.path().filename().string()) == "SONPAD2.KVC")
            return true;
    }
    return false;
}

testing_support::RawSocket ClientTest::ConnectClientTo(testing_support::RawListener& server) {
    main().IdTCPClient1.setHost("127.0.0.1");
    main().IdTCPClient1.setPort(server.port());
    main().IdTCPClient1.connect();
    testing_support::RawSocket peer = server.accept();
    EXPECT_TRUE(peer.receiveLine().starts_with(">>>")) << "the log-in line first";
    main().LocalMode = false;
    return peer;
}

std::string ClientTest::Entry(std::string_view relative) const {
    std::string e = kv::UpperCase(dir / relative);
    if (e.back() != '/')
        e += '/';
    return e;
}

sonpad::TaMain& ClientTest::main() {
    return *program->forms().aMain;
}
sonpad::TaSetup& ClientTest::setup() {
    return *program->forms().aSetup;
}
sonpad::TaProgress& ClientTest::progress() {
    return *program->forms().aProgress;
}
sonpad::TaSongSel& ClientTest::songSel() {
    return *program->forms().aSongSel;
}

bool ClientTest::ShowSongSelTree() {
    songSel().show();
    return testing_support::WaitUntil([&] { return songSel().AllSongsNode != nullptr; });
}
sonpad::TDm& ClientTest::dm() {
    return *program->forms().Dm;
}

}  // namespace client_testing

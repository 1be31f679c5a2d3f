#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QSize>
#include <memory>
#include <string>
#include <string_view>

#include "client/program_block.h"
#include "client/tray_icon.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/fake_player.h"
#include "tests/support/fake_wave_out.h"
#include "tests/support/socket_peers.h"
#include "tests/support/temp_dir.h"

namespace client_testing {

// What the program did with its notification-area icon.
struct TrayRecord {
    bool shown = false;
    QString tip;
    QMenu* menu = nullptr;
    int removed = 0;
};

class FakeTrayIcon : public sonpad::TrayIcon {
  public:
    explicit FakeTrayIcon(TrayRecord& record) : record_(record) {}
    void add(const QIcon&, const QString& tip, QMenu* menu) override {
        record_.shown = true;
        record_.tip = tip;
        record_.menu = menu;
    }
    void remove() override {
        record_.shown = false;
        ++record_.removed;
    }

  private:
    TrayRecord& record_;
};

// A client program in a temporary program folder, with scripted dialogs, a fixed clock, a
// 1024 x 768 screen, no running timers and progress shown for every file; a fake player, one
// fake volume device and, when the test wants one, a fake notification area.
class ClientTest : public ::testing::Test {
  protected:
    ClientTest();
    ~ClientTest() override;

    void Create();
    void WriteConfig(std::string_view body);  // the file's lines, "\n" becomes CR LF
    std::string ConfigText() const;           // the file as the program left it
    bool ConfigExists() const;
    // The folder as the configuration holds it: upper case with a trailing "/".
    std::string Entry(std::string_view relative) const;
    // Connects the client in client mode to the scripted server and returns the server's end
    // of the connection, with the log-in line read.
    testing_support::RawSocket ConnectClientTo(testing_support::RawListener& server);

    sonpad::TaMain& main();
    sonpad::TaSetup& setup();
    sonpad::TaProgress& progress();
    sonpad::TaSongSel& songSel();
    // Shows the song selection window and waits for its base tree, built once it is on the
    // screen. False when the tree never came.
    [[nodiscard]] bool ShowSongSelTree();
    sonpad::TDm& dm();

    testing_support::TempDir dir;
    testing_support::FakeDialogs dialogs;
    QDateTime now{QDate(2024, 3, 9), QTime(14, 5, 7)};
    int pausedMs = 0;  // what the program waited, without waiting
    QSize screen{1024, 768};
    bool ended = false;
    bool withTray = false;
    TrayRecord tray;
    std::vector<testing_support::FakeWaveOut::Device> volumeDevices{{true, 0x80008000u}};
    testing_support::FakeWaveOut* waveOut = nullptr;  // owned by the main window
    testing_support::FakePlayer* player = nullptr;    // owned by the main window
    std::unique_ptr<sonpad::ProgramBlock> program;
};

}  // namespace client_testing

// Feeds arbitrary server lines to the client's reply handling the way the client-mode tick
// gets them: written by a peer over a real loopback connection, then one tick that reads the
// line and acts on it. The client holds a small library of real MP3s (some untagged, so song
// information requests are pending), a song queue, and now and then a local rescan of another
// set of folders comes between, as one may while requests are out.
//
// Input: chunks ended by LF. A chunk whose first byte is 1 to 8 is an action: 1-3 a local
// rescan of folder set 1-3 (the first three of an input only), 4 the library into the queue,
// 5 PLAY or STOP, 6 the server messages window shown or hidden, 7 the rescan button, 8 the
// start of another input (the first three of an input only), so that what one input leaves
// behind meets the next. A first byte 0 sends the rest of the chunk as a line; any other chunk
// is sent whole (an empty one is an idle tick's empty line).
//
// Every input starts from the same state, whatever the one before left: a fresh connection,
// the library as the start-up scanned it, the same queue, stopped.
//
// After each chunk: the records keep their song numbers and paths, every pending request
// names a song of the library by its index, every queue row a song of the library, and what
// the client sent names songs it holds. Errors the handlers raise (platform::Error, which the
// program's general error handler would show) are allowed; anything else is a finding.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <typeinfo>
#include <vector>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/program_block.h"
#include "client/setup_window.h"
#include "client/volume_bar.h"
#include "client/windows/server_messages_window.h"
#include "common/conversion.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/qt/text_edge.h"
#include "tests/support/fake_player.h"
#include "tests/support/fake_wave_out.h"
#include "tests/support/mp3_fixtures.h"
#include "tests/support/socket_peers.h"
#include "tests/support/temp_dir.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "client_reply_fuzzer: %s\n", what);
        __builtin_trap();
    }
}

// The server's end of the connection. The client's port field takes 1 to 9999, so the
// listener takes a free port of that range rather than one the system picks.
class Peer {
  public:
    Peer() {
        for (int attempt = 0; attempt < 50 && listener_ < 0; ++attempt) {
            const int port = testing_support::FreePort();
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            a.sin_port = htons(static_cast<std::uint16_t>(port));
            if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 &&
                ::listen(fd, 4) == 0) {
                listener_ = fd;
                port_ = port;
            } else {
                ::close(fd);
            }
        }
        Check(listener_ >= 0, "no port to listen on");
    }
    ~Peer() {
        CloseConnection();
        ::close(listener_);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    int port() const { return port_; }

    // The client's connect has returned, so its connection waits in the backlog.
    void Accept() {
        CloseConnection();
        pollfd p{listener_, POLLIN, 0};
        Check(::poll(&p, 1, 5000) == 1, "the client's connection did not arrive");
        fd_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        Check(fd_ >= 0, "accept failed");
        // Each line goes out at once, as the server's do; held back for the client's ACK, it
        // would come after the tick that should read it.
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        pending_.clear();
    }

    void Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return;  // the client has gone; the tick finds out
            bytes.remove_prefix(static_cast<size_t>(n));
        }
    }

    // The whole lines the client has sent so far, without their CR LF. On loopback a line is
    // readable here once the client's write has returned.
    std::vector<std::string> Received() {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
            if (n <= 0)
                break;
            pending_.append(buf, static_cast<size_t>(n));
        }
        std::vector<std::string> lines;
        for (size_t end; (end = pending_.find("\r\n")) != std::string::npos;) {
            lines.push_back(pending_.substr(0, end));
            pending_.erase(0, end + 2);
        }
        return lines;
    }

  private:
    void CloseConnection() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    int listener_ = -1;
    int port_ = 0;
    int fd_ = -1;
    std::string pending_;
};

std::string UpperFolder(const testing_support::TempDir& dir, std::string_view relative) {
    return kv::UpperCase(dir / relative) + "/";
}

struct Client {
    testing_support::TempDir dir;
    platform::UnattendedDialogs dialogs{false};
    Peer peer;
    std::vector<testing_support::FakeWaveOut::Device> volumeDevices{{true, 0x80008000u}};
    std::unique_ptr<sonpad::ProgramBlock> program;
    sonpad::TaMain* main = nullptr;
    // 0 the configuration's folders, as the start-up scans them; 1-3 for the rescans.
    std::array<std::vector<std::string>, 4> folderSets;
    int folderSet = 0;  // the set the library was last scanned from
    // The library as the last scan left it, and its requests.
    std::vector<std::string> scanned;
    std::vector<std::string> scannedRequests;
    std::vector<std::string> baseLibrary, baseRequests;
    int baseVolume = 0;
    int rescansLeft = 0;  // in this input: a rescan costs as much as hundreds of lines
    int startsLeft = 0;   // of another input inside this one

    Client() {
        platform::setDialogs(&dialogs);
        const std::string tone =
            testing_support::readFile(testing_support::FixtureMp3("tone_22k_mono_1500ms.mp3"));
        const auto song = [&](std::string_view name, std::optional<std::string> tag) {
            dir.write(name, tag ? tone + *tag : tone);
        };
        using testing_support::TagBlock;
        song("a/alpha.mp3", TagBlock("Alpha", "Artist A", "Album", "1999", "", 17));
        song("a/Bravo.MP3", TagBlock("Bravo", "Artist B", "", "2001", "c", 200));
        song("a/charlie.mp3", std::nullopt);
        song("a/delta.mp3", TagBlock("Delta"));
        song("a/echo.mp3", std::nullopt);
        song("b/ALPHA.MP3", std::nullopt);  // the same name as in the other folder
        song("b/foxtrot.mp3", std::nullopt);
        song("b/golf.mp3", TagBlock("Golf", "", "", "", "", 255));
        song("b/hotel.mp3", std::nullopt);
        const std::string a = UpperFolder(dir, "a"), b = UpperFolder(dir, "b");
        folderSets[0] = {a, b};
        folderSets[1] = {a};
        folderSets[2] = {b};
        folderSets[3] = {b, a};

        dir.write("sonpad2.kvc",
                  "[SONPAD]\r\nPLAY HERE=NO\r\nCLIENT NAME=fuzz\r\nSERVER IP=127.0.0.1"
                  "\r\nPORT=" +
                      std::to_string(peer.port()) + "\r\nDIRECTORIES=2\r\nMP3 PATH1=" + a +
                      "\r\nMP3 PATH2=" + b + "\r\n");

        sonpad::ClientEnvironment env;
        env.programFolder = dir.path();
        env.now = [] { return QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7)); };
        env.screenSize = [] { return QSize(1024, 768); };
        env.endProgram = [] {};
        env.makePlayer = [] { return std::make_unique<testing_support::FakePlayer>(); };
        env.makeVolumeDevices = [this] {
            return std::make_unique<testing_support::FakeWaveOut>(volumeDevices);
        };
        env.realTimers = false;
        env.progressIntervalMs = 60000;  // the scan's progress once, not for every file
        program = std::make_unique<sonpad::ProgramBlock>(std::move(env));
        main = program->forms().aMain;
        // The start-up scans both folders and connects, since songs do not play here.
        main->FormShow();
        Check(!main->LocalMode && main->IdTCPClient1.connected(), "the start-up did not connect");
        peer.Accept();
        Check(!main->SongInfoRequests.empty(), "the library has no requests");
        folderSet = 0;
        TakeScan();
        baseLibrary = scanned;
        baseRequests = scannedRequests;
        baseVolume = main->TrackBar1->value();
    }

    void TakeScan() {
        scanned = main->SongLibrary;
        scannedRequests = main->SongInfoRequests;
    }

    void Rescan(int set) {
        sonpad::TaSetup& setup = *program->forms().aSetup;
        setup.ListBox1->clear();
        for (const std::string& folder : folderSets[static_cast<size_t>(set)])
            setup.ListBox1->addItem(platform::fileName(folder));
        setup.ScanLocalSongs();
        folderSet = set;
        TakeScan();
    }

    // Connected in client mode, as after the start-up; a "#LOG" reply or a failed read may
    // have ended the last connection.
    void EnsureConnected() {
        if (main->IdTCPClient1.connected() && !main->LocalMode)
            return;
        Reconnect();
    }

    // The user's disconnect, when connected, and connect: whatever the last connection asked
    // and never heard back about ends with it.
    void Reconnect() {
        if (main->IdTCPClient1.connected() || main->SpeedButton2->isChecked()) {
            main->SpeedButton2->setChecked(false);
            main->SpeedButton2Click();
        }
        main->SpeedButton2->setChecked(true);
        main->SpeedButton2Click();
        Check(!main->LocalMode && main->IdTCPClient1.connected(), "the reconnect failed");
        peer.Accept();
    }

    // The state every input starts from: both folders scanned, the first three songs queued,
    // stopped, on a connection that has nothing open.
    void Reset() {
        main->SendVolume = true;
        main->TrackBar1->setValue(baseVolume);  // and the mute button with it
        if (folderSet != 0) {
            Rescan(0);
        } else {
            // Only replies changed the records since: put back what a scan of the same folders
            // gives, without the scan's time.
            main->SongLibrary = baseLibrary;
            main->SongInfoRequests = baseRequests;
            TakeScan();
        }
        main->ListView1->clear();
        sonpad::TDm& dm = *program->forms().Dm;
        for (int i = 0; i < 3; ++i)
            dm.AddSongToQue(dm.GetSongNo(i));
        main->SetPlayState("STOP");
        main->PlayedCount = 0;
        main->RepeatCount = 0;
        sonpad::TaServer& messages = *program->forms().aServer;
        if (messages.isVisible())
            main->ShowServerMessages1Click();
        messages.ListBox1->clear();
        // The connect clears the requests, the polls' counters, the rescan and skip buttons
        // and the server's song.
        Reconnect();
        peer.Received();
    }

    void CheckState() {
        const std::vector<std::string>& library = main->SongLibrary;
        Check(library.size() == scanned.size(), "the library changed its size");
        Check(main->ListView2->topLevelItemCount() == static_cast<int>(library.size()),
              "library rows and records differ");
        for (size_t i = 0; i < library.size(); ++i) {
            const std::string& now = library[i];
            const std::string& then = scanned[i];
            Check(now.size() == then.size(), "a record changed its length");
            Check(now.compare(0, 6, then, 0, 6) == 0, "a record lost its song number");
            Check(now.compare(kv::kRecordPathColumn - 1, std::string::npos, then,
                              kv::kRecordPathColumn - 1) == 0,
                  "a record lost its path");
        }
        for (const std::string& entry : main->SongInfoRequests) {
            Check(entry.size() > 6, "a request without a file name");
            std::int32_t index = 0;
            Check(kv::TryStrToInt(entry.substr(0, 6), index), "a request without its index");
            Check(index >= 0 && static_cast<size_t>(index) < library.size(),
                  "a request's index outside the library");
            Check(kv::UpperCase(kv::ExtractFileName(
                      kv::RecordPath(library[static_cast<size_t>(index)]))) == entry.substr(6),
                  "a request's index names another song");
        }
        const sonpad::TDm& dm = *program->forms().Dm;
        for (int r = 0; r < main->ListView1->topLevelItemCount(); ++r) {
            const QTreeWidgetItem* row = main->ListView1->topLevelItem(r);
            const int index = dm.FindSongByNo(row->text(0).toStdString());
            Check(index >= 0, "a queue row names no song of the library");
            Check(platform::fromFileName(row->text(4)) == dm.GetFileName(index),
                  "a queue row's file is not its song's");
        }
    }

    // What the client sent names what it holds.
    void CheckSent() {
        const sonpad::TDm& dm = *program->forms().Dm;
        for (const std::string& line : peer.Received()) {
            if (line.starts_with("#SIF")) {
                const std::string entry = line.substr(4);
                bool pending = false;
                for (const std::string& e : main->SongInfoRequests)
                    pending = pending || e == entry;
                Check(pending, "a #SIF request for no pending entry");
            } else if (line.starts_with("#FIL")) {
                Check(dm.FindSongByFileName(line.substr(4)) >= 0,
                      "a #FIL request for a song not in the library");
            }
        }
    }
};

Client* client = nullptr;

// An event handler's work, as the program's general error handler runs it.
template <class F>
void Guarded(F f) {
    try {
        f();
    } catch (const platform::Error&) {
        // Shown in an error box; the program goes on.
    } catch (const std::exception& e) {
        std::fprintf(stderr, "client_reply_fuzzer: unexpected %s: %s\n", typeid(e).name(),
                     e.what());
        std::abort();
    }
}

void Step(std::string_view chunk) {
    sonpad::TaMain& main = *client->main;
    const auto first = chunk.empty() ? 0xFFu : static_cast<unsigned char>(chunk.front());
    switch (first) {
        case 1:
        case 2:
        case 3:
            if (client->rescansLeft-- > 0)
                Guarded([&] { client->Rescan(static_cast<int>(first)); });
            break;
        case 4: {
            sonpad::TDm& dm = *client->program->forms().Dm;
            Guarded([&] {
                for (size_t i = 0; i < main.SongLibrary.size(); ++i)
                    dm.AddSongToQue(dm.GetSongNo(static_cast<int>(i)));
            });
            break;
        }
        case 5:
            Guarded([&] {
                if (main.Playing)
                    main.btnStopClick();
                else
                    main.btnPlayClick();
            });
            break;
        case 6:
            Guarded([&] { main.ShowServerMessages1Click(); });
            break;
        case 7:
            client->EnsureConnected();
            Guarded([&] { main.SpeedButton5Click(); });
            break;
        case 8:
            if (client->startsLeft-- > 0)
                client->Reset();
            break;
        default: {
            client->EnsureConnected();
            const std::string_view line = first == 0 ? chunk.substr(1) : chunk;
            client->peer.Send(std::string(line) + "\r\n");
            Guarded([&] { main.Timer1Timer(); });
            break;
        }
    }
    client->CheckSent();
    client->CheckState();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    client = new Client;  // lives as long as the process
    // The program is never destroyed, so its folder would outlive every run.
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(client->dir.path(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    client->rescansLeft = 3;
    client->startsLeft = 3;
    client->Reset();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const size_t lf = input.find('\n');
        Step(input.substr(0, lf));
        input = lf == std::string_view::npos ? std::string_view() : input.substr(lf + 1);
    }
    return 0;
}

// Feeds arbitrary sequences of connection events and lines to the server's line handling, on
// the user-interface thread with in-memory connections, as the TCP layer would call it.
//
// Input: chunks ended by LF. A chunk's first byte picks one of four connections (low two bits)
// and what happens to it (the next three bits): 0 connect, 1 disconnect, 2 its sends start or
// stop failing, 3 a song becomes shown or none, 4-7 the rest of the chunk arrives as one line
// (connecting first when needed). While a rescan runs, each file it reads lets the next chunk
// in, nested, as the scan lets other connections' lines in; the rescanning connection itself
// waits meanwhile.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/tcp/tcp_server.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/program_block.h"
#include "server/simple_client.h"
#include "tests/support/temp_dir.h"

namespace {

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

// A connection whose lines come from the input and whose replies are checked and dropped.
class FakeConnection : public platform::tcp::Connection {
  public:
    std::string readLine() override {
        if (ended_ || lines_.empty())
            throw platform::Error("connection ended");
        std::string line = std::move(lines_.front());
        lines_.pop_front();
        return line;
    }
    void writeLine(std::string_view line) override {
        if (ended_ || failing)
            throw platform::Error("send failed");
        if (line.starts_with("#INI"))
            Check(line.size() == 19);
        if (line.starts_with("#PLY"))
            Check(line.back() == '$');
    }
    std::string readLine(std::chrono::steady_clock::time_point) override { return readLine(); }
    void disconnect() override { ended_ = true; }
    bool connected() const override { return !ended_; }
    std::string peerAddress() const override { return "fake"; }

    void Push(std::string line) { lines_.push_back(std::move(line)); }

    bool failing = false;

  private:
    std::deque<std::string> lines_;
    bool ended_ = false;
};

struct Server {
    testing_support::TempDir dir;
    platform::UnattendedDialogs dialogs{false};
    std::unique_ptr<sonhall::ProgramBlock> program;
    sonhall::TaMain* main = nullptr;

    Server() {
        platform::setDialogs(&dialogs);
        for (const char* name : {"music/one.mp3", "music/Two.MP3", "music/three.mp3"})
            dir.write(name, std::string(300, '\x55'));
        std::string music = dir / "music/";
        for (char& c : music)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        dir.write("sonhall2.kvc",
                  "[SONHALL]\r\nCROSSFADE=98\r\nDIRECTORIES=1\r\nPORT=2323\r\nCLIENT SONG=3\r\n"
                  "MP3 PATH1=" +
                      music + "\r\n");
        sonhall::ServerEnvironment env;
        env.programFolder = dir.path();
        env.tickCount = [] { return 1000u; };
        env.now = [] { return QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7)); };
        env.makePlayer = [] { return std::unique_ptr<platform::audio::MediaPlayer>(); };
        env.endProgram = [] {};
        env.realTimers = false;
        env.progressIntervalMs = 0;
        program = std::make_unique<sonhall::ProgramBlock>(std::move(env));
        main = program->forms().aMain;
        main->FormShow();
        main->TrackBar1->setRange(0, 65535);
    }
};

Server* server = nullptr;

// One connection as the TCP layer runs it: connect, lines, and the disconnect once.
class Session {
  public:
    bool open() const { return connection_ != nullptr; }

    void Connect(sonhall::TaMain& main) {
        if (open())
            return;
        connection_ = std::make_unique<FakeConnection>();
        if (!Call([&] { main.IdTCPServer1Connect(*connection_); }))
            Disconnect(main);
    }
    void Line(sonhall::TaMain& main, std::string line) {
        if (busy_)
            return;  // its thread waits for its own line's handling
        Connect(main);
        if (!open())
            return;
        connection_->Push(std::move(line));
        busy_ = true;
        const bool ok = Call([&] { main.IdTCPServer1Execute(*connection_); });
        busy_ = false;
        if (!ok || !connection_->connected())
            Disconnect(main);
    }
    void Disconnect(sonhall::TaMain& main) {
        if (!open())
            return;
        if (busy_) {
            connection_->disconnect();  // its handler runs once its line's handling is over
            return;
        }
        connection_->disconnect();
        Call([&] { main.IdTCPServer1Disconnect(*connection_); });
        connection_->data.reset();
        connection_.reset();
    }
    void ToggleFailing() {
        if (open())
            connection_->failing = !connection_->failing;
    }
    platform::tcp::Connection* connection() const { return connection_.get(); }

  private:
    template <class F>
    static bool Call(F f) {
        try {
            f();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
    std::unique_ptr<FakeConnection> connection_;
    bool busy_ = false;
};

// The box and the client list agree, and every listed entry is an open connection's own.
void CheckClients(sonhall::TaMain& main, const std::array<Session, 4>& sessions) {
    Check(static_cast<size_t>(main.ListBox2->count()) == main.ClientList.size());
    size_t withEntry = 0;
    for (const Session& s : sessions) {
        if (!s.open() || !s.connection()->data)
            continue;
        ++withEntry;
        auto* entry = static_cast<sonhall::TSimpleClient*>(s.connection()->data.get());
        Check(entry->Thread == s.connection());
        bool listed = false;
        for (sonhall::TSimpleClient* c : main.ClientList)
            listed = listed || c == entry;
        Check(listed);
    }
    Check(withEntry == main.ClientList.size());
    std::string info;
    main.BuildServerInfoReply(info);
    Check(info.size() == 19);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    server = new Server;  // lives as long as the process
    return 0;
}

namespace {

// Runs the chunks of one input; a rescan takes the next chunks in while it reads its files.
class Driver {
  public:
    Driver(sonhall::TaMain& main, std::string_view input) : main_(main), input_(input) {
        hook_ = QObject::connect(main_.edtCurrSong, &QLineEdit::textChanged, [this] {
            if (main_.IdTCPServer1Tag == 1)
                Step();
        });
    }
    ~Driver() { QObject::disconnect(hook_); }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    void Run() {
        while (!input_.empty()) {
            Step();
            Check(main_.IdTCPServer1Tag == 0);
        }
        for (Session& s : sessions_)
            s.Disconnect(main_);
        CheckClients(main_, sessions_);
        Check(main_.ClientList.empty());
    }

  private:
    void Step() {
        if (input_.empty())
            return;
        const size_t lf = input_.find('\n');
        const std::string_view chunk = input_.substr(0, lf);
        input_ = lf == std::string_view::npos ? std::string_view() : input_.substr(lf + 1);
        if (chunk.empty())
            return;
        const auto selector = static_cast<unsigned char>(chunk.front());
        Session& s = sessions_[selector & 3];
        const std::string_view rest = chunk.substr(1);
        switch ((selector >> 2) & 7) {
            case 0:
                s.Connect(main_);
                break;
            case 1:
                s.Disconnect(main_);
                break;
            case 2:
                s.ToggleFailing();
                break;
            case 3:
                main_.ActivePlayer = static_cast<int>(rest.size() % 3);
                main_.CurrentSongId = main_.ActivePlayer ? std::string(rest.substr(0, 6)) : "";
                main_.CurrentFileName = std::string(rest);
                main_.CurrentPosition = static_cast<std::int32_t>(rest.size()) * 1000;
                break;
            default:
                s.Line(main_, std::string(rest));
        }
        CheckClients(main_, sessions_);
    }

    sonhall::TaMain& main_;
    std::string_view input_;
    std::array<Session, 4> sessions_;
    QMetaObject::Connection hook_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    sonhall::TaMain& main = *server->main;
    Driver(main, std::string_view(reinterpret_cast<const char*>(data), size)).Run();

    // The next input starts from the same state.
    main.SongQueue.clear();
    main.ListBox1->clear();
    main.SkipRequested = false;
    main.ActivePlayer = 0;
    main.CurrentSongId.clear();
    main.CurrentFileName.clear();
    main.CurrentPosition = 0;
    main.TrackBar1->setValue(0);
    return 0;
}

// Two clients poll "#PLY?" as fast as they can against the server's objects over loopback and
// time every round trip; prints p50, p99 and the lines answered per second. In the same run
// the same clients poll a reference: the music daemon mpd's "status" command when mpd is
// installed (by hand, it is no dependency), else a plain thread-per-connection echo server.
//   ply_poll_bench [seconds] [clients]     (default 10 s, 2 clients)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs.h"
#include "server/main_window.h"
#include "server/program_block.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

int freePort(int from) {
    for (int port = from; port < 9999; ++port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(fd);
        if (free)
            return port;
    }
    std::fprintf(stderr, "no free port\n");
    std::exit(1);
}

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

// A blocking line client.
class Client {
  public:
    explicit Client(int port) : fd_(connectTo(port)) {
        if (fd_ < 0) {
            std::perror("connect");
            std::exit(1);
        }
    }
    ~Client() { ::close(fd_); }
    void send(const std::string& line) {
        const std::string bytes = line + "\r\n";
        (void)::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    std::string readLine() {
        for (;;) {
            const size_t lf = pending_.find('\n', start_);
            if (lf != std::string::npos) {
                std::string line = pending_.substr(start_, lf - start_);
                start_ = lf + 1;
                if (start_ == pending_.size()) {
                    pending_.clear();
                    start_ = 0;
                }
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                return line;
            }
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                std::fprintf(stderr, "connection closed\n");
                std::exit(1);
            }
            pending_.append(buffer, static_cast<size_t>(n));
        }
    }

  private:
    int fd_ = -1;
    std::string pending_;
    size_t start_ = 0;
};

// How one kind of server is polled.
struct Poll {
    std::function<void(Client&, int k)> start;  // greeting, log-in
    std::string request;
    std::function<bool(const std::string&)> lastLineOfReply;
};

double percentile(std::vector<double>& v, double p) {
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(i), v.end());
    return v[i];
}

struct Figures {
    double p50 = 0, p99 = 0, max = 0;
    size_t count = 0;
};

// Polls with clientCount clients for the time given; `waiting` runs on this thread meanwhile
// (the server's event loop) and must return once `finished` equals clientCount.
Figures measure(int port, int clientCount, double seconds, const Poll& poll,
                const std::function<void(std::atomic<int>& finished)>& waiting) {
    std::vector<std::vector<double>> rtts(static_cast<size_t>(clientCount));
    std::atomic<int> ready{0}, finished{0};
    std::vector<std::thread> clients;
    for (int k = 0; k < clientCount; ++k) {
        clients.emplace_back([&, k] {
            Client c(port);
            poll.start(c, k);
            ++ready;
            while (ready < clientCount)
                std::this_thread::yield();
            auto& mine = rtts[static_cast<size_t>(k)];
            mine.reserve(2'000'000);
            const auto end = Clock::now() + std::chrono::duration<double>(seconds);
            while (Clock::now() < end) {
                const auto t0 = Clock::now();
                c.send(poll.request);
                while (!poll.lastLineOfReply(c.readLine())) {
                }
                mine.push_back(
                    std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
            }
            ++finished;
        });
    }
    waiting(finished);
    for (auto& t : clients)
        t.join();
    std::vector<double> all;
    for (auto& v : rtts)
        all.insert(all.end(), v.begin(), v.end());
    Figures f;
    f.count = all.size();
    f.max = *std::max_element(all.begin(), all.end());
    f.p50 = percentile(all, 0.50);
    f.p99 = percentile(all, 0.99);
    return f;
}

void print(const char* name, const Figures& f, double seconds) {
    std::printf("%-34s %9zu round trips, %8.0f/s, p50 %7.1f us, p99 %7.1f us, max %8.1f us\n", name,
                f.count, static_cast<double>(f.count) / seconds, f.p50, f.p99, f.max);
}

// The music daemon, run as a child with a configuration of its own; nothing when it is not
// installed or does not come up.
class MpdReference {
  public:
    explicit MpdReference(const fs::path& dir) {
        port_ = freePort(7700);
        fs::create_directories(dir / "mpd-music");
        const fs::path conf = dir / "mpd.conf";
        std::ofstream(conf) << "music_directory \"" << (dir / "mpd-music").string() << "\"\n"
                            << "db_file \"" << (dir / "mpd.db").string() << "\"\n"
                            << "bind_to_address \"127.0.0.1\"\nport \"" << port_ << "\"\n"
                            << "audio_output {\n type \"null\"\n name \"null\"\n}\n";
        std::fflush(stdout);  // the child must not print it again
        pid_ = ::fork();
        if (pid_ == 0) {
            ::freopen("/dev/null", "w", stdout);
            ::freopen("/dev/null", "w", stderr);
            ::execlp("mpd", "mpd", "--no-daemon", conf.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100 && pid_ > 0; ++i) {
            if (const int fd = connectTo(port_); fd >= 0) {
                ::close(fd);
                up_ = true;
                return;
            }
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;  // it ended: not installed, or it could not start
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~MpdReference() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool up() const { return up_; }
    int port() const { return port_; }

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    bool up_ = false;
};

// A thread per connection that answers each line with the same fixed line at once.
class EchoReference {
  public:
    EchoReference() {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listenFd_, 16) != 0 ||
            ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            std::perror("echo server");
            std::exit(1);
        }
        port_ = ntohs(a.sin_port);
        accept_ = std::thread([this] {
            for (;;) {
                const int fd = ::accept(listenFd_, nullptr, nullptr);
                if (fd < 0)
                    return;
                const int on = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                std::thread([fd] {
                    const std::string reply = "#PLY000001420000!180000*SONG.MP3:4000$\r\n";
                    char buffer[4096];
                    for (;;) {
                        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                        if (n <= 0)
                            break;
                        for (ssize_t i = 0; i < n; ++i)
                            if (buffer[i] == '\n')
                                (void)::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
                    }
                    ::close(fd);
                }).detach();
            }
        });
    }
    ~EchoReference() {
        ::shutdown(listenFd_, SHUT_RDWR);
        accept_.join();
        ::close(listenFd_);
    }
    int port() const { return port_; }

  private:
    int listenFd_ = -1;
    int port_ = 0;
    std::thread accept_;
};

void joinWhenDone(std::atomic<int>& finished, int clientCount) {
    while (finished < clientCount)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int clientCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::UnattendedDialogs dialogs;
    platform::setDialogs(&dialogs);

    const fs::path dir =
        fs::temp_directory_path() / ("ply_poll_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir / "music");
    std::ofstream(dir / "music" / "song.mp3", std::ios::binary) << std::string(4000, '\x55');
    std::string music = (dir / "music").string() + "/";
    std::transform(music.begin(), music.end(), music.begin(), ::toupper);
    const int port = freePort(7300);
    std::ofstream(dir / "sonhall2.kvc", std::ios::binary)
        << "[SONHALL]\r\nCROSSFADE=98\r\nDIRECTORIES=1\r\nPORT=" << port
        << "\r\nCLIENT SONG=3\r\nMP3 PATH1=" << music << "\r\n";

    // The reference first, in the same run.
    std::printf("%d clients, %.1f s each\n", clientCount, seconds);
    Figures reference;
    const char* referenceName = nullptr;
    {
        MpdReference mpd(dir);
        if (mpd.up()) {
            referenceName = "reference: mpd \"status\"";
            const Poll poll{
                [](Client& c, int) { c.readLine(); }, "status",
                [](const std::string& line) { return line == "OK" || line.rfind("ACK", 0) == 0; }};
            reference = measure(mpd.port(), clientCount, seconds, poll,
                                [&](std::atomic<int>& f) { joinWhenDone(f, clientCount); });
        } else {
            std::printf(
                "note: mpd is not installed or did not start (it is a by-hand reference:\n"
                "      apt-get install mpd); the reference is a plain thread echo server\n");
            referenceName = "reference: thread echo server";
            EchoReference echo;
            const Poll poll{[](Client&, int) {}, "#PLY?",
                            [](const std::string& line) { return line.rfind("#PLY", 0) == 0; }};
            reference = measure(echo.port(), clientCount, seconds, poll,
                                [&](std::atomic<int>& f) { joinWhenDone(f, clientCount); });
        }
    }

    sonhall::ServerEnvironment env;
    env.programFolder = dir.string() + "/";
    env.tickCount = [] { return 1000u; };
    env.now = [] { return QDateTime::currentDateTime(); };
    env.makePlayer = [] { return std::unique_ptr<platform::audio::MediaPlayer>(); };
    env.endProgram = [] {};
    env.realTimers = false;
    Figures server;
    {
        sonhall::ProgramBlock program(std::move(env));
        sonhall::TaMain& main = *program.forms().aMain;
        main.FormShow();
        // A song on show, so the reply carries every field.
        main.ActivePlayer = 1;
        main.CurrentSongId = "000001";
        main.CurrentFileName = "SONG.MP3";
        main.CurrentLength = 180000;
        main.CurrentPosition = 42000;
        main.CurrentFileSize = 4000;
        main.PublishQueryAnswers();
        main.btnActivateClick();

        const Poll poll{[](Client& c, int k) {
                            c.readLine();  // greeting
                            c.send(">>>BENCH" + std::to_string(k));
                            while (c.readLine() != "#LOGack") {
                            }
                        },
                        "#PLY?",
                        [](const std::string& line) { return line.rfind("#PLY", 0) == 0; }};
        server = measure(port, clientCount, seconds, poll, [&](std::atomic<int>& finished) {
            QTimer check;
            QObject::connect(&check, &QTimer::timeout, [&] {
                if (finished == clientCount)
                    app.quit();
            });
            check.start(20);
            app.exec();
        });
    }
    fs::remove_all(dir);

    print(referenceName, reference, seconds);
    print("Sonhall2 \"#PLY?\"", server, seconds);
    std::printf("goal: Sonhall2 p99 <= reference p99: %s (%.1f us against %.1f us)\n",
                server.p99 <= reference.p99 ? "met" : "NOT met", server.p99, reference.p99);
    return 0;
}

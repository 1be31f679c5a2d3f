// Two clients poll "#PLY?" as fast as they can against the server's objects over loopback and
// time every round trip; prints p50, p99 and the lines answered per second.
//   ply_poll_bench [seconds] [clients]     (default 10 s, 2 clients)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs.h"
#include "server/main_window.h"
#include "server/program_block.h"

namespace {

using Clock = std::chrono::steady_clock;

int freePort() {
    for (int port = 7300; port < 9999; ++port) {
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

// A blocking line client.
class Client {
  public:
    explicit Client(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            std::perror("connect");
            std::exit(1);
        }
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
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

double percentile(std::vector<double>& v, double p) {
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(i), v.end());
    return v[i];
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int clientCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::UnattendedDialogs dialogs;
    platform::setDialogs(&dialogs);

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("ply_poll_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "music");
    std::ofstream(dir / "music" / "song.mp3", std::ios::binary) << std::string(4000, '\x55');
    std::string music = (dir / "music").string() + "/";
    std::transform(music.begin(), music.end(), music.begin(), ::toupper);
    const int port = freePort();
    std::ofstream(dir / "sonhall2.kvc", std::ios::binary)
        << "[SONHALL]\r\nCROSSFADE=98\r\nDIRECTORIES=1\r\nPORT=" << port
        << "\r\nCLIENT SONG=3\r\nMP3 PATH1=" << music << "\r\n";

    sonhall::ServerEnvironment env;
    env.programFolder = dir.string() + "/";
    env.tickCount = [] { return 1000u; };
    env.now = [] { return QDateTime::currentDateTime(); };
    env.makePlayer = [] { return std::unique_ptr<platform::audio::MediaPlayer>(); };
    env.endProgram = [] {};
    env.realTimers = false;
    std::vector<std::vector<double>> rtts(static_cast<size_t>(clientCount));
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
        main.btnActivateClick();

        std::atomic<int> loggedIn{0}, finished{0};
        std::vector<std::thread> clients;
        for (int k = 0; k < clientCount; ++k) {
            clients.emplace_back([&, k] {
                Client c(port);
                c.readLine();  // greeting
                c.send(">>>BENCH" + std::to_string(k));
                while (c.readLine() != "#LOGack") {
                }
                ++loggedIn;
                while (loggedIn < clientCount)
                    std::this_thread::yield();
                auto& mine = rtts[static_cast<size_t>(k)];
                mine.reserve(2'000'000);
                const auto end = Clock::now() + std::chrono::duration<double>(seconds);
                while (Clock::now() < end) {
                    const auto t0 = Clock::now();
                    c.send("#PLY?");
                    while (c.readLine().rfind("#PLY", 0) != 0) {
                        // a join line of the other client
                    }
                    const auto t1 = Clock::now();
                    mine.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
                }
                ++finished;
            });
        }
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (finished == clientCount)
                app.quit();
        });
        poll.start(20);
        app.exec();
        for (auto& t : clients)
            t.join();
    }
    std::filesystem::remove_all(dir);

    std::vector<double> all;
    for (size_t k = 0; k < rtts.size(); ++k) {
        std::vector<double>& v = rtts[k];
        const double p50 = percentile(v, 0.50), p99 = percentile(v, 0.99);
        std::printf("client %zu: %zu round trips, p50 %.1f us, p99 %.1f us\n", k + 1, v.size(), p50,
                    p99);
        all.insert(all.end(), v.begin(), v.end());
    }
    const double worst = *std::max_element(all.begin(), all.end());
    const double p50 = percentile(all, 0.50), p99 = percentile(all, 0.99);
    std::printf("all:      %zu round trips in %.1f s: %.0f lines/s answered\n", all.size(), seconds,
                static_cast<double>(all.size()) / seconds);
    std::printf("          round trip p50 %.1f us, p99 %.1f us, max %.1f us (goal: p99 < 100 us)\n",
                p50, p99, worst);
    return 0;
}

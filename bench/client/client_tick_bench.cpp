// The client-mode tick over a large library, connected over loopback to a scripted server in
// a process of its own (so its work is not the client's): what a tick costs without the read's
// 5 ms wait, by the kind of line it found, and the share of a core the client takes while it
// sits connected and idle with its real 500 ms timer.
//   client_tick_bench [songs] [idle seconds] [polls per song]   (default 20000, 60, 240)
//
// The server answers the log-in with "#LOGack", "#PLY?" and "#INI?" as the real one does, and
// moves to another song of the library every [polls per song] "#PLY?" (a 4-minute song polled
// once a second). For the timed ticks it also sends an empty line on request: a tick that
// reads it does an idle tick's work (the poll it sends) without waiting for the read's time-out.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/client/bench_program.h"
#include "bench/support/scan_tree.h"
#include "client/main_window.h"
#include "client/poll_rule.h"
#include "client/program_block.h"
#include "common/line_protocol.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/qt/tick_timer.h"

namespace {

// What the server tells the benchmark it sent, one byte a line.
constexpr char kSentEmpty = 'E';
constexpr char kSentLogAck = 'L';
constexpr char kSentSameSong = 'P';
constexpr char kSentNewSong = 'N';
constexpr char kSentInfo = 'I';
// What the benchmark asks of the server.
constexpr char kSendEmpty = 'e';
constexpr char kQuit = 'q';

// A listening socket on 127.0.0.1 with a port the client's port field takes (1 to 9999).
int ListenInFieldRange(int& port) {
    std::mt19937 random(static_cast<unsigned>(::getpid()));
    for (int attempt = 0; attempt < 200; ++attempt) {
        port = 2000 + static_cast<int>(random() % 7000);
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 &&
            ::listen(fd, 4) == 0)
            return fd;
        ::close(fd);
    }
    return -1;
}

bool SendAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The scripted server: one connection, every line answered as it arrives. The report byte goes
// out once the line is sent; on loopback the client can then read it.
void RunServer(int listener, int commands, int reports, int songs, int pollsPerSong) {
    const int connection = ::accept(listener, nullptr, nullptr);
    if (connection < 0)
        return;
    // Each line goes out at once, as the real server's do, not held back for an ACK.
    const int on = 1;
    ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const auto report = [&](char what) {
        if (::write(reports, &what, 1) != 1) {
            // The benchmark reads the reports only while it times ticks.
        }
    };
    std::mt19937 random(12345);
    int song = 0, polls = 0, position = 0, played = 0;
    std::string pending;
    for (;;) {
        pollfd p[2] = {{connection, POLLIN, 0}, {commands, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0)
            return;
        if (p[1].revents) {
            char c = 0;
            if (::read(commands, &c, 1) != 1 || c == kQuit)
                return;
            if (c == kSendEmpty && SendAll(connection, "\r\n"))
                report(kSentEmpty);
        }
        if (!p[0].revents)
            continue;
        char buf[4096];
        const ssize_t n = ::recv(connection, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        pending.append(buf, static_cast<size_t>(n));
        for (size_t end; (end = pending.find("\r\n")) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 2);
            if (line.starts_with(kv::kLogInMarker)) {
                if (SendAll(connection, std::string(kv::kLogAck) + "\r\n"))
                    report(kSentLogAck);
            } else if (line == "#PLY?") {
                bool newSong = false;
                if (polls++ % pollsPerSong == 0) {
                    song = static_cast<int>(random() % static_cast<unsigned>(songs));
                    position = 0;
                    ++played;
                    newSong = true;
                }
                position += 1000;
                const std::string reply =
                    kv::PlayStatusReply(kv::PadLeft(std::to_string(song + 1), 6, "0"), position,
                                        240000, "SONG" + std::to_string(song) + ".MP3", 3840000);
                if (SendAll(connection, reply + "\r\n"))
                    report(newSong ? kSentNewSong : kSentSameSong);
            } else if (line == "#INI?") {
                if (SendAll(connection, kv::ServerInfoReply(32768, 1, played, 3) + "\r\n"))
                    report(kSentInfo);
            } else if (line == kv::kLogOff) {
                return;
            }
        }
    }
}

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuUs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// The next report of the server, or 0 when none came within the time.
char NextReport(int reports, int timeoutMs = 3000) {
    pollfd p{reports, POLLIN, 0};
    char c = 0;
    if (::poll(&p, 1, timeoutMs) != 1 || ::read(reports, &c, 1) != 1)
        return 0;
    return c;
}

// A tick's wall time and the CPU time of its thread, in microseconds.
struct Sample {
    double wallUs;
    double cpuUs;
};

double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

void PrintFigures(const char* what, const std::vector<Sample>& samples) {
    if (samples.empty()) {
        std::printf("  %-38s none\n", what);
        return;
    }
    std::vector<double> wall, cpu;
    for (const Sample& s : samples) {
        wall.push_back(s.wallUs);
        cpu.push_back(s.cpuUs);
    }
    std::printf("  %-38s %5zu  p50 %7.1f  p99 %7.1f  max %7.1f us   CPU p50 %7.1f  p99 %7.1f us\n",
                what, samples.size(), Quantile(wall, 0.5), Quantile(wall, 0.99),
                Quantile(wall, 1.0), Quantile(cpu, 0.5), Quantile(cpu, 0.99));
}

struct TickFigures {
    std::map<char, std::vector<Sample>> byLine;  // by the report of the line the tick read
    std::vector<Sample> waiting;                 // ticks that found no line
    bool inStep = true;
};

// Ticks that find a line waiting (an empty line, or the server's reply to the last poll), and
// a few that find none and wait out the read's time-out.
TickFigures TimeTicks(QApplication& app, sonpad::TaMain& main, int commands, int reports, int ticks,
                      int waitingTicks) {
    TickFigures f;
    std::deque<char> waiting;  // the lines in the client's connection, oldest first
    // Whatever the start-up left unread: the log-in's answer and the reply to "#INI?".
    for (char c; (c = NextReport(reports, 200)) != 0;)
        waiting.push_back(c);

    // Whether an idle tick now sends a request the server answers.
    const auto idleTickAsks = [&] {
        int idle = main.IdleTicks;
        bool inFlight = main.RequestInFlight;
        return sonpad::NextIdlePoll(idle, inFlight, !main.SongInfoRequests.empty()) !=
               sonpad::Poll::Nothing;
    };
    const auto tick = [&] {
        const char line = waiting.empty() ? 0 : waiting.front();
        const bool idle = line == 0 || line == kSentEmpty;
        const bool asks = line == kSentLogAck || (idle && idleTickAsks());
        const double cpu0 = ThreadCpuUs();
        const auto start = std::chrono::steady_clock::now();
        main.ClientTick();
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count();
        const double cpuUs = ThreadCpuUs() - cpu0;
        if (line != 0) {
            waiting.pop_front();
            f.byLine[line].push_back({us, cpuUs});
        } else {
            f.waiting.push_back({us, cpuUs});
        }
        if (asks) {
            const char reply = NextReport(reports);
            if (reply == 0) {
                std::printf("the server did not answer; the ticks are out of step\n");
                f.inStep = false;
            }
            waiting.push_back(reply);
        }
        // Between ticks the event loop runs: paints, the title's scrolling.
        app.processEvents();
    };

    for (int i = 0; i < ticks && f.inStep; ++i) {
        if (waiting.empty()) {
            if (::write(commands, &kSendEmpty, 1) != 1)
                break;
            waiting.push_back(NextReport(reports));
        }
        tick();
    }
    // The replies still waiting are read first; the ticks after them find nothing.
    for (int i = 0; i < waitingTicks && f.inStep;) {
        if (waiting.empty())
            ++i;
        tick();
    }
    return f;
}

int RunClient(int argc, char** argv, const std::string& folder, int commands, int reports,
              int idleSeconds) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::UnattendedDialogs dialogs;  // a box goes to standard error
    platform::setDialogs(&dialogs);
    sonpad::ClientEnvironment env = client_bench::BenchEnvironment(folder);
    env.realTimers = true;

    sonpad::ProgramBlock program(env);
    sonpad::TaMain& main = *program.forms().aMain;
    program.Show();
    // The start-up scans the library and, songs not playing here, connects. A loop of our own:
    // the application's quit would close the windows, and the close empties the library.
    QEventLoop loop;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!main.FirstShow)
            loop.quit();
    });
    watch.start();
    loop.exec();
    watch.stop();
    if (main.LocalMode || !main.IdTCPClient1.connected()) {
        std::printf("the client did not connect\n");
        return 1;
    }
    std::printf("library: %zu songs; connected\n", main.SongLibrary.size());

    // (a) The tick's own work, Timer1 held off so that only the timed calls read.
    main.Timer1->SetEnabled(false);
    const TickFigures f = TimeTicks(app, main, commands, reports, 20000, 200);
    if (!f.inStep)
        return 1;
    std::printf(
        "(a) ClientTick by the line it found, ticks, wall time and the thread's CPU time:\n");
    std::vector<Sample> all;
    for (const auto& [line, samples] : f.byLine)
        all.insert(all.end(), samples.begin(), samples.end());
    PrintFigures("every tick that found a line", all);
    const auto byLine = [&](char line) {
        const auto it = f.byLine.find(line);
        return it == f.byLine.end() ? std::vector<Sample>() : it->second;
    };
    PrintFigures("idle (an empty line; sends its poll)", byLine(kSentEmpty));
    PrintFigures("\"#PLY\" reply, the song shown", byLine(kSentSameSong));
    PrintFigures("\"#PLY\" reply, a new song (looked up)", byLine(kSentNewSong));
    PrintFigures("\"#INI\" reply", byLine(kSentInfo));
    PrintFigures("idle, waiting out the read's 5 ms", f.waiting);

    // (b) Connected and idle with the real timer.
    for (char c; (c = NextReport(reports, 50)) != 0;) {
    }
    main.Timer1->SetEnabled(true);
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    const auto start = std::chrono::steady_clock::now();
    QTimer::singleShot(idleSeconds * 1000, &loop, [&] { loop.quit(); });
    loop.exec();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    int replies = 0;
    while (NextReport(reports, 0) != 0)
        ++replies;
    std::printf(
        "(b) connected and idle for %.1f s with the 500 ms timer (%d replies read): "
        "%.3f %% of a core (goal < 1 %%)\n",
        seconds, replies, cpu / seconds * 100);
    std::printf("    still connected: %s\n",
                main.IdTCPClient1.connected() && !main.LocalMode ? "yes" : "no");
    main.close();
    platform::setDialogs(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int songs = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int idleSeconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const int pollsPerSong = std::max(1, argc > 3 ? std::atoi(argv[3]) : 240);
    constexpr int kFolders = 40;

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ::signal(SIGPIPE, SIG_IGN);  // a server that has gone shows as a missing report
    const std::string root = client_bench::MakeTempFolder("sonh-client-tick-bench");
    if (root.empty())
        return 1;
    std::printf("Generating %d tagged files in %d folders under %s ...\n", songs, kFolders,
                root.c_str());
    bench::MakeSongTree(root, songs, kFolders);
    int port = 0;
    const int listener = ListenInFieldRange(port);
    if (listener < 0)
        return 1;
    {
        std::ofstream config(root + "sonpad2.kvc", std::ios::binary);
        config << "[SONPAD]\r\nPLAY HERE=NO\r\nCLIENT NAME=bench\r\nSERVER IP=127.0.0.1\r\nPORT="
               << port << "\r\nDIRECTORIES=" << kFolders << "\r\n";
        for (int f = 0; f < kFolders; ++f)
            config << "MP3 PATH" << f + 1 << "=" << kv::UpperCase(root) << "FOLDER" << f << "/\r\n";
    }
    std::fflush(stdout);

    int toServer[2], fromServer[2];
    if (::pipe(toServer) != 0 || ::pipe(fromServer) != 0)
        return 1;
    const pid_t server = fork();
    if (server == 0) {
        ::close(toServer[1]);
        ::close(fromServer[0]);
        RunServer(listener, toServer[0], fromServer[1], songs, pollsPerSong);
        _exit(0);
    }
    ::close(listener);
    ::close(toServer[0]);
    ::close(fromServer[1]);

    const int status = RunClient(argc, argv, root, toServer[1], fromServer[0], idleSeconds);

    const char quit = kQuit;
    if (::write(toServer[1], &quit, 1) != 1) {
        // The server has ended already.
    }
    ::close(toServer[1]);
    ::close(fromServer[0]);
    waitpid(server, nullptr, 0);
    std::filesystem::remove_all(root);
    return status;
}

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

std::string TagBlock(std::string_view title, std::string_view artist, std::string_view album,
                     std::string_view year, std::string_view comment, unsigned char genre) {
    const auto field = [](std::string_view s, size_t width) {
        std::string f(s.substr(0, std::min(s.size(), width)));
        f.resize(width, '\0');
        return f;
    };
    std::string block = "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) +
                        field(year, 4) + field(comment, 30);
    block += static_cast<char>(genre);
    return block;
}

std::string Mp3Bytes(std::optional<std::string> tag) {
    std::string bytes = "\xFF\xFB\x90\x64";
    bytes.resize(200, '\x55');
    if (tag)
        bytes += *tag;
    return bytes;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

int FreePort() {
    static std::mt19937 random(static_cast<unsigned>(::getpid()));
    std::uniform_int_distribution<int> pick(2000, 9999);
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int port = pick(random);
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_ANY);
        const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(fd);
        if (free)
            return port;
    }
    throw std::runtime_error("no free port below 10000");
}

LineClient::~LineClient() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool LineClient::Connect(int port) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    pending_.clear();
    closed_ = false;
    return true;
}

std::optional<std::string> LineClient::ReadLine(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const size_t lf = pending_.find('\n');
        if (lf != std::string::npos) {
            std::string line = pending_.substr(0, lf);
            pending_.erase(0, lf + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        if (fd_ < 0 || closed_)
            return std::nullopt;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            closed_ = true;
            continue;
        }
        pending_.append(buffer, static_cast<size_t>(n));
    }
}

bool LineClient::WaitClosed(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!closed_ && std::chrono::steady_clock::now() < end) {
        if (!ReadLine(std::chrono::milliseconds(50)))
            continue;
    }
    return closed_;
}

void LineClient::Send(std::string_view line) {
    SendRaw(std::string(line) + "\r\n");
}

void LineClient::SendRaw(std::string_view bytes) {
    if (fd_ >= 0)
        (void)::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void LineClient::ShutdownWrite() {
    if (fd_ >= 0)
        ::shutdown(fd_, SHUT_WR);
}

void LineClient::Reset() {
    if (fd_ < 0)
        return;
    const linger abort{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(fd_);
    fd_ = -1;
}

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

#include "tests/support/socket_peers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>
#include <utility>

namespace testing_support {

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    return a;
}

}  // namespace

RawSocket::~RawSocket() {
    close();
}

RawSocket& RawSocket::operator=(RawSocket&& o) noexcept {
    if (this != &o) {
        close();
        fd_ = o.fd_;
        pending_ = std::move(o.pending_);
        o.fd_ = -1;
    }
    return *this;
}

RawSocket RawSocket::connectTo(int port, int receiveBuffer) {
    RawSocket s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (receiveBuffer > 0)
        ::setsockopt(s.fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    const int on = 1;
    ::setsockopt(s.fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const sockaddr_in a = loopback(port);
    if (::connect(s.fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0)
        throw std::runtime_error("test peer could not connect");
    return s;
}

bool RawSocket::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool RawSocket::sendInPieces(std::string_view bytes, size_t piece) {
    while (!bytes.empty()) {
        const size_t n = std::min(piece, bytes.size());
        if (!send(bytes.substr(0, n)))
            return false;
        bytes.remove_prefix(n);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::string RawSocket::receiveLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (auto end = pending_.find("\r\n"); end != std::string::npos) {
            std::string line = pending_.substr(0, end + 2);
            pending_.erase(0, end + 2);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return std::exchange(pending_, {});
        char buf[4096];
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0)
            return std::exchange(pending_, {});
        pending_.append(buf, static_cast<size_t>(n));
    }
}

bool RawSocket::waitClosed(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char buf[4096];
        if (::recv(fd_, buf, sizeof buf, 0) <= 0)
            return true;
    }
}

void RawSocket::abort() {
    const linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    close();
}

void RawSocket::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

RawListener::RawListener(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback(port);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(fd_, 8) != 0) {
        ::close(fd_);
        throw std::runtime_error("test listener could not listen");
    }
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
}

RawListener::~RawListener() {
    ::close(fd_);
}

RawSocket RawListener::accept() {
    const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    // Each line goes out at once, as the programs' own do: held back for the peer's delayed
    // acknowledgement, it could miss a read with a short time-out.
    const int on = 1;
    if (fd >= 0)
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return RawSocket(fd);
}

int UnusedPort() {
    RawListener l;
    return l.port();
}

int OpenFileCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

long VirtualMemoryKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmSize:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
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

std::unique_ptr<RawListener> ListenerInSettingsRange() {
    // Another test may take the free port before this one binds it: try another.
    for (int attempt = 0;; ++attempt) {
        try {
            return std::make_unique<RawListener>(FreePort());
        } catch (const std::runtime_error&) {
            if (attempt == 20)
                throw;
        }
    }
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

}  // namespace testing_support

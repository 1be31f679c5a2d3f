#include "tests/platform/tcp/raw_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <utility>

namespace tcp_testing {

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

RawListener::RawListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback(0);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 8) != 0)
        throw std::runtime_error("test listener could not listen");
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
}

RawListener::~RawListener() {
    ::close(fd_);
}

RawSocket RawListener::accept() {
    return RawSocket(::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
}

int unusedPort() {
    RawListener l;
    return l.port();
}

int openFileCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

long virtualMemoryKb() {
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

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace tcp_testing

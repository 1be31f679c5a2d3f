#include "platform/tcp/socket_io.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace platform::tcp::detail {

namespace {

constexpr int kKeepIdleSeconds = 30;
constexpr int kKeepIntervalSeconds = 10;
constexpr int kKeepProbes = 3;
// Unacknowledged data also ends the connection after this long; keep-alive alone does not
// probe while data waits for its acknowledgement.
constexpr unsigned kUserTimeoutMs = 60'000;

void setIntOption(int fd, int level, int name, int value) {
    // A refused option leaves the socket usable; there is nothing better to do about it.
    (void)::setsockopt(fd, level, name, &value, sizeof value);
}

}  // namespace

void UniqueFd::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

std::string errorText(int err) {
    return std::generic_category().message(err);
}

void setStreamOptions(int fd) {
    setIntOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
    setIntOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, kKeepIdleSeconds);
    setIntOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, kKeepIntervalSeconds);
    setIntOption(fd, IPPROTO_TCP, TCP_KEEPCNT, kKeepProbes);
    setIntOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, static_cast<int>(kUserTimeoutMs));
    setIntOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
}

int sendNow(int fd, std::string_view data, size_t& sent) {
    sent = 0;
    while (sent < data.size()) {
        const ssize_t n =
            ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            sent += static_cast<size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        else
            return n < 0 ? errno : EPIPE;
    }
    return 0;
}

int sendAll(int fd, std::string_view data, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    while (!data.empty()) {
        const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            data.remove_prefix(static_cast<size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return errno;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return ETIMEDOUT;
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR)
            return errno;
    }
    return 0;
}

}  // namespace platform::tcp::detail

#include "platform/tcp/tcp_client.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <memory>

#include "platform/errors.h"

namespace platform::tcp {

namespace {

using Clock = std::chrono::steady_clock;

int millisLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Connects one non-blocking socket within the time-out; returns 0 or the errno.
int connectWithin(int fd, const addrinfo& a, Clock::time_point deadline) {
    if (::connect(fd, a.ai_addr, a.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS && errno != EINTR)
        return errno;
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, millisLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return errno;
        if (ready == 0)
            return ETIMEDOUT;
        int err = 0;
        socklen_t len = sizeof err;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
        return err;
    }
}

struct AddrInfoFree {
    void operator()(addrinfo* a) const { ::freeaddrinfo(a); }
};

}  // namespace

TcpClient::~TcpClient() = default;

void TcpClient::status(ClientStatus s, std::string_view text) const {
    if (status_)
        status_(s, text);
}

void TcpClient::connect() {
    const std::string where = host_ + " port " + std::to_string(port_);
    if (connected())
        throw Error("Already connected to " + where);
    if (host_.empty())
        throw Error("Could not connect: no host given");
    if (port_ < 1 || port_ > 65535)
        throw Error("Could not connect to " + where + ": not a port number");

    status(ClientStatus::resolving, "Resolving hostname " + host_ + ".");
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int gai = ::getaddrinfo(host_.c_str(), std::to_string(port_).c_str(), &hints, &found);
    if (gai != 0)
        throw Error("Could not resolve " + host_ + ": " +
                    (gai == EAI_SYSTEM ? detail::errorText(errno) : ::gai_strerror(gai)));
    std::unique_ptr<addrinfo, AddrInfoFree> list(found);

    const auto deadline = Clock::now() + connectTimeout_;
    int err = ECONNREFUSED;
    for (const addrinfo* a = list.get(); a; a = a->ai_next) {
        status(ClientStatus::connecting, "Connecting to " + where + ".");
        detail::UniqueFd fd(
            ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol));
        if (!fd.valid()) {
            err = errno;
            continue;
        }
        err = connectWithin(fd.get(), *a, deadline);
        if (err == 0) {
            detail::setStreamOptions(fd.get());
            fd_ = std::move(fd);
            break;
        }
        if (err == ETIMEDOUT)
            break;
    }
    if (!connected())
        throw Error("Could not connect to " + where + ": " + detail::errorText(err));

    buffer_ = {};
    status(ClientStatus::connected, "Connected.");
    try {
        if (connected_)
            connected_();
    } catch (...) {
        close();
        throw;
    }
}

void TcpClient::disconnect() {
    if (connected())
        close();
}

void TcpClient::close() {
    status(ClientStatus::disconnecting, "Disconnecting.");
    fd_.reset();
    buffer_ = {};
    status(ClientStatus::disconnected, "Disconnected.");
    if (disconnected_)
        disconnected_();
}

void TcpClient::fail(const std::string& message) {
    close();
    throw Error(message);
}

void TcpClient::writeLine(std::string_view line) {
    if (!connected())
        throw Error("Not connected");
    std::string bytes;
    bytes.reserve(line.size() + 2);
    bytes.append(line).append("\r\n");
    if (const int err = detail::sendAll(fd_.get(), bytes, sendTimeout_))
        fail("Could not send to " + host_ + ": " + detail::errorText(err));
}

std::string TcpClient::readLine(int timeoutMs) {
    if (!connected())
        throw Error("Not connected");
    const bool unlimited = timeoutMs < 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(unlimited ? 0 : timeoutMs);
    char chunk[16 * 1024];
    for (;;) {
        try {
            if (auto line = buffer_.takeLine())
                return std::move(*line);
        } catch (const Error& e) {
            fail(e.what());
        }
        const ssize_t n = ::recv(fd_.get(), chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0) {
            buffer_.append({chunk, static_cast<size_t>(n)});
            continue;
        }
        if (n == 0)
            fail("The connection to " + host_ + " was closed");
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            fail("Could not read from " + host_ + ": " + detail::errorText(errno));
        const int wait = unlimited ? -1 : millisLeft(deadline);
        if (!unlimited && wait == 0)
            return {};
        pollfd p{fd_.get(), POLLIN, 0};
        ::poll(&p, 1, wait);
    }
}

}  // namespace platform::tcp

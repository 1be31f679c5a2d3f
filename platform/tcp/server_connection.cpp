#include "platform/tcp/server_connection.h"

#include <sys/socket.h>

#include <cerrno>

#include "platform/errors.h"

namespace platform::tcp::detail {

ServerConnection::ServerConnection(UniqueFd fd, std::string peer,
                                   std::chrono::milliseconds sendTimeout)
    : fd_(std::move(fd)), peer_(std::move(peer)), sendTimeout_(sendTimeout) {}

ServerConnection::~ServerConnection() {
    if (thread.joinable())
        thread.join();
}

void ServerConnection::end() {
    if (!ended_.exchange(true))
        ::shutdown(fd_.get(), SHUT_RDWR);
}

std::string ServerConnection::readLine() {
    char chunk[16 * 1024];
    for (;;) {
        if (ended_.load())
            throw Error("Connection to " + peer_ + " closed");
        try {
            if (auto line = buffer_.takeLine())
                return std::move(*line);
        } catch (const Error&) {
            end();
            throw;
        }
        const ssize_t n = ::recv(fd_.get(), chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer_.append({chunk, static_cast<size_t>(n)});
        } else if (n == 0) {
            end();
            throw Error("Connection to " + peer_ + " closed by the peer");
        } else if (errno != EINTR) {
            const int err = errno;
            end();
            throw Error("Could not read from " + peer_ + ": " + errorText(err));
        }
    }
}

void ServerConnection::writeLine(std::string_view line) {
    std::string bytes;
    bytes.reserve(line.size() + 2);
    bytes.append(line).append("\r\n");
    std::lock_guard lock(writeMutex_);
    if (ended_.load())
        throw Error("Could not send to " + peer_ + ": the connection is closed");
    if (const int err = sendAll(fd_.get(), bytes, sendTimeout_)) {
        end();
        throw Error("Could not send to " + peer_ + ": " + errorText(err));
    }
}

}  // namespace platform::tcp::detail

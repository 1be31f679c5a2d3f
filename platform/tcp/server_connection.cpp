#include "platform/tcp/server_connection.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/errors.h"

namespace platform::tcp::detail {

ServerConnection::ServerConnection(UniqueFd fd, std::string peer, SendLimits limits)
    : fd_(std::move(fd)), peer_(std::move(peer)), limits_(limits) {}

ServerConnection::~ServerConnection() {
    end();
    joinWriter();
    if (thread.joinable())
        thread.join();
}

void ServerConnection::startWriter() {
    writer_ = std::thread(&ServerConnection::writeLoop, this);
}

void ServerConnection::joinWriter() {
    if (writer_.joinable())
        writer_.join();
}

void ServerConnection::end() {
    if (!ended_.exchange(true))
        ::shutdown(fd_.get(), SHUT_RDWR);
    std::lock_guard lock(queueMutex_);
    queueChanged_.notify_all();
}

void ServerConnection::disconnect() {
    std::lock_guard lock(queueMutex_);
    closing_ = true;
    queueChanged_.notify_all();
}

std::string ServerConnection::readLine() {
    return takeLine(-1);
}

std::string ServerConnection::readLine(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return takeLine(static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
}

// timeoutMs < 0: no limit.
std::string ServerConnection::takeLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
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
        if (timeoutMs >= 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd p{fd_.get(), POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) == 0) {
                end();
                throw Error("No line from " + peer_ + " in time");
            }
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
    Pending pending{std::string(), Clock::now()};
    pending.bytes.reserve(line.size() + 2);
    pending.bytes.append(line).append("\r\n");
    int failure = 0;
    {
        std::lock_guard lock(queueMutex_);
        if (ended_.load() || closing_)
            throw Error("Could not send to " + peer_ + ": the connection is closed");
        // Nothing waits before it: what the socket takes at once goes now, without waking the
        // writer; the rest waits for the writer.
        if (queue_.empty() && !writerSending_) {
            size_t sent = 0;
            failure = sendNow(fd_.get(), pending.bytes, sent);
            if (failure == 0 && sent == pending.bytes.size())
                return;
            pending.bytes.erase(0, sent);
        }
        const bool full =
            !queue_.empty() && (queue_.size() >= limits_.maxLines ||
                                queuedBytes_ + pending.bytes.size() > limits_.maxBytes);
        if (failure == 0 && !full) {
            queuedBytes_ += pending.bytes.size();
            queue_.push_back(std::move(pending));
            queueChanged_.notify_all();
            return;
        }
    }
    end();
    throw Error("Could not send to " + peer_ + ": " +
                (failure != 0 ? errorText(failure) : std::string("it does not take its lines")));
}

void ServerConnection::writeLoop() {
    // Whatever waits goes out together, in as few sends as the peer allows.
    constexpr std::size_t kBatchBytes = 256 * 1024;
    std::string batch;
    for (;;) {
        Clock::time_point oldest;
        {
            std::unique_lock lock(queueMutex_);
            queueChanged_.wait(lock, [&] { return ended_.load() || closing_ || !queue_.empty(); });
            if (ended_.load())
                return;
            if (queue_.empty()) {
                lock.unlock();
                end();  // closing, and everything went out
                return;
            }
            oldest = queue_.front().queuedAt;
            writerSending_ = true;
            batch.clear();
            while (!queue_.empty() &&
                   (batch.empty() || batch.size() + queue_.front().bytes.size() <= kBatchBytes)) {
                batch += queue_.front().bytes;
                queuedBytes_ -= queue_.front().bytes.size();
                queue_.pop_front();
            }
        }
        // The oldest line's wait counts from when it was queued.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            oldest + limits_.oldestLineWait - Clock::now());
        if (sendAll(fd_.get(), batch, std::max(left, std::chrono::milliseconds(0))) != 0) {
            end();
            return;
        }
        std::lock_guard lock(queueMutex_);
        writerSending_ = false;
    }
}

}  // namespace platform::tcp::detail

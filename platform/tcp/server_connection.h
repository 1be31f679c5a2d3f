#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/tcp/line_buffer.h"
#include "platform/tcp/socket_io.h"
#include "platform/tcp/tcp_server.h"

namespace platform::tcp::detail {

// How much may wait for a peer before its connection is ended as faulty.
struct SendLimits {
    std::chrono::milliseconds oldestLineWait{5000};
    std::size_t maxLines = 8192;
    std::size_t maxBytes = 2 * 1024 * 1024;
};

// One accepted connection. The socket stays open until the object is destroyed, which the
// server does only after the connection's thread ended and left the list, so other threads
// may end it (shutdown) at any time without racing a close.
//
// Writes never wait: what the socket takes at once goes at once while nothing is queued, the
// rest is appended to the connection's outgoing queue, which its own writer thread sends in
// order. A queue over its limits, or a line that waited longer than allowed, ends the
// connection, so no writer ever waits for a peer that does not read.
class ServerConnection final : public Connection {
  public:
    ServerConnection(UniqueFd fd, std::string peer, SendLimits limits);
    ~ServerConnection() override;  // ends the connection and joins both threads

    // Only the connection's own thread reads.
    std::string readLine() override;
    std::string readLine(std::chrono::steady_clock::time_point deadline) override;
    void writeLine(std::string_view line) override;
    void disconnect() override;
    bool connected() const override { return !ended_.load(); }
    std::string peerAddress() const override { return peer_; }

    void startWriter();  // raises std::system_error when no thread can be made
    // Ends the connection once, at once: blocked reads and writes wake and fail, queued lines
    // are dropped.
    void end();
    // Waits until the writer has finished (after end(), or after disconnect() once the queue
    // went out, which takes at most the longest wait allowed).
    void joinWriter();

    std::thread thread;

  private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        std::string bytes;
        Clock::time_point queuedAt;
    };
    void writeLoop();
    std::string takeLine(int timeoutMs);

    UniqueFd fd_;
    const std::string peer_;
    const SendLimits limits_;
    std::atomic<bool> ended_{false};
    LineBuffer buffer_;

    std::mutex queueMutex_;  // guards the five below
    std::condition_variable queueChanged_;
    std::deque<Pending> queue_;
    std::size_t queuedBytes_ = 0;
    bool closing_ = false;        // no more lines taken; shut down once the queue went out
    bool writerSending_ = false;  // the writer holds lines taken from the queue
    std::thread writer_;
};

}  // namespace platform::tcp::detail

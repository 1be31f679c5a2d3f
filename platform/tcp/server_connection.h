#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "platform/tcp/line_buffer.h"
#include "platform/tcp/socket_io.h"
#include "platform/tcp/tcp_server.h"

namespace platform::tcp::detail {

// One accepted connection. The socket stays open until the object is destroyed, which the
// server does only after the connection's thread ended and left the list, so other threads
// may end it (shutdown) at any time without racing a close.
class ServerConnection final : public Connection {
  public:
    ServerConnection(UniqueFd fd, std::string peer, std::chrono::milliseconds sendTimeout);
    ~ServerConnection() override;

    // Only the connection's own thread reads.
    std::string readLine() override;
    void writeLine(std::string_view line) override;
    void disconnect() override { end(); }
    bool connected() const override { return !ended_.load(); }
    std::string peerAddress() const override { return peer_; }

    // Ends the connection once: blocked reads and writes wake and fail.
    void end();

    std::thread thread;

  private:
    UniqueFd fd_;
    const std::string peer_;
    const std::chrono::milliseconds sendTimeout_;
    std::atomic<bool> ended_{false};
    std::mutex writeMutex_;  // one line at a time, whole
    LineBuffer buffer_;
};

}  // namespace platform::tcp::detail

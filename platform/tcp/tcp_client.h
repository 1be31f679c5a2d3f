#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "platform/tcp/line_buffer.h"
#include "platform/tcp/socket_io.h"

// A line connection to a server, used from one thread: every call blocks that thread for at
// most its time-out, and the notifications run on it, inside the call that caused them.
namespace platform::tcp {

enum class ClientStatus { resolving, connecting, connected, disconnecting, disconnected };

class TcpClient {
  public:
    using Notify = std::function<void()>;
    using StatusNotify = std::function<void(ClientStatus, std::string_view text)>;

    TcpClient() = default;
    ~TcpClient();  // closes the connection without notifications
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    void setHost(std::string host) { host_ = std::move(host); }
    const std::string& host() const { return host_; }
    void setPort(int port) { port_ = port; }
    int port() const { return port_; }
    void setConnectTimeout(std::chrono::milliseconds t) { connectTimeout_ = t; }
    void setSendTimeout(std::chrono::milliseconds t) { sendTimeout_ = t; }

    // Status: resolving, connecting (for each address tried), connected; then the connected
    // notification. disconnecting and disconnected come before the disconnected notification.
    void onConnected(Notify n) { connected_ = std::move(n); }
    void onDisconnected(Notify n) { disconnected_ = std::move(n); }
    void onStatus(StatusNotify n) { status_ = std::move(n); }

    // Blocks until the connection stands (host name or address, IPv4 or IPv6). Raises
    // platform::Error with the reason when it cannot; an error of the connected notification
    // closes the connection again and goes to the caller.
    void connect();
    // Closes the connection; nothing happens when there is none.
    void disconnect();
    // True from a successful connect until disconnect() or a failed read or write.
    bool connected() const { return fd_.valid(); }

    // Appends CR LF. Raises platform::Error when not connected or when the send fails (a server
    // that takes nothing for the send time-out included); a failure closes the connection.
    void writeLine(std::string_view line);
    // The next line (LF ends it, one CR before it is dropped), waiting at most timeoutMs (a
    // negative value waits without limit). A time-out gives the empty text and keeps a partial
    // line for the next call. Raises platform::Error when not connected, when the server closed
    // the connection or sent a line over kMaxLineLength; the connection is then closed.
    std::string readLine(int timeoutMs);

  private:
    void status(ClientStatus s, std::string_view text) const;
    // Closes the socket with the disconnecting/disconnected notifications.
    void close();
    [[noreturn]] void fail(const std::string& message);

    std::string host_;
    int port_ = 0;
    std::chrono::milliseconds connectTimeout_{10'000};
    std::chrono::milliseconds sendTimeout_{5'000};
    Notify connected_, disconnected_;
    StatusNotify status_;
    detail::UniqueFd fd_;
    detail::LineBuffer buffer_;
};

}  // namespace platform::tcp

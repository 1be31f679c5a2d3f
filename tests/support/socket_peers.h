#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Plain sockets for the far side of the tests, where a test must control every byte: split
// packets, abortive closes, a peer that never reads.
namespace testing_support {

class RawSocket {
  public:
    RawSocket() = default;
    explicit RawSocket(int fd) : fd_(fd) {}
    ~RawSocket();
    RawSocket(RawSocket&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    RawSocket& operator=(RawSocket&& o) noexcept;

    // Connects to 127.0.0.1; a receive buffer size > 0 is set before connecting.
    static RawSocket connectTo(int port, int receiveBuffer = 0);

    bool valid() const { return fd_ >= 0; }
    // Sends everything; false when the connection failed.
    bool send(std::string_view bytes);
    // Sends in pieces of `piece` bytes with a short pause between, so they travel apart.
    bool sendInPieces(std::string_view bytes, size_t piece);
    // Reads until `bytes` holds a CR LF ended line, or the time-out; returns what came.
    std::string receiveLine(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // True when the peer closed (end of file or reset) within the time-out.
    bool waitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Reset instead of an orderly close: the peer vanishes.
    void abort();
    void close();

  private:
    int fd_ = -1;
    std::string pending_;
};

// A listening socket on 127.0.0.1 with a free port, or the port given.
class RawListener {
  public:
    explicit RawListener(int port = 0);
    ~RawListener();
    RawListener(const RawListener&) = delete;
    RawListener& operator=(const RawListener&) = delete;
    int port() const { return port_; }
    RawSocket accept();

  private:
    int fd_ = -1;
    int port_ = 0;
};

// A listener on a free port of the settings' range (below 10000).
std::unique_ptr<RawListener> ListenerInSettingsRange();
// A port where nothing listens (bound once, then released).
int UnusedPort();
// A port of the settings' range (below 10000) that nothing listens on right now.
int FreePort();

int OpenFileCount();
long VirtualMemoryKb();

// A plain line client over a real socket, as the programs' peers talk.
class LineClient {
  public:
    LineClient() = default;
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    bool Connect(int port);  // false when nothing listens
    // The next line without its CR LF; nothing on a time-out or when the peer closed.
    std::optional<std::string> ReadLine(
        std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // True once the peer has closed the connection (within the time-out).
    bool WaitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void Send(std::string_view line);  // appends CR LF
    void SendRaw(std::string_view bytes);
    void ShutdownWrite();  // the peer reads the end after what was sent
    void Reset();          // closes with a reset instead of an orderly end

  private:
    int fd_ = -1;
    std::string pending_;
    bool closed_ = false;
};

}  // namespace testing_support

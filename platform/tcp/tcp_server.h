#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// A listening TCP server running one thread per connection. Each connection thread calls the
// connect handler once, the execute handler over and over and the disconnect handler once.
//
// Threads: one accept thread per active server (it also joins finished connection threads) and
// one thread per connection, which runs all three handlers of that connection. A Connection
// stays valid while it is in the list (hold lockList() to use one from another thread) and,
// on its own thread, until its disconnect handler returns. It is still listed while its
// disconnect handler runs, so a broadcast from there reaches it too (and fails quietly).
namespace platform::tcp {

// Per-connection state the program attaches (the server's client record).
class ConnectionData {
  public:
    virtual ~ConnectionData() = default;
};

class Connection {
  public:
    virtual ~Connection() = default;
    // Blocks until a whole line came (LF ends it, one CR before it is dropped). Raises
    // platform::Error when the connection ended (peer gone, line over 64 KiB, closed here).
    // Only the connection's own thread reads.
    virtual std::string readLine() = 0;
    // As readLine, but when no whole line came by the deadline the connection ends and
    // platform::Error is raised.
    virtual std::string readLine(std::chrono::steady_clock::time_point deadline) = 0;
    // Appends CR LF and sends what the socket takes at once, queueing the rest for the
    // connection's writer; never waits for the peer. Safe from any thread; lines to one connection
    // go out in the order queued. A peer that does not take its lines (its queue over the limits,
    // or its oldest line waiting longer than the send time-out) ends the connection. Raises
    // platform::Error when the line is not taken: the connection is closing or ended, or this line
    // overfilled it.
    virtual void writeLine(std::string_view line) = 0;
    // Closes the connection once the lines queued so far went out (or failed): no more lines
    // are taken; then its blocked read wakes and its thread runs the disconnect handler.
    virtual void disconnect() = 0;
    virtual bool connected() const = 0;
    virtual std::string peerAddress() const = 0;

    // The data slot; owned by the connection, freed with it. Not locked: the program guards it.
    std::unique_ptr<ConnectionData> data;
    // What the connection's own thread keeps from one of its handlers to the next; only that
    // thread touches it. Freed with the connection.
    std::unique_ptr<ConnectionData> threadData;
};

class TcpServer {
  public:
    using Handler = std::function<void(Connection&)>;

    TcpServer();
    ~TcpServer();  // deactivates
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // The settings allow 1..9999; any port 1..65535 works here, and 0 takes a free port at
    // activation, which port() then tells.
    void setPort(int port);
    int port() const;
    // How long a queued line may wait for a peer that does not read before its connection
    // ends (default 5 s), for the connections made from now on.
    void setSendTimeout(std::chrono::milliseconds timeout);
    // At most this many open connections (default: no limit); one more is closed at once,
    // without any handler or greeting.
    void setMaxConnections(int count);
    // A line every new connection gets before anything else: it is written as the connection
    // joins the list, under the list lock, so no broadcast can come first. Empty: none.
    // Set while inactive (std::logic_error otherwise).
    void setGreeting(std::string line);
    // Set while inactive (std::logic_error otherwise). Handlers run on the connection's own
    // thread; an exception escaping the connect or execute handler ends that connection, and
    // the disconnect handler still runs once. Without an execute handler lines are discarded.
    void onConnect(Handler h);
    void onExecute(Handler h);
    void onDisconnect(Handler h);

    // Activation listens on all interfaces; raises platform::Error naming the port and the
    // reason when it cannot. Deactivation stops listening, closes every connection once its
    // queued lines went out (at most the send time-out) and waits for their threads to
    // finish, so their handlers must not wait for the deactivating thread; it raises
    // std::logic_error when called from a handler.
    void setActive(bool active);
    bool active() const;

    // The open connections, held locked for as long as the returned object lives. The lock is
    // recursive; writes to listed connections are safe under it (each fails on its own).
    class LockedList {
      public:
        const std::vector<Connection*>& connections() const { return *list_; }

      private:
        friend class TcpServer;
        LockedList(std::unique_lock<std::recursive_mutex> lock,
                   const std::vector<Connection*>* list)
            : lock_(std::move(lock)), list_(list) {}
        std::unique_lock<std::recursive_mutex> lock_;
        const std::vector<Connection*>* list_;
    };
    LockedList lockList();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform::tcp

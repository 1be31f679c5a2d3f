#include "platform/tcp/tcp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <list>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "platform/errors.h"
#include "platform/tcp/server_connection.h"
#include "platform/tcp/socket_io.h"

namespace platform::tcp {

using detail::ServerConnection;
using detail::UniqueFd;

namespace {

// The server whose connection handler runs on this thread, if any.
thread_local const void* tlsHandlerOf = nullptr;

constexpr std::chrono::milliseconds kDefaultSendTimeout{5000};

[[noreturn]] void throwListenError(int port, const std::string& reason) {
    throw Error("Could not listen on port " + std::to_string(port) + ": " + reason);
}

}  // namespace

struct TcpServer::Impl {
    std::atomic<int> port{0};
    std::atomic<std::chrono::milliseconds::rep> sendTimeoutMs{kDefaultSendTimeout.count()};
    std::atomic<int> maxConnections{std::numeric_limits<int>::max()};
    Handler connectHandler, executeHandler, disconnectHandler;
    std::string greeting;

    std::mutex activeMutex;  // one activation or deactivation at a time
    std::atomic<bool> active{false};
    std::atomic<bool> stopping{false};
    UniqueFd listenFd;
    UniqueFd wakeFd;  // eventfd: stop requests and finished connections
    std::thread acceptThread;

    std::recursive_mutex listMutex;
    std::vector<Connection*> open;

    std::mutex threadsMutex;  // guards the two below; never held while joining
    std::list<std::unique_ptr<ServerConnection>> all;
    std::vector<ServerConnection*> finished;

    void start();
    void stop();
    void acceptLoop();
    void acceptOne();
    void runConnection(ServerConnection& c);
    void reapFinished();
    void wake();
    void waitForWake(int ms);
    bool call(const Handler& h, ServerConnection& c);
};

void TcpServer::Impl::start() {
    int wanted = port.load();
    if (wanted < 0 || wanted > 65535)
        throwListenError(wanted, "not a port number");
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.valid())
        throwListenError(wanted, detail::errorText(errno));
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(static_cast<uint16_t>(wanted));
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd.get(), SOMAXCONN) != 0)
        throwListenError(wanted, detail::errorText(errno));
    if (wanted == 0) {
        socklen_t len = sizeof addr;
        if (::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throwListenError(wanted, detail::errorText(errno));
        port = ntohs(addr.sin_port);
    }
    UniqueFd ev(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!ev.valid())
        throwListenError(port, detail::errorText(errno));

    listenFd = std::move(fd);
    wakeFd = std::move(ev);
    stopping = false;
    try {
        acceptThread = std::thread(&Impl::acceptLoop, this);
    } catch (const std::system_error& e) {
        listenFd.reset();
        wakeFd.reset();
        throwListenError(port, e.what());
    }
    active = true;
}

void TcpServer::Impl::stop() {
    stopping = true;
    wake();
    acceptThread.join();
    listenFd.reset();

    {
        std::lock_guard lock(threadsMutex);
        for (auto& c : all)
            c->disconnect();
    }
    // Each thread ends by filing itself as finished, which takes threadsMutex; join unlocked.
    for (;;) {
        std::unique_ptr<ServerConnection> c;
        {
            std::lock_guard lock(threadsMutex);
            if (all.empty())
                break;
            c = std::move(all.front());
            all.pop_front();
        }
        c->thread.join();
    }
    finished.clear();
    wakeFd.reset();
    active = false;
}

void TcpServer::Impl::wake() {
    const std::uint64_t one = 1;
    (void)!::write(wakeFd.get(), &one, sizeof one);
}

void TcpServer::Impl::waitForWake(int ms) {
    pollfd p{wakeFd.get(), POLLIN, 0};
    ::poll(&p, 1, ms);
}

void TcpServer::Impl::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd.get(), POLLIN, 0}, {wakeFd.get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno != EINTR)
                waitForWake(50);
            continue;
        }
        if (fds[1].revents) {
            std::uint64_t count;
            (void)!::read(wakeFd.get(), &count, sizeof count);
            reapFinished();
        }
        if (stopping)
            return;
        if (fds[0].revents & POLLIN)
            acceptOne();
    }
}

void TcpServer::Impl::acceptOne() {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    UniqueFd fd(::accept4(listenFd.get(), reinterpret_cast<sockaddr*>(&addr), &len, SOCK_CLOEXEC));
    if (!fd.valid()) {
        // Out of descriptors or memory: the pending connection stays queued; try again soon
        // instead of spinning on it.
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
            waitForWake(50);
        return;
    }
    detail::setStreamOptions(fd.get());
    char peer[INET_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET, &addr.sin_addr, peer, sizeof peer);

    std::lock_guard lock(threadsMutex);
    if (all.size() - finished.size() >= static_cast<size_t>(maxConnections.load()))
        return;  // closes the socket: the peer sees the connection end at once
    detail::SendLimits limits;
    limits.oldestLineWait = std::chrono::milliseconds(sendTimeoutMs.load());
    all.push_back(std::make_unique<ServerConnection>(std::move(fd), peer, limits));
    ServerConnection& c = *all.back();
    try {
        c.startWriter();
        c.thread = std::thread(&Impl::runConnection, this, std::ref(c));
    } catch (const std::system_error&) {
        all.pop_back();  // closes the socket: the peer sees the connection end at once
    }
}

bool TcpServer::Impl::call(const Handler& h, ServerConnection& c) {
    try {
        if (h)
            h(c);
        return true;
    } catch (...) {
        c.end();
        return false;
    }
}

void TcpServer::Impl::runConnection(ServerConnection& c) {
    tlsHandlerOf = this;
    bool greeted = true;
    {
        std::lock_guard lock(listMutex);
        open.push_back(&c);
        if (!greeting.empty()) {
            try {
                c.writeLine(greeting);
            } catch (const std::exception&) {
                greeted = false;  // the peer is gone already; its disconnect still runs
            }
        }
    }
    static const Handler discardLine = [](Connection& conn) { conn.readLine(); };
    bool alive = greeted && call(connectHandler, c);
    while (alive && c.connected())
        alive = call(executeHandler ? executeHandler : discardLine, c);
    // What is queued still goes out; the leave lines of the disconnect handler no longer
    // reach this connection.
    c.disconnect();
    call(disconnectHandler, c);
    {
        std::lock_guard lock(listMutex);
        open.erase(std::find(open.begin(), open.end(), &c));
    }
    c.joinWriter();
    c.data.reset();
    {
        std::lock_guard lock(threadsMutex);
        finished.push_back(&c);
    }
    wake();  // the accept thread joins this thread and frees the connection
}

void TcpServer::Impl::reapFinished() {
    std::vector<ServerConnection*> done;
    {
        std::lock_guard lock(threadsMutex);
        done.swap(finished);
    }
    for (ServerConnection* c : done) {
        c->thread.join();
        std::unique_ptr<ServerConnection> owned;
        {
            std::lock_guard lock(threadsMutex);
            auto it =
                std::find_if(all.begin(), all.end(), [c](const auto& p) { return p.get() == c; });
            owned = std::move(*it);
            all.erase(it);
        }
    }
}

TcpServer::TcpServer() : impl_(std::make_unique<Impl>()) {}

TcpServer::~TcpServer() {
    if (impl_->active)
        impl_->stop();
}

void TcpServer::setPort(int port) {
    impl_->port = port;
}

int TcpServer::port() const {
    return impl_->port;
}

void TcpServer::setSendTimeout(std::chrono::milliseconds timeout) {
    impl_->sendTimeoutMs = timeout.count();
}

void TcpServer::setMaxConnections(int count) {
    impl_->maxConnections = std::max(count, 0);
}

namespace {
void requireInactive(bool active) {
    if (active)
        throw std::logic_error("TcpServer handlers are set while the server is inactive");
}
}  // namespace

void TcpServer::setGreeting(std::string line) {
    requireInactive(impl_->active);
    impl_->greeting = std::move(line);
}

void TcpServer::onConnect(Handler h) {
    requireInactive(impl_->active);
    impl_->connectHandler = std::move(h);
}

void TcpServer::onExecute(Handler h) {
    requireInactive(impl_->active);
    impl_->executeHandler = std::move(h);
}

void TcpServer::onDisconnect(Handler h) {
    requireInactive(impl_->active);
    impl_->disconnectHandler = std::move(h);
}

void TcpServer::setActive(bool active) {
    // Deactivation joins the connection threads, so a handler would wait for itself.
    if (tlsHandlerOf == impl_.get())
        throw std::logic_error("TcpServer::setActive called from one of its handlers");
    std::lock_guard lock(impl_->activeMutex);
    if (active == impl_->active)
        return;
    if (active)
        impl_->start();
    else
        impl_->stop();
}

bool TcpServer::active() const {
    return impl_->active;
}

TcpServer::LockedList TcpServer::lockList() {
    return LockedList(std::unique_lock(impl_->listMutex), &impl_->open);
}

}  // namespace platform::tcp

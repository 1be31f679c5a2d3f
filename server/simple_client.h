#pragma once

#include <string>
#include <string_view>

#include "platform/tcp/tcp_server.h"

namespace sonhall {

// The name of a connection that has not sent its log-in line yet.
inline constexpr std::string_view kLoggingIn = "Logging In";

// The entry of one connection. Its connection's data slot owns it, from the connect until the
// disconnect handling (or a drop) frees it; TaMain::ClientList only lists it. Touched on the
// user-interface thread only.
class TSimpleClient : public platform::tcp::ConnectionData {
  public:
    explicit TSimpleClient(platform::tcp::Connection& thread) : Thread(&thread) {}

    std::string Name{kLoggingIn};
    platform::tcp::Connection* Thread;
};

// The entry of a connection, or nothing before the connect and after a drop.
inline TSimpleClient* EntryOf(platform::tcp::Connection& connection) {
    return static_cast<TSimpleClient*>(connection.data.get());
}

}  // namespace sonhall

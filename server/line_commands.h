#pragma once

#include <string_view>

#include "platform/tcp/tcp_server.h"
#include "server/server_forms.h"

namespace sonhall {

class TaMain;
class TSimpleClient;

// What one line's handling works on. The client entry is freed when the handling drops the
// connection ("#LOGoff", "#LOGmax"); nothing may use it after that.
struct LineContext {
    TaMain& main;
    ServerForms& forms;
    platform::tcp::Connection& connection;
    TSimpleClient& client;
};

// One line from a connection that has an entry: the log-in line while the entry is still
// logging in, else a "#" command, an "@" query or chat. User-interface thread only; an error
// (a reply that cannot be sent, a "#VOL" that is not a number) is raised to end the connection.
void HandleClientLine(const LineContext& ctx, std::string_view line);

}  // namespace sonhall

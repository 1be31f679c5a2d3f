// Connection handling. The three connection events run on the connection's own thread; each
// hands its work to the user-interface thread through Dispatcher and waits for it, so all
// server state is touched on that thread only and one connection's lines keep their order.
#include "common/text_helpers.h"
#include "server/main_window.h"

namespace sonhall {

void TaMain::IdTCPServer1Connect(platform::tcp::Connection&) {}

void TaMain::IdTCPServer1Execute(platform::tcp::Connection& connection) {
    const std::string line = connection.readLine();
    Dispatcher.call([&] { HandleLine(connection, line); });
}

void TaMain::IdTCPServer1Disconnect(platform::tcp::Connection&) {}

void TaMain::HandleLine(platform::tcp::Connection&, const std::string&) {}

void TaMain::Broadcast(std::string_view sender, std::string_view text) {
    std::string msg = kv::Trim(text);
    if (sender != "System")
        msg = std::string(sender) + ": " + msg;
    const auto list = IdTCPServer1.lockList();
    for (platform::tcp::Connection* c : list.connections()) {
        try {
            c->writeLine(msg);
        } catch (const std::exception&) {
            // That connection ends; the others still get the line.
            c->disconnect();
        }
    }
}

}  // namespace sonhall

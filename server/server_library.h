#pragma once

#include <cstdint>
#include <string>

// The server's own library routines: uptime and the address it is reached at.
namespace sonhall {

// "d Days h Hours m Minutes s Seconds" for the milliseconds from startTick to now; the
// difference is taken modulo 2^32, so a wrap of the tick counter still gives the right text.
std::string UptimeText(std::uint32_t startTick, std::uint32_t now);

// The first IPv4 address of the machine's network interfaces that is not a loopback address,
// in dotted decimal; "127.0.0.1" when there is none.
std::string GetLocalIpAddress();

}  // namespace sonhall

#include "server/server_library.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace sonhall {

std::string UptimeText(std::uint32_t startTick, std::uint32_t now) {
    std::uint32_t rest = now - startTick;
    const std::uint32_t days = rest / 86400000u;
    rest -= days * 86400000u;
    const std::uint32_t hours = rest / 3600000u;
    rest -= hours * 3600000u;
    const std::uint32_t minutes = rest / 60000u;
    rest -= minutes * 60000u;
    const std::uint32_t seconds = rest / 1000u;
    return std::to_string(days) + " Days " + std::to_string(hours) + " Hours " +
           std::to_string(minutes) + " Minutes " + std::to_string(seconds) + " Seconds";
}

std::string GetLocalIpAddress() {
    std::string found = "127.0.0.1";
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return found;
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET)
            continue;
        if (i->ifa_flags & IFF_LOOPBACK)
            continue;
        const in_addr addr = reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr;
        if ((ntohl(addr.s_addr) >> 24) == 127)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &addr, text, sizeof text)) {
            found = text;
            break;
        }
    }
    ::freeifaddrs(list);
    return found;
}

}  // namespace sonhall

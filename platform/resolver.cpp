#include "platform/resolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>
#include <string>

namespace {

struct AddressListFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

}  // namespace

int32_t HostIp(const Text& name, int32_t index) {
    if (index < 0) return 0;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One socket type, so that every address is listed once and not once per type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(Latin1Bytes(name).c_str(), nullptr, &hints, &found) != 0) return 0;
    const std::unique_ptr<addrinfo, AddressListFree> list(found);
    int32_t position = 0;
    for (const addrinfo* entry = list.get(); entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addr == nullptr) continue;
        if (position++ != index) continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        return static_cast<int32_t>(ntohl(address->sin_addr.s_addr));
    }
    return 0;
}

Text HostName(int32_t ip) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(static_cast<uint32_t>(ip));
    char host[NI_MAXHOST];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host, sizeof host,
                    nullptr, 0, NI_NAMEREQD) != 0) {
        return {};
    }
    return Latin1Text(host);
}

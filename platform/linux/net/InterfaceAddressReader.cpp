#include "platform/linux/net/InterfaceAddressReader.h"

#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

QString numericText(const sockaddr* address, socklen_t length) {
    char host[NI_MAXHOST];
    if (::getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) {
        return {};
    }
    return QString::fromLatin1(host);
}

}  // namespace

QVector<InterfaceAddress> InterfaceAddressReader::readAddresses() {
    QVector<InterfaceAddress> addresses;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return addresses;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_name == nullptr) {
            continue;
        }
        const int family = entry->ifa_addr->sa_family;
        if (family == AF_INET) {
            addresses.append({QString::fromUtf8(entry->ifa_name), InterfaceAddress::Family::ipv4,
                              numericText(entry->ifa_addr, sizeof(sockaddr_in))});
        } else if (family == AF_INET6) {
            addresses.append({QString::fromUtf8(entry->ifa_name), InterfaceAddress::Family::ipv6,
                              numericText(entry->ifa_addr, sizeof(sockaddr_in6))});
        }
    }
    ::freeifaddrs(list);
    return addresses;
}

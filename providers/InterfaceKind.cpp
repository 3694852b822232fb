#include "providers/InterfaceKind.h"

#include <algorithm>
#include <array>

namespace {

constexpr int linkEthernet = 1;    // ARPHRD_ETHER
constexpr int linkLoopback = 772;  // ARPHRD_LOOPBACK
constexpr std::array tunnelLinkTypes = {
    512,  // ARPHRD_PPP
    768,  // ARPHRD_TUNNEL (ipip)
    769,  // ARPHRD_TUNNEL6
    776,  // ARPHRD_SIT
    778,  // ARPHRD_IPGRE
    823,  // ARPHRD_IP6GRE
};

bool isTunnel(const InterfaceTraits& traits) {
    return traits.hasTunFlags || traits.deviceType == QLatin1String("wireguard") ||
           std::find(tunnelLinkTypes.begin(), tunnelLinkTypes.end(), traits.linkType) !=
               tunnelLinkTypes.end();
}

bool isWireless(const InterfaceTraits& traits) {
    return traits.hasWirelessInfo || traits.deviceType == QLatin1String("wlan");
}

}  // namespace

bool isDeviceBacked(const InterfaceTraits& traits) {
    return traits.hasDevice;
}

bool isLoopback(const InterfaceTraits& traits) {
    return traits.linkType == linkLoopback;
}

QString interfaceKind(const InterfaceTraits& traits) {
    if (isWireless(traits)) {
        return QStringLiteral("Wi-Fi");
    }
    if (isTunnel(traits)) {
        return QStringLiteral("VPN");
    }
    if (isLoopback(traits)) {
        return QStringLiteral("Loopback");
    }
    if (traits.linkType == linkEthernet && traits.hasDevice) {
        return QStringLiteral("Ethernet");
    }
    return QStringLiteral("Other");
}

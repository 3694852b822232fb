#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>

// The raw network facts the network provider works from, and the sources that read them.
// Each source reports failure as an empty value, never as an exception.

// The kernel's 64-bit byte counters of one interface.
struct InterfaceCounters {
    QString name;
    std::uint64_t bytesIn = 0;
    std::uint64_t bytesOut = 0;
    bool operator==(const InterfaceCounters&) const = default;
};

// What the kernel says about an interface's hardware and link, enough to tell a physical
// adapter from a virtual one and to name its kind.
struct InterfaceTraits {
    int linkType = -1;             // ARPHRD_* value of `type`; -1 when unreadable
    QString deviceType;            // DEVTYPE of `uevent` ("wlan", "bridge", "wireguard", ...)
    bool hasDevice = false;        // backed by a bus device: a real adapter
    bool hasWirelessInfo = false;  // `phy80211` or `wireless` present
    bool hasTunFlags = false;      // a tun/tap device
    bool operator==(const InterfaceTraits&) const = default;
};

// One address of one interface, in the order the system lists them.
struct InterfaceAddress {
    enum class Family { ipv4, ipv6 };
    QString interfaceName;
    Family family = Family::ipv4;
    QString text;  // numeric text; empty when it could not be formatted
    bool operator==(const InterfaceAddress&) const = default;
};

// The interfaces that carry the default routes; empty when there is none.
struct DefaultRoutes {
    QString ipv4Interface;
    QString ipv6Interface;
    bool operator==(const DefaultRoutes&) const = default;
};

class InterfaceCounterSource {
public:
    virtual ~InterfaceCounterSource() = default;
    virtual QVector<InterfaceCounters> readCounters() = 0;
};

class InterfaceTraitsSource {
public:
    virtual ~InterfaceTraitsSource() = default;
    virtual InterfaceTraits readTraits(const QString& interfaceName) = 0;
};

class DefaultRouteSource {
public:
    virtual ~DefaultRouteSource() = default;
    virtual DefaultRoutes readDefaultRoutes() = 0;
};

class InterfaceAddressSource {
public:
    virtual ~InterfaceAddressSource() = default;
    virtual QVector<InterfaceAddress> readAddresses() = 0;
};

// The network name a wireless interface is associated with, as the raw bytes of the air
// (up to 32, not necessarily text); empty when not associated or not wireless.
class WifiSsidSource {
public:
    virtual ~WifiSsidSource() = default;
    virtual QByteArray readSsid(const QString& interfaceName) = 0;
};

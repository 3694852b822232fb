#include "platform/linux/net/DefaultRouteReader.h"
#include "platform/linux/net/InterfaceAddressReader.h"
#include "platform/linux/net/InterfaceClassReader.h"
#include "platform/linux/net/NetDevReader.h"
#include "providers/InterfaceKind.h"

#include <arpa/inet.h>
#include <net/if.h>

#include <gtest/gtest.h>

namespace {

std::string fixture(const char* name) {
    return std::string(VANTREL_FIXTURES_DIR "/network/") + name;
}

// ---- /proc/net/dev ----

TEST(NetDevReader, ReadsEveryInterfaceWithSixtyFourBitCounters) {
    struct Row {
        const char* directory;
        QVector<InterfaceCounters> expected;
    };
    const Row rows[] = {
        {"wifi-plus-ethernet",
         {{"lo", 91234, 91234}, {"enp0s31f6", 1200000, 340000}, {"wlan0", 987654321, 123456789}}},
        {"counters-beyond-4gib",
         {{"lo", 12884901888, 12884901888},
          {"eth0", 5368721465, 4294967297},
          {"wlan0", 1099511627776, 2199023255552}}},
    };
    for (const Row& row : rows) {
        NetDevReader reader(fixture(row.directory));
        EXPECT_EQ(reader.readCounters(), row.expected) << row.directory;
        EXPECT_EQ(reader.readCounters(), row.expected) << row.directory << ", read again";
    }
    EXPECT_TRUE(NetDevReader("/nonexistent-root").readCounters().isEmpty());
}

TEST(NetDevReader, ParsesOddLinesAndSkipsBrokenOnes) {
    const std::string_view text =
        "Inter-|   Receive                                                |  Transmit\n"
        " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets "
        "errs drop fifo colls carrier compressed\n"
        "  eth0:12345678901      10    0    0    0     0          0         0   777       5    "
        "0    0    0     0       0          0\n"
        " short: 1 2 3\n"
        "  bad0: 1 2 3 4 5 6 7 8 x 10 11 12 13 14 15 16\n"
        "neg0: -1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
        "    : 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
        "wlp2s0: 18446744073709551615 0 0 0 0 0 0 0 42 0 0 0 0 0 0 0";  // no final newline
    const QVector<InterfaceCounters> expected = {{"eth0", 12345678901, 777},
                                                 {"wlp2s0", 18446744073709551615ull, 42}};
    EXPECT_EQ(parseNetDev(text), expected);
    EXPECT_TRUE(parseNetDev("").isEmpty());
}

// ---- default routes ----

TEST(DefaultRouteReader, FindsTheLowestMetricDefaultOfEachFamily) {
    struct Row {
        const char* directory;
        DefaultRoutes expected;
    };
    const Row rows[] = {
        {"wifi-plus-ethernet", {"wlan0", "wlan0"}},
        {"vpn-up", {"tun0", ""}},
        {"no-default-route", {"", ""}},
        {"ipv6-only", {"", "eth0"}},
    };
    for (const Row& row : rows) {
        DefaultRouteReader reader(fixture(row.directory));
        EXPECT_EQ(reader.readDefaultRoutes(), row.expected) << row.directory;
        EXPECT_EQ(reader.readDefaultRoutes(), row.expected) << row.directory << ", read again";
    }
    EXPECT_EQ(DefaultRouteReader("/nonexistent-root").readDefaultRoutes(), DefaultRoutes{});
}

TEST(DefaultRouteReader, IgnoresRoutesThatAreNotUsableDefaults) {
    // Down (flags 0), a /0 destination with a mask, then a tie decided by list order.
    const std::string_view ipv4 =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "down0\t00000000\t0101A8C0\t0000\t0\t0\t0\t00000000\t0\t0\t0\n"
        "half0\t00000000\t0101A8C0\t0003\t0\t0\t0\t00000080\t0\t0\t0\n"
        "first0\t00000000\t0101A8C0\t0003\t0\t0\t10\t00000000\t0\t0\t0\n"
        "second0\t00000000\t0101A8C0\t0003\t0\t0\t10\t00000000\t0\t0\t0\n"
        "junk\n";
    EXPECT_EQ(parseIPv4DefaultRoute(ipv4), QStringLiteral("first0"));

    // The reject route on lo, a source-less default on a down route, then the real one.
    const std::string_view ipv6 =
        "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
        "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200       lo\n"
        "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
        "fe800000000000000000000000000001 00000010 00000001 00000000 00000000    down0\n"
        "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
        "fe800000000000000000000000000001 00000400 00000001 00000000 00450003     eth0\n";
    EXPECT_EQ(parseIPv6DefaultRoute(ipv6), QStringLiteral("eth0"));
    EXPECT_EQ(parseIPv6DefaultRoute(""), QString());
}

// ---- sysfs classification ----

TEST(InterfaceClassReader, ReadsTraitsAndKindFromSysfs) {
    struct Row {
        const char* directory;
        const char* interface;
        InterfaceTraits expected;
        const char* kind;
    };
    const Row rows[] = {
        {"wifi-plus-ethernet", "wlan0", {1, "wlan", true, true, false}, "Wi-Fi"},
        {"wifi-plus-ethernet", "enp0s31f6", {1, "", true, false, false}, "Ethernet"},
        {"vpn-up", "tun0", {65534, "", false, false, true}, "VPN"},
        {"vpn-up", "wg0", {65534, "wireguard", false, false, false}, "VPN"},
        {"docker-and-bridges", "docker0", {1, "bridge", false, false, false}, "Other"},
        {"docker-and-bridges", "veth5d2c8e1", {1, "", false, false, false}, "Other"},
        {"docker-and-bridges", "missing0", {}, "Other"},
        {"docker-and-bridges", "../../../../proc", {}, "Other"},
        {"docker-and-bridges", "..", {}, "Other"},
    };
    for (const Row& row : rows) {
        const InterfaceTraits traits = InterfaceClassReader(fixture(row.directory))
                                           .readTraits(QString::fromUtf8(row.interface));
        EXPECT_EQ(traits, row.expected) << row.directory << " " << row.interface;
        EXPECT_EQ(interfaceKind(traits), QString::fromLatin1(row.kind)) << row.interface;
    }
}

// ---- getifaddrs on this machine ----

TEST(InterfaceAddressReader, ListsNumericAddressesOfExistingInterfaces) {
    const QVector<InterfaceAddress> addresses = InterfaceAddressReader().readAddresses();
    ASSERT_FALSE(addresses.isEmpty());
    bool loopbackSeen = false;
    for (const InterfaceAddress& address : addresses) {
        EXPECT_NE(if_nametoindex(address.interfaceName.toUtf8().constData()), 0u)
            << address.interfaceName.toStdString();
        const QByteArray text = address.text.section(QLatin1Char('%'), 0, 0).toLatin1();
        unsigned char parsed[16];
        const int family = address.family == InterfaceAddress::Family::ipv4 ? AF_INET : AF_INET6;
        EXPECT_EQ(inet_pton(family, text.constData(), parsed), 1) << address.text.toStdString();
        loopbackSeen = loopbackSeen || address.text == QLatin1String("127.0.0.1");
    }
    EXPECT_TRUE(loopbackSeen);
}

}  // namespace

#include "platform/linux/LinuxProviders.h"
#include "providers/InterfaceKind.h"
#include "providers/NetworkProvider.h"
#include "providers/WifiName.h"
#include "support/FakeClock.h"
#include "support/FakeNetworkSources.h"

#include "platform/linux/net/DefaultRouteReader.h"
#include "platform/linux/net/InterfaceAddressReader.h"
#include "platform/linux/net/InterfaceClassReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr double gib = 1024.0 * 1024.0 * 1024.0;

// A provider over fakes: one Ethernet adapter eth0 carrying the default route.
struct ProviderHarness {
    FakeClock clock;
    FakeNetwork fake;
    std::unique_ptr<NetworkProvider> provider;

    ProviderHarness() {
        fake.traits->byName = {{"eth0", ethernetTraits()},
                               {"wlan0", wifiTraits()},
                               {"lo", loopbackTraits()},
                               {"docker0", bridgeTraits()},
                               {"wg0", wireguardTraits()}};
        fake.routes->value = {"eth0", {}};
        fake.addresses->value = {ipv4("eth0", "192.0.2.2")};
        provider = std::make_unique<NetworkProvider>(clock, fake.sources());
    }

    NetworkStats sampleWith(std::uint64_t bytesIn, std::uint64_t bytesOut) {
        fake.counters->value = {{"eth0", bytesIn, bytesOut}};
        return provider->sample();
    }
};

// ---- speeds and peaks ----

struct RateStep {
    double secondsBefore;
    std::uint64_t bytesIn;
    std::uint64_t bytesOut;
    double download;
    double upload;
    double peakDownload;
    double peakUpload;
};

struct RateCase {
    const char* name;
    friend void PrintTo(const RateCase& row, std::ostream* out) { *out << row.name; }
    std::vector<RateStep> steps;
};

class NetworkRates : public ::testing::TestWithParam<RateCase> {};

TEST_P(NetworkRates, FollowTheCounterRules) {
    ProviderHarness harness;
    int index = 0;
    for (const RateStep& step : GetParam().steps) {
        harness.clock.advance(std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::duration<double>(step.secondsBefore)));
        const NetworkStats stats = harness.sampleWith(step.bytesIn, step.bytesOut);
        SCOPED_TRACE(testing::Message() << "step " << index++);
        EXPECT_DOUBLE_EQ(stats.downloadSpeed, step.download);
        EXPECT_DOUBLE_EQ(stats.uploadSpeed, step.upload);
        EXPECT_DOUBLE_EQ(stats.peakDownload, step.peakDownload);
        EXPECT_DOUBLE_EQ(stats.peakUpload, step.peakUpload);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, NetworkRates,
    ::testing::Values(RateCase{"FirstCallIsZero", {{2, 5'000'000, 1'000'000, 0, 0, 0, 0}}},
                      RateCase{"SteadyTraffic",
                               {{1, 1000, 500, 0, 0, 0, 0},
                                {2, 3000, 1500, 1000, 500, 1000, 500},
                                {2, 4000, 1600, 500, 50, 1000, 500}}},
                      RateCase{"DroppedDownloadCounterGivesZeroThenMeasuresFromNewTotal",
                               {{1, 10'000, 1000, 0, 0, 0, 0},
                                {1, 2000, 1500, 0, 500, 0, 500},
                                {1, 2600, 1600, 600, 100, 600, 500}}},
                      RateCase{"DroppedUploadCounterAffectsOnlyUpload",
                               {{1, 1000, 9000, 0, 0, 0, 0}, {1, 1400, 100, 400, 0, 400, 0}}},
                      RateCase{"NoTimeElapsedIsZero",
                               {{1, 1000, 1000, 0, 0, 0, 0},
                                {0, 9000, 9000, 0, 0, 0, 0},
                                {2, 11'000, 10'000, 1000, 500, 1000, 500}}},
                      RateCase{"ZeroTotalsLikeAFailedReadGiveZeroTwice",
                               {{1, 1000, 1000, 0, 0, 0, 0},
                                {1, 0, 0, 0, 0, 0, 0},
                                {1, 5000, 5000, 0, 0, 0, 0},
                                {1, 6000, 5500, 1000, 500, 1000, 500}}},
                      RateCase{"PeaksStayAfterTrafficFalls",
                               {{1, 1000, 1000, 0, 0, 0, 0},
                                {1, 101'000, 21'000, 100'000, 20'000, 100'000, 20'000},
                                {1, 102'000, 22'000, 1000, 1000, 100'000, 20'000}}},
                      RateCase{
                          "CountersBeyondFourGiB",
                          {{1, 5 * 1024ull * 1024 * 1024, 4ull * 1024 * 1024 * 1024, 0, 0, 0, 0},
                           {1, 7 * 1024ull * 1024 * 1024, 5ull * 1024 * 1024 * 1024, 2 * gib, gib,
                            2 * gib, gib}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NetworkCounting, SumsOnlyPhysicalAdapters) {
    ProviderHarness harness;
    auto counters = [](std::uint64_t scale) {
        return QVector<InterfaceCounters>{{"lo", 1000 * scale, 1000 * scale},
                                          {"eth0", 100 * scale, 10 * scale},
                                          {"docker0", 7000 * scale, 7000 * scale},
                                          {"wlan0", 50 * scale, 5 * scale},
                                          {"wg0", 3000 * scale, 3000 * scale}};
    };
    harness.fake.counters->value = counters(1);
    harness.provider->sample();
    harness.clock.advance(1s);
    harness.fake.counters->value = counters(3);
    const NetworkStats stats = harness.provider->sample();
    EXPECT_DOUBLE_EQ(stats.downloadSpeed, 2 * 150);
    EXPECT_DOUBLE_EQ(stats.uploadSpeed, 2 * 15);
}

TEST(NetworkCounting, ClassifiesInterfacesAgainOnlyWhenTheSetChanges) {
    ProviderHarness harness;
    harness.fake.addresses->value = {};
    harness.fake.routes->value = {};
    harness.fake.counters->value = {{"eth0", 1, 1}, {"lo", 1, 1}};
    harness.provider->sample();
    harness.provider->sample();
    EXPECT_EQ(harness.fake.traits->reads, 2);

    harness.fake.counters->value = {{"eth0", 1, 1}, {"lo", 1, 1}, {"wlan0", 1, 1}};
    harness.provider->sample();
    EXPECT_EQ(harness.fake.traits->reads, 5);
    harness.provider->sample();
    EXPECT_EQ(harness.fake.traits->reads, 5);
}

// ---- primary interface, kind and addresses ----

struct PrimaryCase {
    const char* name;
    friend void PrintTo(const PrimaryCase& row, std::ostream* out) { *out << row.name; }
    DefaultRoutes routes;
    QVector<InterfaceAddress> addresses;
    QString interfaceName;
    QString kind;
    QString localIP;
    QString ipv6;
};

class NetworkPrimary : public ::testing::TestWithParam<PrimaryCase> {};

TEST_P(NetworkPrimary, IsChosenAndDescribed) {
    ProviderHarness harness;
    harness.fake.traits->byName.insert("tun0", tunTraits());
    harness.fake.traits->byName.insert("veth1", {1, {}, false, false, false});
    harness.fake.routes->value = GetParam().routes;
    harness.fake.addresses->value = GetParam().addresses;
    const NetworkStats stats = harness.sampleWith(1, 1);
    EXPECT_EQ(stats.interfaceName, GetParam().interfaceName);
    EXPECT_EQ(stats.interfaceType, GetParam().kind);
    EXPECT_EQ(stats.localIP, GetParam().localIP);
    EXPECT_EQ(stats.ipv6, GetParam().ipv6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NetworkPrimary,
    ::testing::Values(
        PrimaryCase{
            "DefaultRouteWinsOverListOrder",
            {"wlan0", {}},
            {ipv4("eth0", "10.0.0.5"), ipv4("wlan0", "192.168.1.7"), ipv6("wlan0", "2001:db8::7")},
            "wlan0",
            "Wi-Fi",
            "192.168.1.7",
            "2001:db8::7"},
        PrimaryCase{"IPv6DefaultRouteWhenNoIPv4One",
                    {{}, "eth0"},
                    {ipv6("eth0", "fe80::1%eth0"), ipv6("eth0", "2001:db8:5::2")},
                    "eth0",
                    "Ethernet",
                    "",
                    "2001:db8:5::2"},
        PrimaryCase{"IPv4RouteBeatsIPv6Route",
                    {"tun0", "eth0"},
                    {ipv4("eth0", "10.0.0.5"), ipv4("tun0", "10.8.0.2")},
                    "tun0",
                    "VPN",
                    "10.8.0.2",
                    ""},
        PrimaryCase{"WireguardRouteIsVPN",
                    {"wg0", {}},
                    {ipv4("wg0", "10.66.0.2")},
                    "wg0",
                    "VPN",
                    "10.66.0.2",
                    ""},
        PrimaryCase{"NoRouteTakesFirstAdapterWithIPv4",
                    {},
                    {ipv4("lo", "127.0.0.1"), ipv4("docker0", "172.17.0.1"),
                     ipv4("eth0", "192.0.2.9"), ipv4("wlan0", "192.168.1.7")},
                    "eth0",
                    "Ethernet",
                    "192.0.2.9",
                    ""},
        PrimaryCase{"NoRouteNoAdapterTakesFirstNonLoopback",
                    {},
                    {ipv4("lo", "127.0.0.1"), ipv6("veth1", "2001:db8::1"),
                     ipv4("docker0", "172.17.0.1"), ipv4("veth1", "169.254.3.3")},
                    "docker0",
                    "Other",
                    "172.17.0.1",
                    ""},
        PrimaryCase{"NothingButLoopback",
                    {},
                    {ipv4("lo", "127.0.0.1"), ipv6("lo", "::1")},
                    "",
                    "Other",
                    "",
                    ""},
        PrimaryCase{"NoAddressesAtAll", {}, {}, "", "Other", "", ""},
        PrimaryCase{"LinkLocalIPv6NeverReported",
                    {"eth0", {}},
                    {ipv6("eth0", "fe80::1%eth0"), ipv6("eth0", "FE80::2%eth0"),
                     ipv6("eth0", "febf::3%eth0"), ipv4("eth0", "192.0.2.2")},
                    "eth0",
                    "Ethernet",
                    "192.0.2.2",
                    ""},
        PrimaryCase{
            "FirstGlobalIPv6OfThePrimaryOnly",
            {"eth0", {}},
            {ipv6("wlan0", "2001:db8::99"), ipv6("eth0", "fe80::1%eth0"), ipv4("eth0", "192.0.2.2"),
             ipv6("eth0", "fd00::2"), ipv6("eth0", "2001:db8::2")},
            "eth0",
            "Ethernet",
            "192.0.2.2",
            "fd00::2"},
        PrimaryCase{"UnformattableAddressIsSkipped",
                    {"eth0", {}},
                    {ipv4("eth0", ""), ipv4("eth0", "192.0.2.3")},
                    "eth0",
                    "Ethernet",
                    "192.0.2.3",
                    ""},
        PrimaryCase{
            "RouteThroughUnknownInterfaceIsOther", {"ppp9", {}}, {}, "ppp9", "Other", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InterfaceKindRule, NamesEveryKind) {
    struct Row {
        InterfaceTraits traits;
        const char* kind;
        bool deviceBacked;
    };
    const Row rows[] = {
        {ethernetTraits(), "Ethernet", true},
        {wifiTraits(), "Wi-Fi", true},
        {{1, {}, true, true, false}, "Wi-Fi", true},                         // phy80211 only
        {{1, QStringLiteral("wlan"), false, false, false}, "Wi-Fi", false},  // DEVTYPE only
        {tunTraits(), "VPN", false},
        {{1, {}, false, false, true}, "VPN", false},  // tap
        {wireguardTraits(), "VPN", false},
        {{512, {}, false, false, false}, "VPN", false},  // ppp
        {{768, {}, false, false, false}, "VPN", false},  // ipip
        {{778, {}, false, false, false}, "VPN", false},  // gre
        {{823, {}, false, false, false}, "VPN", false},  // ip6gre
        {loopbackTraits(), "Loopback", false},
        {bridgeTraits(), "Other", false},
        {{1, QStringLiteral("vlan"), false, false, false}, "Other", false},
        {{1, {}, false, false, false}, "Other", false},  // veth, ifb
        {{32, {}, true, false, false}, "Other", true},   // InfiniBand adapter
        {{}, "Other", false},                            // nothing readable
    };
    for (const Row& row : rows) {
        EXPECT_EQ(interfaceKind(row.traits), QString::fromLatin1(row.kind))
            << row.traits.linkType << " " << row.traits.deviceType.toStdString();
        EXPECT_EQ(isDeviceBacked(row.traits), row.deviceBacked) << row.kind;
    }
}

TEST(LinkLocalIPv6, CoversTheWholePrefix) {
    for (const char* text :
         {"fe80::1", "fe80::1%eth0", "FE80::1", "fe9a::1", "feab::1", "febf::1"}) {
        EXPECT_TRUE(isLinkLocalIPv6Text(QString::fromLatin1(text))) << text;
    }
    for (const char* text : {"fec0::1", "fd00::2", "2001:db8::1", "::1", "fe8", ""}) {
        EXPECT_FALSE(isLinkLocalIPv6Text(QString::fromLatin1(text))) << text;
    }
}

// ---- Wi-Fi name ----

TEST(NetworkWifiName, AskedOnlyForAWirelessPrimaryAndShownSafely) {
    ProviderHarness harness;
    harness.fake.wifi->ssid = QByteArray("Caf\xc3\xa9\x00\x00", 7);
    EXPECT_EQ(harness.sampleWith(1, 1).wifiName, QString());
    EXPECT_TRUE(harness.fake.wifi->askedFor.isEmpty());

    harness.fake.routes->value = {"wlan0", {}};
    const NetworkStats stats = harness.sampleWith(1, 1);
    EXPECT_EQ(stats.wifiName, QStringLiteral("Café"));
    EXPECT_EQ(harness.fake.wifi->askedFor, QStringList{"wlan0"});
}

TEST(WifiNameText, ShowsRawSsidBytesSafely) {
    struct Row {
        QByteArray ssid;
        QString shown;
    };
    const Row rows[] = {
        {"HomeNet", "HomeNet"},
        {"", ""},
        {"Caf\xc3\xa9 \xe2\x98\x95", QStringLiteral("Café ☕")},
        {"Bad\xff\xfeName", QStringLiteral("Bad\uFFFD\uFFFDName")},
        {QByteArray("a\x00\x01"
                    "b\x1b[31mc\x7f\n",
                    12),
         "ab[31mc"},
        {"\xc2\x85x\xc2\x9f", "x"},                  // C1 controls
        {"evil\xe2\x80\xaegnp.exe", "evilgnp.exe"},  // right-to-left override
        {"\xe2\x81\xa6iso\xe2\x81\xa9", "iso"},      // isolates
        {QByteArray(40, 'x'), QString(32, u'x')},    // longer than the air allows
        {QByteArray(31, 'x') + "\xc3\xa9", QString(31, u'x') + QChar(0xFFFD)},  // cut mid-character
        {"  spaced  ", "  spaced  "},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(wifiNameFromSsid(row.ssid), row.shown) << row.ssid.toHex().toStdString();
    }
}

// ---- public address ----

TEST(NetworkPublicAddress, FetchesAtOnceThenAtMostEveryFiveMinutes) {
    ProviderHarness harness;
    auto& fetcher = *harness.fake.fetcher;
    EXPECT_EQ(harness.sampleWith(1, 1).publicIP, QString());
    ASSERT_EQ(fetcher.starts, 1);

    harness.clock.advance(2s);
    fetcher.finishOldest(QStringLiteral("203.0.113.7"));
    EXPECT_EQ(harness.sampleWith(1, 1).publicIP, QStringLiteral("203.0.113.7"));

    // The interval counts from the start of the fetch, and only more than 300 s will do.
    harness.clock.advance(298s);
    harness.sampleWith(1, 1);
    EXPECT_EQ(fetcher.starts, 1);
    harness.clock.advance(1ns);
    harness.sampleWith(1, 1);
    EXPECT_EQ(fetcher.starts, 2);
}

TEST(NetworkPublicAddress, NeverTwoInFlight) {
    ProviderHarness harness;
    auto& fetcher = *harness.fake.fetcher;
    harness.sampleWith(1, 1);
    for (int minute = 0; minute < 20; ++minute) {
        harness.clock.advance(60s);
        harness.sampleWith(1, 1);
    }
    EXPECT_EQ(fetcher.starts, 1);

    fetcher.finishOldest(QStringLiteral("198.51.100.4"));
    EXPECT_EQ(harness.sampleWith(1, 1).publicIP, QStringLiteral("198.51.100.4"));
    EXPECT_EQ(fetcher.starts, 2);  // long overdue, so the next poll starts one
}

TEST(NetworkPublicAddress, FailureKeepsTheOldValueAndWaitsTheFullInterval) {
    ProviderHarness harness;
    auto& fetcher = *harness.fake.fetcher;
    harness.sampleWith(1, 1);
    fetcher.finishOldest(QStringLiteral("203.0.113.7"));

    harness.clock.advance(301s);
    harness.sampleWith(1, 1);
    ASSERT_EQ(fetcher.starts, 2);
    fetcher.finishOldest(std::nullopt);
    EXPECT_EQ(harness.sampleWith(1, 1).publicIP, QStringLiteral("203.0.113.7"));

    harness.clock.advance(300s);
    harness.sampleWith(1, 1);
    EXPECT_EQ(fetcher.starts, 2);
    harness.clock.advance(1s);
    harness.sampleWith(1, 1);
    EXPECT_EQ(fetcher.starts, 3);
}

TEST(NetworkPublicAddress, AnswerDuringStartIsKept) {
    ProviderHarness harness;
    harness.fake.fetcher->answerAtOnce = QStringLiteral("192.0.2.200");
    EXPECT_EQ(harness.sampleWith(1, 1).publicIP, QStringLiteral("192.0.2.200"));
    harness.clock.advance(301s);
    harness.sampleWith(1, 1);
    EXPECT_EQ(harness.fake.fetcher->starts, 2);  // the finished fetch is no longer in flight
}

TEST(NetworkPublicAddress, AnswerAfterTheProviderIsGoneLandsNowhere) {
    FakeClock clock;
    FakeNetwork fake;
    // The completion outlives the fake fetcher, as a queued reply can outlive its provider.
    struct KeepCompletion final : PublicAddressFetcher {
        std::shared_ptr<Completion> kept;
        void start(Completion done) override { *kept = std::move(done); }
    };
    auto kept = std::make_shared<PublicAddressFetcher::Completion>();
    NetworkSources sources = fake.sources();
    auto* keeper = new KeepCompletion;
    keeper->kept = kept;
    sources.publicAddress.reset(keeper);

    auto provider = std::make_unique<NetworkProvider>(clock, std::move(sources));
    provider->sample();
    ASSERT_TRUE(*kept);
    provider.reset();
    (*kept)(QStringLiteral("203.0.113.7"));
    SUCCEED() << "a late answer after destruction touched nothing";
}

// ---- fixture trees through the real readers ----

struct FixtureCase {
    const char* directory;
    friend void PrintTo(const FixtureCase& row, std::ostream* out) { *out << row.directory; }
    QVector<InterfaceAddress> addresses;
    QString interfaceName;
    QString kind;
};

class NetworkOnFixtures : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(NetworkOnFixtures, PrimaryAndKind) {
    FakeClock clock;
    NetworkSources sources = makeLinuxNetworkSources(std::string(VANTREL_FIXTURES_DIR "/network/") +
                                                     GetParam().directory);
    auto* addresses = new FakeNetwork::Addresses;
    addresses->value = GetParam().addresses;
    sources.addresses.reset(addresses);
    sources.wifi = std::make_unique<FakeNetwork::Wifi>();
    sources.publicAddress = std::make_unique<FakeNetwork::Fetcher>();
    NetworkProvider provider(clock, std::move(sources));

    const NetworkStats stats = provider.sample();
    EXPECT_EQ(stats.interfaceName, GetParam().interfaceName);
    EXPECT_EQ(stats.interfaceType, GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, NetworkOnFixtures,
    ::testing::Values(FixtureCase{"wifi-plus-ethernet", {}, "wlan0", "Wi-Fi"},
                      FixtureCase{"vpn-up", {}, "tun0", "VPN"},
                      FixtureCase{"no-default-route",
                                  {ipv4("lo", "127.0.0.1"), ipv4("wlan0", "192.168.50.9"),
                                   ipv4("eth0", "192.168.50.2")},
                                  "wlan0",
                                  "Wi-Fi"},
                      FixtureCase{"ipv6-only", {}, "eth0", "Ethernet"},
                      FixtureCase{"docker-and-bridges", {}, "eth0", "Ethernet"},
                      FixtureCase{"counters-beyond-4gib", {}, "eth0", "Ethernet"}),
    [](const auto& info) {
        std::string name = info.param.directory;
        for (char& c : name) {
            if (c == '-') {
                c = '_';
            }
        }
        return name;
    });

// ---- this machine ----

TEST(NetworkLive, ReportsTheDefaultRouteInterfaceAsTheReadersSeeIt) {
    const DefaultRoutes routes = DefaultRouteReader().readDefaultRoutes();
    const QString expectedPrimary =
        routes.ipv4Interface.isEmpty() ? routes.ipv6Interface : routes.ipv4Interface;
    if (expectedPrimary.isEmpty()) {
        // CI machines have a default route: there, its absence is a failure, not a skip.
        ASSERT_FALSE(qEnvironmentVariableIsSet("CI")) << "no default route in CI";
        GTEST_SKIP() << "this machine has no default route";
    }

    SystemClock clock;
    NetworkSources sources = makeLinuxNetworkSources();
    sources.publicAddress = std::make_unique<FakeNetwork::Fetcher>();
    NetworkProvider provider(clock, std::move(sources));
    const NetworkStats stats = provider.sample();

    QString expectedLocal;
    for (const InterfaceAddress& address : InterfaceAddressReader().readAddresses()) {
        if (address.interfaceName == expectedPrimary &&
            address.family == InterfaceAddress::Family::ipv4 && expectedLocal.isEmpty()) {
            expectedLocal = address.text;
        }
    }
    EXPECT_EQ(stats.interfaceName, expectedPrimary);
    EXPECT_EQ(stats.localIP, expectedLocal);
    EXPECT_EQ(stats.interfaceType,
              interfaceKind(InterfaceClassReader().readTraits(expectedPrimary)));
    EXPECT_FALSE(stats.ipv6.startsWith(QLatin1String("fe80")));
    EXPECT_EQ(stats.uploadSpeed, 0);
    EXPECT_EQ(stats.downloadSpeed, 0);
    std::printf("[ live ] primary %s, kind %s, IPv4 %s, IPv6 %s\n", qPrintable(stats.interfaceName),
                qPrintable(stats.interfaceType), qPrintable(stats.localIP), qPrintable(stats.ipv6));
}

}  // namespace

#include "providers/InterfaceKind.h"
#include "providers/NetworkProvider.h"
#include "providers/WifiName.h"
#include "support/FakeClock.h"
#include "support/FakeNetworkSources.h"

#include <gtest/gtest.h>

#include <chrono>
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
                               {"wg0", wireguardTraits()},
                               {"tun0", tunTraits()},
                               {"veth1", {1, {}, false, false, false}}};
        fake.routes->value = {"eth0", {}};
        fake.addresses->value = {ipv4("eth0", "192.0.2.2")};
        provider = std::make_unique<NetworkProvider>(clock, fake.sources());
    }

    NetworkStats sampleWith(std::uint64_t bytesIn, std::uint64_t bytesOut) {
        fake.counters->value = {{"eth0", bytesIn, bytesOut}};
        return provider->sample();
    }
};

// Each step: seconds before, the two totals, then download, upload and their peaks.
struct RateStep {
    double secondsBefore;
    std::uint64_t bytesIn, bytesOut;
    double download, upload, peakDownload, peakUpload;
};

TEST(NetworkRates, FollowTheCounterRules) {
    const std::uint64_t g = 1024ull * 1024 * 1024;
    const std::vector<std::pair<const char*, std::vector<RateStep>>> cases{
        {"steady traffic, peaks stay after it falls",
         {{1, 1000, 500, 0, 0, 0, 0},
          {2, 3000, 1500, 1000, 500, 1000, 500},
          {2, 4000, 1600, 500, 50, 1000, 500}}},
        {"a dropped counter gives zero, then measures from the new total",
         {{1, 10'000, 9000, 0, 0, 0, 0},
          {1, 2000, 9500, 0, 500, 0, 500},
          {1, 2600, 9600, 600, 100, 600, 500}}},
        {"no time elapsed",
         {{1, 1000, 1000, 0, 0, 0, 0},
          {0, 9000, 9000, 0, 0, 0, 0},
          {2, 11'000, 10'000, 1000, 500, 1000, 500}}},
        {"zero totals, as from a failed read, give zero twice",
         {{1, 1000, 1000, 0, 0, 0, 0},
          {1, 0, 0, 0, 0, 0, 0},
          {1, 5000, 5000, 0, 0, 0, 0},
          {1, 6000, 5500, 1000, 500, 1000, 500}}},
        {"counters beyond 4 GiB",
         {{1, 5 * g, 4 * g, 0, 0, 0, 0}, {1, 7 * g, 5 * g, 2 * gib, gib, 2 * gib, gib}}},
    };
    for (const auto& [name, steps] : cases) {
        ProviderHarness harness;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const RateStep& step = steps[i];
            harness.clock.advance(std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::duration<double>(step.secondsBefore)));
            const NetworkStats stats = harness.sampleWith(step.bytesIn, step.bytesOut);
            SCOPED_TRACE(testing::Message() << name << ", step " << i);
            EXPECT_DOUBLE_EQ(stats.downloadSpeed, step.download);
            EXPECT_DOUBLE_EQ(stats.uploadSpeed, step.upload);
            EXPECT_DOUBLE_EQ(stats.peakDownload, step.peakDownload);
            EXPECT_DOUBLE_EQ(stats.peakUpload, step.peakUpload);
        }
    }
}

TEST(NetworkCounting, SumsOnlyPhysicalAdaptersAndClassifiesOnlyANewSet) {
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
    EXPECT_EQ(harness.fake.traits->reads, 5);
    harness.clock.advance(1s);
    harness.fake.counters->value = counters(3);
    const NetworkStats stats = harness.provider->sample();
    EXPECT_DOUBLE_EQ(stats.downloadSpeed, 2 * 150);
    EXPECT_DOUBLE_EQ(stats.uploadSpeed, 2 * 15);
    EXPECT_EQ(harness.fake.traits->reads, 5) << "the same set is not classified again";

    harness.fake.counters->value.append({"tun0", 1, 1});
    harness.provider->sample();
    EXPECT_EQ(harness.fake.traits->reads, 11);
}

// ---- primary interface, kind and addresses ----

TEST(NetworkPrimary, IsChosenAndDescribed) {
    struct Row {
        const char* name;
        DefaultRoutes routes;
        QVector<InterfaceAddress> addresses;
        QStringList expected;  // interface, kind, local IPv4, IPv6
    };
    const Row rows[] = {
        {"default route wins over list order",
         {"wlan0", {}},
         {ipv4("eth0", "10.0.0.5"), ipv4("wlan0", "192.168.1.7"), ipv6("wlan0", "2001:db8::7")},
         {"wlan0", "Wi-Fi", "192.168.1.7", "2001:db8::7"}},
        {"IPv6 route when no IPv4 one",
         {{}, "eth0"},
         {ipv6("eth0", "fe80::1%eth0"), ipv6("eth0", "2001:db8:5::2")},
         {"eth0", "Ethernet", "", "2001:db8:5::2"}},
        {"IPv4 route beats IPv6 route",
         {"tun0", "eth0"},
         {ipv4("eth0", "10.0.0.5"), ipv4("tun0", "10.8.0.2")},
         {"tun0", "VPN", "10.8.0.2", ""}},
        {"no route: first adapter with IPv4",
         {},
         {ipv4("lo", "127.0.0.1"), ipv4("docker0", "172.17.0.1"), ipv4("eth0", "192.0.2.9"),
          ipv4("wlan0", "192.168.1.7")},
         {"eth0", "Ethernet", "192.0.2.9", ""}},
        {"no route, no adapter: first non-loopback",
         {},
         {ipv4("lo", "127.0.0.1"), ipv6("veth1", "2001:db8::1"), ipv4("docker0", "172.17.0.1")},
         {"docker0", "Other", "172.17.0.1", ""}},
        {"nothing but loopback",
         {},
         {ipv4("lo", "127.0.0.1"), ipv6("lo", "::1")},
         {"", "Other", "", ""}},
        {"first global IPv6 of the primary, never link-local, unformattable skipped",
         {"eth0", {}},
         {ipv6("wlan0", "2001:db8::99"), ipv6("eth0", "FE80::2%eth0"), ipv4("eth0", ""),
          ipv4("eth0", "192.0.2.2"), ipv6("eth0", "fd00::2"), ipv6("eth0", "2001:db8::2")},
         {"eth0", "Ethernet", "192.0.2.2", "fd00::2"}},
        {"route through an unknown interface", {"ppp9", {}}, {}, {"ppp9", "Other", "", ""}},
    };
    for (const Row& row : rows) {
        ProviderHarness harness;
        harness.fake.routes->value = row.routes;
        harness.fake.addresses->value = row.addresses;
        const NetworkStats stats = harness.sampleWith(1, 1);
        EXPECT_EQ(
            (QStringList{stats.interfaceName, stats.interfaceType, stats.localIP, stats.ipv6}),
            row.expected)
            << row.name;
    }
}

TEST(InterfaceKindRule, NamesEveryKind) {
    struct Row {
        InterfaceTraits traits;
        const char* kind;
        bool deviceBacked;
    };
    const Row rows[] = {
        {ethernetTraits(), "Ethernet", true},
        {{1, {}, true, true, false}, "Wi-Fi", true},                         // phy80211 only
        {{1, QStringLiteral("wlan"), false, false, false}, "Wi-Fi", false},  // DEVTYPE only
        {{1, {}, false, false, true}, "VPN", false},                         // tap
        {wireguardTraits(), "VPN", false},
        {{512, {}, false, false, false}, "VPN", false},  // ppp
        {{823, {}, false, false, false}, "VPN", false},  // ip6gre
        {loopbackTraits(), "Loopback", false},
        {bridgeTraits(), "Other", false},
        {{32, {}, true, false, false}, "Other", true},  // InfiniBand adapter
        {{}, "Other", false},                           // nothing readable
    };
    for (const Row& row : rows) {
        EXPECT_EQ(interfaceKind(row.traits), QString::fromLatin1(row.kind)) << row.traits.linkType;
        EXPECT_EQ(isDeviceBacked(row.traits), row.deviceBacked) << row.kind;
    }
    for (const char* text : {"fe80::1%eth0", "FE80::1", "febf::1"}) {
        EXPECT_TRUE(isLinkLocalIPv6Text(QString::fromLatin1(text))) << text;
    }
    for (const char* text : {"fec0::1", "fd00::2", "fe8", ""}) {
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
    EXPECT_EQ(harness.sampleWith(1, 1).wifiName, QStringLiteral("Café"));
    EXPECT_EQ(harness.fake.wifi->askedFor, QStringList{"wlan0"});

    const std::pair<QByteArray, QString> rows[] = {
        {"Bad\xff\xfeName", QStringLiteral("Bad\uFFFD\uFFFDName")},
        {QByteArray("a\x00\x01"
                    "b\x1b[31mc\x7f\n",
                    12),
         "ab[31mc"},
        {"\xc2\x85x\xc2\x9f", "x"},                  // C1 controls
        {"evil\xe2\x80\xaegnp.exe", "evilgnp.exe"},  // right-to-left override
        {QByteArray(31, 'x') + "\xc3\xa9", QString(31, u'x') + QChar(0xFFFD)},  // cut mid-character
        {"  spaced  ", "  spaced  "},
    };
    for (const auto& [ssid, shown] : rows) {
        EXPECT_EQ(wifiNameFromSsid(ssid), shown) << ssid.toHex().toStdString();
    }
}

// ---- public address ----

TEST(NetworkPublicAddress, FetchesAtOnceThenAfterMoreThanFiveMinutesNeverTwoAtOnce) {
    ProviderHarness harness;
    auto& fetcher = *harness.fake.fetcher;
    EXPECT_EQ(harness.sampleWith(1, 1).publicIP, QString());
    for (int minute = 0; minute < 20; ++minute) {
        harness.clock.advance(60s);
        harness.sampleWith(1, 1);
    }
    ASSERT_EQ(fetcher.starts, 1);
    fetcher.finishOldest(QStringLiteral("203.0.113.7"));
    EXPECT_EQ(harness.sampleWith(1, 1).publicIP, QStringLiteral("203.0.113.7"));
    EXPECT_EQ(fetcher.starts, 2);  // long overdue, so the next poll starts one

    // A failure keeps the old value; the interval counts from the fetch's start.
    fetcher.finishOldest(std::nullopt);
    EXPECT_EQ(harness.sampleWith(1, 1).publicIP, QStringLiteral("203.0.113.7"));
    harness.clock.advance(300s);
    harness.sampleWith(1, 1);
    EXPECT_EQ(fetcher.starts, 2);
    harness.clock.advance(1ns);
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
    // The completion outlives the fetcher, as a queued reply can outlive its provider.
    auto kept = std::make_shared<PublicAddressFetcher::Completion>();
    struct KeepCompletion final : PublicAddressFetcher {
        std::shared_ptr<Completion> kept;
        void start(Completion done) override { *kept = std::move(done); }
    };
    NetworkSources sources = fake.sources();
    auto* keeper = new KeepCompletion;
    keeper->kept = kept;
    sources.publicAddress.reset(keeper);
    auto provider = std::make_unique<NetworkProvider>(clock, std::move(sources));
    provider->sample();
    ASSERT_TRUE(*kept);
    provider.reset();
    (*kept)(QStringLiteral("203.0.113.7"));  // a use after free here fails under the sanitizers
}

}  // namespace

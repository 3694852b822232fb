#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "platform/NetworkSource.h"
#include "providers/PublicAddressFetcher.h"

#include <QHash>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

// Where the network provider gets its raw facts from.
struct NetworkSources {
    std::unique_ptr<InterfaceCounterSource> counters;
    std::unique_ptr<InterfaceTraitsSource> traits;
    std::unique_ptr<DefaultRouteSource> routes;
    std::unique_ptr<InterfaceAddressSource> addresses;
    std::unique_ptr<WifiSsidSource> wifi;
    std::unique_ptr<PublicAddressFetcher> publicAddress;
};

// One NetworkStats per poll: speeds summed over the physical adapters, the primary interface
// (the default route's) with its kind, addresses and Wi-Fi name, the peaks since creation, and
// the public address, refreshed in the background at most every five minutes without the poll
// ever waiting for it. Runs on the main thread.
class NetworkProvider final : public NetworkSampler {
public:
    static constexpr std::chrono::seconds publicAddressInterval{300};

    NetworkProvider(Clock& clock, NetworkSources sources);
    ~NetworkProvider() override;

    NetworkStats sample() override;

private:
    struct PublicAddressState {
        QString cached;
        bool inFlight = false;
    };

    InterfaceTraits traitsOf(const QString& interfaceName);
    void refreshTraitsIfInterfacesChanged(const QVector<InterfaceCounters>& counters);
    QString choosePrimary(const DefaultRoutes& routes, const QVector<InterfaceAddress>& addresses);
    void refreshPublicAddress(Clock::SteadyTime now);

    Clock& clock_;
    NetworkSources sources_;

    std::uint64_t previousBytesIn_ = 0;
    std::uint64_t previousBytesOut_ = 0;
    Clock::SteadyTime previousTime_;
    double peakUp_ = 0;
    double peakDown_ = 0;

    QStringList knownInterfaces_;
    QHash<QString, InterfaceTraits> traitsCache_;

    // Shared with the fetch in flight only weakly, so a late answer after the provider is
    // gone lands nowhere.
    std::shared_ptr<PublicAddressState> publicAddress_;
    std::optional<Clock::SteadyTime> lastPublicAddressFetch_;  // none: the distant past
};

// Rate of a counter between two calls: 0 when no time passed or the counter went backwards.
double counterRate(std::uint64_t previous, std::uint64_t current, double elapsedSeconds);

// Whether an IPv6 text is a link-local address (fe80::/10), which is never shown.
bool isLinkLocalIPv6Text(const QString& text);

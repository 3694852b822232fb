#include "providers/NetworkProvider.h"

#include "providers/InterfaceKind.h"
#include "providers/WifiName.h"

#include <algorithm>

namespace {

QString firstAddressOf(const QVector<InterfaceAddress>& addresses, const QString& interfaceName,
                       InterfaceAddress::Family family) {
    for (const InterfaceAddress& address : addresses) {
        if (address.interfaceName == interfaceName && address.family == family &&
            !address.text.isEmpty() &&
            !(family == InterfaceAddress::Family::ipv6 && isLinkLocalIPv6Text(address.text))) {
            return address.text;
        }
    }
    return {};
}

}  // namespace

double counterRate(std::uint64_t previous, std::uint64_t current, double elapsedSeconds) {
    if (elapsedSeconds <= 0 || current < previous) {
        return 0;
    }
    return static_cast<double>(current - previous) / elapsedSeconds;
}

bool isLinkLocalIPv6Text(const QString& text) {
    if (text.size() < 4 || !text.startsWith(QLatin1String("fe"), Qt::CaseInsensitive)) {
        return false;
    }
    const QChar third = text.at(2).toLower();
    return third == u'8' || third == u'9' || third == u'a' || third == u'b';
}

NetworkProvider::NetworkProvider(Clock& clock, NetworkSources sources)
    : clock_(clock),
      sources_(std::move(sources)),
      previousTime_(clock.steadyNow()),
      publicAddress_(std::make_shared<PublicAddressState>()) {}

NetworkProvider::~NetworkProvider() = default;

NetworkStats NetworkProvider::sample() {
    const QVector<InterfaceCounters> counters = sources_.counters->readCounters();
    refreshTraitsIfInterfacesChanged(counters);

    std::uint64_t bytesIn = 0;
    std::uint64_t bytesOut = 0;
    for (const InterfaceCounters& interface : counters) {
        if (isDeviceBacked(traitsOf(interface.name))) {
            bytesIn += interface.bytesIn;
            bytesOut += interface.bytesOut;
        }
    }

    const Clock::SteadyTime now = clock_.steadyNow();
    const double elapsed = secondsBetween(previousTime_, now);
    double upload = 0;
    double download = 0;
    // A zero previous total means no earlier reading (or a failed one) to measure against.
    if (elapsed > 0 && previousBytesIn_ != 0) {
        download = counterRate(previousBytesIn_, bytesIn, elapsed);
        upload = counterRate(previousBytesOut_, bytesOut, elapsed);
    }
    previousBytesIn_ = bytesIn;
    previousBytesOut_ = bytesOut;
    previousTime_ = now;
    peakUp_ = std::max(peakUp_, upload);
    peakDown_ = std::max(peakDown_, download);

    const QVector<InterfaceAddress> addresses = sources_.addresses->readAddresses();
    const QString primary = choosePrimary(sources_.routes->readDefaultRoutes(), addresses);
    const QString kind =
        primary.isEmpty() ? QStringLiteral("Other") : interfaceKind(traitsOf(primary));
    const QString wifiName = kind == QLatin1String("Wi-Fi")
                                 ? wifiNameFromSsid(sources_.wifi->readSsid(primary))
                                 : QString();

    refreshPublicAddress(now);

    NetworkStats stats;
    stats.uploadSpeed = upload;
    stats.downloadSpeed = download;
    stats.interfaceName = primary;
    stats.interfaceType = kind;
    stats.wifiName = wifiName;
    stats.localIP = firstAddressOf(addresses, primary, InterfaceAddress::Family::ipv4);
    stats.ipv6 = firstAddressOf(addresses, primary, InterfaceAddress::Family::ipv6);
    stats.publicIP = publicAddress_->cached;
    stats.peakUpload = peakUp_;
    stats.peakDownload = peakDown_;
    return stats;
}

void NetworkProvider::refreshTraitsIfInterfacesChanged(const QVector<InterfaceCounters>& counters) {
    QStringList names;
    names.reserve(counters.size());
    for (const InterfaceCounters& interface : counters) {
        names.append(interface.name);
    }
    if (names != knownInterfaces_) {
        knownInterfaces_ = std::move(names);
        traitsCache_.clear();
    }
}

InterfaceTraits NetworkProvider::traitsOf(const QString& interfaceName) {
    auto found = traitsCache_.find(interfaceName);
    if (found == traitsCache_.end()) {
        found = traitsCache_.insert(interfaceName, sources_.traits->readTraits(interfaceName));
    }
    return found.value();
}

QString NetworkProvider::choosePrimary(const DefaultRoutes& routes,
                                       const QVector<InterfaceAddress>& addresses) {
    if (!routes.ipv4Interface.isEmpty()) {
        return routes.ipv4Interface;
    }
    if (!routes.ipv6Interface.isEmpty()) {
        return routes.ipv6Interface;
    }
    QString firstWithIPv4;
    for (const InterfaceAddress& address : addresses) {
        if (address.family != InterfaceAddress::Family::ipv4) {
            continue;
        }
        const InterfaceTraits traits = traitsOf(address.interfaceName);
        if (isDeviceBacked(traits)) {
            return address.interfaceName;
        }
        if (firstWithIPv4.isEmpty() && !isLoopback(traits)) {
            firstWithIPv4 = address.interfaceName;
        }
    }
    return firstWithIPv4;
}

void NetworkProvider::refreshPublicAddress(Clock::SteadyTime now) {
    if (publicAddress_->inFlight ||
        (lastPublicAddressFetch_ && now - *lastPublicAddressFetch_ <= publicAddressInterval)) {
        return;
    }
    // Stamped at the start, so a failed fetch also waits the full interval.
    lastPublicAddressFetch_ = now;
    publicAddress_->inFlight = true;
    std::weak_ptr<PublicAddressState> state = publicAddress_;
    sources_.publicAddress->start([state](std::optional<QString> address) {
        const auto alive = state.lock();
        if (!alive) {
            return;
        }
        alive->inFlight = false;
        if (address) {
            alive->cached = *address;
        }
    });
}

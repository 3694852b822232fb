#pragma once

#include "providers/NetworkProvider.h"

#include <QHash>

#include <functional>
#include <vector>

// Network sources that hand back whatever the test put in, and count how often they are asked.
struct FakeNetwork {
    struct Counters final : InterfaceCounterSource {
        QVector<InterfaceCounters> value;
        QVector<InterfaceCounters> readCounters() override { return value; }
    };
    struct Traits final : InterfaceTraitsSource {
        QHash<QString, InterfaceTraits> byName;
        int reads = 0;
        InterfaceTraits readTraits(const QString& name) override {
            ++reads;
            return byName.value(name);
        }
    };
    struct Routes final : DefaultRouteSource {
        DefaultRoutes value;
        DefaultRoutes readDefaultRoutes() override { return value; }
    };
    struct Addresses final : InterfaceAddressSource {
        QVector<InterfaceAddress> value;
        QVector<InterfaceAddress> readAddresses() override { return value; }
    };
    struct Wifi final : WifiSsidSource {
        QByteArray ssid;
        QStringList askedFor;
        QByteArray readSsid(const QString& name) override {
            askedFor.append(name);
            return ssid;
        }
    };
    // Keeps each fetch's completion for the test to finish, or finishes at once when told to.
    struct Fetcher final : PublicAddressFetcher {
        std::vector<Completion> pending;
        std::optional<std::optional<QString>> answerAtOnce;
        int starts = 0;
        void start(Completion done) override {
            ++starts;
            if (answerAtOnce) {
                done(*answerAtOnce);
            } else {
                pending.push_back(std::move(done));
            }
        }
        void finishOldest(std::optional<QString> address) {
            auto done = std::move(pending.front());
            pending.erase(pending.begin());
            done(std::move(address));
        }
    };

    Counters* counters = new Counters;
    Traits* traits = new Traits;
    Routes* routes = new Routes;
    Addresses* addresses = new Addresses;
    Wifi* wifi = new Wifi;
    Fetcher* fetcher = new Fetcher;

    // Hands ownership of every fake to the sources; the pointers above stay valid for as long
    // as the provider that receives them lives.
    NetworkSources sources() {
        NetworkSources result;
        result.counters.reset(counters);
        result.traits.reset(traits);
        result.routes.reset(routes);
        result.addresses.reset(addresses);
        result.wifi.reset(wifi);
        result.publicAddress.reset(fetcher);
        return result;
    }
};

inline InterfaceTraits ethernetTraits() {
    return {1, {}, true, false, false};
}
inline InterfaceTraits wifiTraits() {
    return {1, QStringLiteral("wlan"), true, true, false};
}
inline InterfaceTraits loopbackTraits() {
    return {772, {}, false, false, false};
}
inline InterfaceTraits bridgeTraits() {
    return {1, QStringLiteral("bridge"), false, false, false};
}
inline InterfaceTraits wireguardTraits() {
    return {65534, QStringLiteral("wireguard"), false, false, false};
}
inline InterfaceTraits tunTraits() {
    return {65534, {}, false, false, true};
}

inline InterfaceAddress ipv4(const QString& name, const QString& text) {
    return {name, InterfaceAddress::Family::ipv4, text};
}
inline InterfaceAddress ipv6(const QString& name, const QString& text) {
    return {name, InterfaceAddress::Family::ipv6, text};
}

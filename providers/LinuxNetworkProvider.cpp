#include "providers/LinuxNetworkProvider.h"

#include "platform/linux/DefaultRouteReader.h"
#include "platform/linux/InterfaceAddressReader.h"
#include "platform/linux/InterfaceClassReader.h"
#include "platform/linux/NetDevReader.h"
#include "platform/linux/WifiSsidReader.h"

NetworkSources makeLinuxNetworkSources(const std::string& root) {
    NetworkSources sources;
    sources.counters = std::make_unique<NetDevReader>(root);
    sources.traits = std::make_unique<InterfaceClassReader>(root);
    sources.routes = std::make_unique<DefaultRouteReader>(root);
    sources.addresses = std::make_unique<InterfaceAddressReader>();
    sources.wifi = std::make_unique<WifiSsidReader>();
    sources.publicAddress = std::make_unique<HttpPublicAddressFetcher>();
    return sources;
}

std::unique_ptr<NetworkProvider> makeLinuxNetworkProvider(Clock& clock) {
    return std::make_unique<NetworkProvider>(clock, makeLinuxNetworkSources());
}

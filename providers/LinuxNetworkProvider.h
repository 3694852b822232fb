#pragma once

#include "providers/NetworkProvider.h"

#include <memory>
#include <string>

// The Linux readers for the network provider: /proc and /sys under `root`, getifaddrs,
// nl80211 and the HTTPS echo service.
NetworkSources makeLinuxNetworkSources(const std::string& root = "/");

// The network provider the poll loop uses on Linux. Create it on the main thread.
std::unique_ptr<NetworkProvider> makeLinuxNetworkProvider(Clock& clock);

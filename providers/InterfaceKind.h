#pragma once

#include "platform/NetworkSource.h"

#include <QString>

// A physical adapter: only these count toward the machine's traffic, since bridges, bonds,
// VLANs, veth pairs and tunnels carry the same bytes a second time or never leave the host.
bool isDeviceBacked(const InterfaceTraits& traits);

bool isLoopback(const InterfaceTraits& traits);

// "Wi-Fi", "VPN", "Loopback", "Ethernet" or "Other".
QString interfaceKind(const InterfaceTraits& traits);

#pragma once

#include "platform/NetworkSource.h"

// Every IPv4 and IPv6 address of every interface, from getifaddrs, in the system's order.
// An IPv6 link-local address carries its scope suffix ("fe80::1%eth0").
class InterfaceAddressReader final : public InterfaceAddressSource {
public:
    QVector<InterfaceAddress> readAddresses() override;
};

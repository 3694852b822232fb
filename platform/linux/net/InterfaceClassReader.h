#pragma once

#include "platform/NetworkSource.h"

#include <string>

// What sysfs says about one network interface (/sys/class/net/NAME): link type, uevent
// DEVTYPE, and whether a bus device, wireless information or tun flags are present.
class InterfaceClassReader final : public InterfaceTraitsSource {
public:
    explicit InterfaceClassReader(const std::string& root = "/");
    InterfaceTraits readTraits(const QString& interfaceName) override;

private:
    std::string classDirectory_;
};

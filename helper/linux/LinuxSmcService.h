#pragma once

#include "helper/SMCUserClient.h"
#include "helper/linux/LinuxSmcSystem.h"

#include <memory>

// The SMC this Linux system offers: the applesmc driver's raw keys where the driver is
// loaded, else the virtual SMC when at least one of its Linux sensors exists, else none.
std::unique_ptr<SMCService> findLinuxSmcService(const LinuxSmcSystem& system);

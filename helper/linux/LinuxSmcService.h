#pragma once

#include "helper/SmcUserClient.h"
#include "helper/linux/LinuxSmcSystem.h"

#include <memory>

// The SMC this Linux system offers: the applesmc driver's raw keys where the driver is
// loaded, else the virtual SMC when at least one of its Linux sensors exists, else none.
std::unique_ptr<SmcService> findLinuxSmcService(const LinuxSmcSystem& system);

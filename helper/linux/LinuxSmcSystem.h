#pragma once

#include "helper/linux/MonotonicClock.h"

#include <filesystem>
#include <string>

// What the Linux SMC backends look at: the file-system root holding /sys, where NVIDIA's
// management library is, and the clock of the power meters. The program uses the defaults.
struct LinuxSmcSystem {
    std::filesystem::path root = "/";
    std::string nvmlLibrary = "libnvidia-ml.so.1";
    MonotonicClock clock;
};

#pragma once

#include "helper/MonotonicClock.h"

#include <filesystem>
#include <string>

// What the helper reads on Linux: the file-system root holding /sys, where NVIDIA's
// management library is, and the clock of the power meters and of the kept reply. The
// program uses the defaults.
struct LinuxSensorSystem {
    std::filesystem::path root = "/";
    std::string nvmlLibrary = "libnvidia-ml.so.1";
    MonotonicClock clock;
};

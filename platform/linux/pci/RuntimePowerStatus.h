#pragma once

#include <filesystem>
#include <string_view>

// Runtime power management: a device the kernel has powered down while idle says so in
// power/runtime_status. Reading most of its other files would power it up again.

// "suspended" or "suspending": the device must be left alone.
bool isRuntimeSuspended(std::string_view runtimeStatus);

// The status file of a device directory.
std::filesystem::path runtimeStatusFile(const std::filesystem::path& deviceDirectory);

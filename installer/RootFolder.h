#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

// Makes `folder` (and any missing parent) exist as root's, group root, with `mode`, without
// following a link in its last component. Why it could not, or nothing.
std::optional<std::string> makeRootFolder(const std::filesystem::path& folder, mode_t mode);

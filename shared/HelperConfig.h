#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Who may ask the helper for readings, as the installation wrote it down:
//
//   # comment
//   allowed-uid = 1000          (one line per user; at least one)
//
// Anything else in the file (an unknown key, a malformed number) makes the whole file
// unusable: the helper then serves nobody.
struct HelperConfig {
    std::vector<uid_t> allowedUids;
    bool operator==(const HelperConfig&) const = default;
};

inline constexpr const char* kHelperConfigPath = "/etc/vantrel/helper.conf";

std::optional<HelperConfig> parseHelperConfig(std::string_view text);

// The file as the installation writes it: a comment saying what the file is and who writes
// it, then one `allowed-uid` line per user, in the given order.
std::string helperConfigText(const HelperConfig& config);

// Reads and parses the file at `path`, which must be a regular file (not a link) owned by
// `trustedOwner` and writable by nobody else; nothing otherwise.
std::optional<HelperConfig> loadHelperConfig(const std::string& path, uid_t trustedOwner = 0);

#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The bytes of the helper the installer copies, read so that nobody but root can choose
// them: the folder is root's and writable by root alone, the helper in it is a plain file
// (not a link) that is root's and writable by root alone, and the bytes come from the
// descriptor those checks were made on.
struct BundledHelper {
    std::optional<std::string> bytes;
    // Why there are none.
    std::string failure;
};

BundledHelper readBundledHelper(const std::filesystem::path& helper);

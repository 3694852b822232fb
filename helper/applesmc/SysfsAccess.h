#pragma once

#include "linux_io/SysfsText.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The file-system calls of a backend, so a test can stand in for a driver whose files change
// with what was written to them.
class SysfsAccess {
public:
    virtual ~SysfsAccess() = default;
    virtual std::optional<std::string> read(const std::filesystem::path& path,
                                            std::size_t maxBytes) = 0;
    virtual int write(const std::filesystem::path& path, std::string_view text) = 0;
};

class PosixSysfsAccess final : public SysfsAccess {
public:
    std::optional<std::string> read(const std::filesystem::path& path,
                                    std::size_t maxBytes) override {
        return readSysfsFile(path, maxBytes);
    }
    int write(const std::filesystem::path& path, std::string_view text) override {
        return writeSysfsFile(path, text);
    }
};

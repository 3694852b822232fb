#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// One-value files of /sys, read whole with a single open/read/close. Attribute files are
// small; anything longer than `maxBytes` is cut there.
std::optional<std::string> readSysfsFile(const std::filesystem::path& path,
                                         std::size_t maxBytes = 4096);

// Writes `text` to an attribute file; 0 or the errno of the failure.
int writeSysfsFile(const std::filesystem::path& path, std::string_view text);

// The text without surrounding blanks and newlines.
std::string_view trimmedText(std::string_view text);

// A whole decimal integer with optional sign and surrounding blanks; absent otherwise.
std::optional<std::int64_t> parseSysfsInteger(std::string_view text);

std::optional<std::int64_t> readSysfsInteger(const std::filesystem::path& path);

// The trimmed text of a file, empty when it cannot be read.
std::string readSysfsWord(const std::filesystem::path& path);

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

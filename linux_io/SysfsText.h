#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class KeptOpenFile;

// Small helpers for one-value text files of /proc and /sys.

// The whole file, or absent when it cannot be read. For files read once, at creation.
std::optional<std::string> readTextFile(const std::filesystem::path& path);

// An attribute file read with a single open/read/close; anything longer than `maxBytes` is
// cut there. Attribute files are small.
std::optional<std::string> readSysfsFile(const std::filesystem::path& path,
                                         std::size_t maxBytes = 4096);

// Writes `text` to an attribute file; 0 or the errno of the failure.
int writeSysfsFile(const std::filesystem::path& path, std::string_view text);

// The trimmed text of an attribute file, empty when it cannot be read.
std::string readSysfsWord(const std::filesystem::path& path);

// The text without leading and trailing blanks and newlines.
std::string_view trimmed(std::string_view text);

// A whole decimal integer with one optional sign and surrounding blanks; absent for anything
// else ("+-5" included).
std::optional<std::int64_t> parseInteger(std::string_view text);

// A file holding one integer, read once.
std::optional<std::int64_t> readIntegerFile(const std::filesystem::path& path);

// Millidegrees Celsius, as thermal zones and hwmon give them, in degrees; absent unless a
// whole number.
std::optional<double> parseMillidegrees(std::string_view text);

// A kept-open file holding one non-negative integer, read afresh; absent for anything else.
std::optional<std::uint64_t> readUnsignedValue(KeptOpenFile& file);

// The value of one hexadecimal digit, or -1.
int hexDigitValue(char c);

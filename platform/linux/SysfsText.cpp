#include "platform/linux/SysfsText.h"

#include "platform/linux/KeptOpenFile.h"

#include <charconv>
#include <fstream>
#include <iterator>

std::optional<std::string> readTextFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        return std::nullopt;
    }
    return text;
}

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\n\r";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> readIntegerFile(const std::filesystem::path& path) {
    const auto text = readTextFile(path);
    return text ? parseInteger(*text) : std::nullopt;
}

std::optional<double> parseMillidegrees(std::string_view text) {
    const auto value = parseInteger(text);
    return value ? std::optional<double>(static_cast<double>(*value) / 1000.0) : std::nullopt;
}

std::optional<std::uint64_t> readUnsignedValue(KeptOpenFile& file) {
    const auto text = file.read();
    const auto value = text ? parseInteger(*text) : std::nullopt;
    if (!value || *value < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*value);
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

#include "platform/linux/filesystem/MountinfoReader.h"

#include "linux_io/CounterText.h"
#include "linux_io/SysfsText.h"

#include <charconv>
#include <optional>

namespace {

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// Splits at single spaces, the only separator the kernel writes here. An empty field (a
// file system mounted with an empty source) stays a field, so later ones keep their places.
std::vector<std::string_view> splitAtSpaces(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(' ', start);
        if (end == std::string_view::npos) {
            words.push_back(line.substr(start));
            return words;
        }
        words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<MountEntry> parseLine(std::string_view line) {
    const std::vector<std::string_view> words = splitAtSpaces(line);
    // Six fixed fields, any number of optional ones, the "-" separator, then three more.
    std::size_t separator = 6;
    while (separator < words.size() && words[separator] != "-") {
        ++separator;
    }
    if (separator + 2 >= words.size()) {
        return std::nullopt;
    }
    const auto mountId = parseNumber<int>(words[0]);
    const auto parentId = parseNumber<int>(words[1]);
    const std::string_view device = words[2];
    const auto colon = device.find(':');
    if (!mountId || !parentId || colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto major = parseNumber<unsigned>(device.substr(0, colon));
    const auto minor = parseNumber<unsigned>(device.substr(colon + 1));
    if (!major || !minor) {
        return std::nullopt;
    }
    return MountEntry{*mountId,
                      *parentId,
                      *major,
                      *minor,
                      decodeMountEscapes(words[3]),
                      decodeMountEscapes(words[4]),
                      decodeMountEscapes(words[separator + 1]),
                      decodeMountEscapes(words[separator + 2])};
}

}  // namespace

std::string decodeMountEscapes(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && isOctalDigit(text[i + 1]) &&
            isOctalDigit(text[i + 2]) && isOctalDigit(text[i + 3])) {
            const int value =
                (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0');
            // A byte, and never NUL, which would cut the path short.
            if (value > 0 && value <= 0xff) {
                decoded.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        decoded.push_back(text[i]);
    }
    return decoded;
}

std::vector<MountEntry> parseMountinfo(std::string_view text) {
    std::vector<MountEntry> entries;
    forEachCompleteLine(text, [&](std::string_view line) {
        if (auto entry = parseLine(line)) {
            entries.push_back(std::move(*entry));
        }
        return true;
    });
    return entries;
}

std::vector<MountEntry> readMountinfo(const std::filesystem::path& root) {
    const auto text = readTextFile(root / "proc/self/mountinfo");
    return text ? parseMountinfo(*text) : std::vector<MountEntry>{};
}

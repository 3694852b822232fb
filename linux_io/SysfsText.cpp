#include "linux_io/SysfsText.h"

#include "linux_io/KeptOpenFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

std::optional<std::string> readSysfsFile(const std::filesystem::path& path, std::size_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text(maxBytes, '\0');
    std::size_t filled = 0;
    bool failed = false;
    while (filled < maxBytes) {
        const ssize_t count = ::read(fd, text.data() + filled, maxBytes - filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            failed = true;
            break;
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    ::close(fd);
    if (failed) {
        return std::nullopt;
    }
    text.resize(filled);
    return text;
}

int writeSysfsFile(const std::filesystem::path& path, std::string_view text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return errno;
    }
    ssize_t written = -1;
    do {
        written = ::write(fd, text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    const int error =
        written < 0 ? errno : (static_cast<std::size_t>(written) != text.size() ? EIO : 0);
    ::close(fd);
    return error;
}

std::string readSysfsWord(const std::filesystem::path& path) {
    const auto text = readSysfsFile(path, 256);
    return text ? std::string(trimmed(*text)) : std::string();
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
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
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
    const auto text = readSysfsFile(path, 64);
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

#include "shared/HelperConfig.h"

#include "shared/TrustedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <limits>

namespace {

constexpr std::size_t kMaxConfigSize = 64 * 1024;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::optional<uid_t> parseUid(std::string_view text) {
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // (uid_t)-1 means "no user" to the kernel and is never a peer.
    if (error != std::errc() || end != text.data() + text.size() ||
        value >= std::numeric_limits<uid_t>::max()) {
        return std::nullopt;
    }
    return static_cast<uid_t>(value);
}

}  // namespace

std::optional<HelperConfig> parseHelperConfig(std::string_view text) {
    HelperConfig config;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const auto line = trimmed(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        const auto uid = trimmed(line.substr(0, equals)) == "allowed-uid"
                             ? parseUid(trimmed(line.substr(equals + 1)))
                             : std::nullopt;
        if (!uid) {
            return std::nullopt;
        }
        config.allowedUids.push_back(*uid);
    }
    if (config.allowedUids.empty()) {
        return std::nullopt;
    }
    return config;
}

std::string helperConfigText(const HelperConfig& config) {
    std::string text =
        "# Who may ask the Vantrel sensor helper for readings: one line per user (numeric uid).\n"
        "# Written by vantrel-helper-installer, which adds the user who starts it and keeps the\n"
        "# others. Must be owned by root and writable by nobody else, or the helper answers no\n"
        "# one. Every process of a listed user is answered: the user is the boundary.\n";
    for (const uid_t uid : config.allowedUids) {
        text += "allowed-uid = " + std::to_string(uid) + "\n";
    }
    return text;
}

std::optional<HelperConfig> loadHelperConfig(const std::string& path, uid_t trustedOwner) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    std::string text;
    bool readWhole = false;
    if (::fstat(fd, &status) == 0 && isTrustedFile(status, trustedOwner) &&
        static_cast<std::size_t>(status.st_size) <= kMaxConfigSize) {
        text.resize(kMaxConfigSize + 1);
        std::size_t used = 0;
        ssize_t got = 0;
        while (used < text.size() &&
               (got = ::read(fd, text.data() + used, text.size() - used)) > 0) {
            used += static_cast<std::size_t>(got);
        }
        readWhole = got == 0 && used <= kMaxConfigSize;
        text.resize(used);
    }
    ::close(fd);
    return readWhole ? parseHelperConfig(text) : std::nullopt;
}

#include "platform/linux/filesystem/UserDirsReader.h"

#include "linux_io/CounterText.h"
#include "linux_io/SysfsText.h"

#include <optional>

namespace {

constexpr std::string_view kKeyPrefix = "XDG_";
constexpr std::string_view kKeySuffix = "_DIR";
constexpr std::string_view kHomeVariable = "$HOME";

// The text between double quotes with backslash escapes undone; absent unless the whole value
// is one quoted string.
std::optional<std::string> unquoted(std::string_view value) {
    if (value.size() < 2 || value.front() != '"') {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            text.push_back(value[++i]);
        } else if (c == '"') {
            return i + 1 == value.size() ? std::optional(text) : std::nullopt;
        } else {
            text.push_back(c);
        }
    }
    return std::nullopt;
}

// Lexically normal and without a trailing slash, so "$HOME/" compares equal to the home.
std::filesystem::path normalFolder(const std::filesystem::path& path) {
    std::filesystem::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) {
        normal = normal.parent_path();
    }
    return normal;
}

std::optional<std::filesystem::path> resolvedFolder(std::string_view value,
                                                    const std::filesystem::path& home) {
    if (value.starts_with(kHomeVariable)) {
        const std::string_view rest = value.substr(kHomeVariable.size());
        if (!rest.empty() && rest.front() != '/') {
            return std::nullopt;  // "$HOMEWORK" is another variable
        }
        return normalFolder(home / std::filesystem::path(rest).relative_path());
    }
    if (value.starts_with('/')) {
        return normalFolder(value);
    }
    return std::nullopt;
}

}  // namespace

std::map<std::string, std::filesystem::path, std::less<>> parseUserDirs(
    std::string_view text, const std::filesystem::path& home) {
    std::map<std::string, std::filesystem::path, std::less<>> folders;
    std::string withEnd(text);
    withEnd.push_back('\n');  // the last line needs no newline here
    forEachCompleteLine(withEnd, [&](std::string_view line) {
        line = trimmed(line);
        const auto equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
            return true;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        if (!key.starts_with(kKeyPrefix) || !key.ends_with(kKeySuffix) ||
            key.size() <= kKeyPrefix.size() + kKeySuffix.size()) {
            return true;
        }
        const auto value = unquoted(trimmed(line.substr(equals + 1)));
        if (!value) {
            return true;
        }
        if (auto folder = resolvedFolder(*value, home)) {
            const std::string_view name =
                key.substr(kKeyPrefix.size(), key.size() - kKeyPrefix.size() - kKeySuffix.size());
            folders.insert_or_assign(std::string(name), std::move(*folder));
        }
        return true;
    });
    return folders;
}

std::map<std::string, std::filesystem::path, std::less<>> readUserDirs(
    const std::filesystem::path& configHome, const std::filesystem::path& home) {
    const auto text = readTextFile(configHome / "user-dirs.dirs");
    if (!text) {
        return {};
    }
    return parseUserDirs(*text, home);
}

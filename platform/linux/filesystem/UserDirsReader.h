#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

// The user's special folders by name without prefix and suffix ("DESKTOP", "DOWNLOAD",
// "PICTURES" ...), from user-dirs.dirs text. Values are double-quoted, either "$HOME/..."
// or an absolute path, with backslash escapes; anything else is ignored, as xdg-user-dirs
// does. Paths come back lexically normal.
std::map<std::string, std::filesystem::path, std::less<>> parseUserDirs(
    std::string_view text, const std::filesystem::path& home);

// `configHome`/user-dirs.dirs; empty when it cannot be read.
std::map<std::string, std::filesystem::path, std::less<>> readUserDirs(
    const std::filesystem::path& configHome, const std::filesystem::path& home);

#pragma once

#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The installed applications' names, from the .desktop files of the applications folders.
// Folders come in precedence order ($XDG_DATA_HOME/applications first): an id found in an
// earlier folder hides the same id further on, also when the earlier entry is Hidden.
class DesktopEntryCatalog {
public:
    static DesktopEntryCatalog load(const std::vector<std::filesystem::path>& applicationFolders,
                                    const std::vector<std::string>& localeKeys);

    // The Name of the application with this desktop file id (without ".desktop").
    std::optional<QString> nameForId(std::string_view id) const;
    // The Name of the one application whose Exec starts a program of this file name; absent
    // when none does, or when entries with different names do.
    std::optional<QString> nameForExecutable(std::string_view fileName) const;

    std::size_t size() const { return byId_.size(); }

private:
    std::unordered_map<std::string, QString> byId_;
    std::unordered_map<std::string, std::optional<QString>> byExecutable_;  // empty: ambiguous
};

// $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS/applications, with the defaults of
// the base directory specification, each under `root`.
std::vector<std::filesystem::path> applicationFoldersFromEnvironment(
    const std::filesystem::path& root = "/");

// Language tags for the current locale (LC_ALL, else LC_MESSAGES, else LANG).
std::vector<std::string> localeKeysFromEnvironment();

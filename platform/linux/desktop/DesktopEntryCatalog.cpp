#include "platform/linux/desktop/DesktopEntryCatalog.h"

#include "linux_io/SysfsText.h"
#include "platform/linux/desktop/DesktopEntryParser.h"
#include "platform/linux/desktop/SafeDisplayText.h"

#include <QStringList>
#include <QtGlobal>

#include <unordered_set>

namespace {

// No real desktop entry is near this; a bigger file is not read.
constexpr std::uintmax_t kLargestEntryBytes = 256 * 1024;
constexpr int kDeepestSubfolder = 4;

// "kde4/konsole.desktop" under a folder has the id "kde4-konsole".
std::string desktopId(const std::filesystem::path& relative) {
    std::string id = relative.generic_string();
    id.resize(id.size() - std::string_view(".desktop").size());
    for (char& c : id) {
        if (c == '/') {
            c = '-';
        }
    }
    return id;
}

std::filesystem::path underRoot(const std::filesystem::path& root,
                                const std::filesystem::path& path) {
    return path.is_absolute() ? root / path.relative_path() : root / path;
}

}  // namespace

DesktopEntryCatalog DesktopEntryCatalog::load(
    const std::vector<std::filesystem::path>& applicationFolders,
    const std::vector<std::string>& localeKeys) {
    DesktopEntryCatalog catalog;
    std::unordered_set<std::string> seenIds;
    for (const auto& folder : applicationFolders) {
        std::error_code error;
        std::filesystem::recursive_directory_iterator walk(
            folder, std::filesystem::directory_options::skip_permission_denied, error);
        for (; !error && walk != std::filesystem::recursive_directory_iterator();
             walk.increment(error)) {
            if (walk.depth() >= kDeepestSubfolder) {
                walk.disable_recursion_pending();
            }
            const auto& path = walk->path();
            if (path.extension() != ".desktop" || !walk->is_regular_file(error) ||
                walk->file_size(error) > kLargestEntryBytes) {
                continue;
            }
            const std::string id = desktopId(path.lexically_relative(folder));
            if (!seenIds.insert(id).second) {
                continue;  // an earlier folder's entry takes precedence
            }
            const auto text = readTextFile(path);
            if (!text) {
                continue;
            }
            const DesktopEntry entry = parseDesktopEntry(*text, localeKeys);
            if (entry.hidden || !entry.isApplication || entry.name.empty()) {
                continue;
            }
            const QString name = safeDisplayText(entry.name);
            catalog.byId_.emplace(id, name);
            if (!entry.execNamesTheApplication) {
                continue;
            }
            const auto [existing, added] = catalog.byExecutable_.emplace(entry.executable, name);
            if (!added && existing->second && *existing->second != name) {
                existing->second.reset();
            }
        }
    }
    return catalog;
}

std::optional<QString> DesktopEntryCatalog::nameForId(std::string_view id) const {
    const auto found = byId_.find(std::string(id));
    if (found == byId_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<QString> DesktopEntryCatalog::nameForExecutable(std::string_view fileName) const {
    const auto found = byExecutable_.find(std::string(fileName));
    if (found == byExecutable_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<std::filesystem::path> applicationFoldersFromEnvironment(
    const std::filesystem::path& root) {
    std::vector<std::filesystem::path> folders;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!std::filesystem::path(dataHome.toStdString()).is_absolute()) {
        const QString home = qEnvironmentVariable("HOME");
        dataHome = home.isEmpty() ? QString() : home + QStringLiteral("/.local/share");
    }
    if (!dataHome.isEmpty()) {
        folders.push_back(underRoot(root, dataHome.toStdString()) / "applications");
    }
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty()) {
        dataDirs = QStringLiteral("/usr/local/share/:/usr/share/");
    }
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const std::filesystem::path path(dir.toStdString());
        if (path.is_absolute()) {  // relative entries are invalid and ignored
            folders.push_back(underRoot(root, path) / "applications");
        }
    }
    return folders;
}

std::vector<std::string> localeKeysFromEnvironment() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty()) {
            return localeKeysFor(value.toStdString());
        }
    }
    return {};
}

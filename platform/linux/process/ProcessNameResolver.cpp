#include "platform/linux/process/ProcessNameResolver.h"

#include "linux_io/SysfsText.h"
#include "platform/linux/desktop/SafeDisplayText.h"
#include "platform/linux/process/AppUnitParser.h"

#include <limits.h>
#include <unistd.h>

#include <utility>

namespace {

std::optional<std::string> linkTarget(const std::filesystem::path& link) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) {
        return std::nullopt;
    }
    return std::string(target, static_cast<std::size_t>(length));
}

}  // namespace

std::string_view executableFileName(std::string_view exeTarget) {
    constexpr std::string_view kDeleted = " (deleted)";
    if (exeTarget.size() > kDeleted.size() &&
        exeTarget.substr(exeTarget.size() - kDeleted.size()) == kDeleted) {
        exeTarget.remove_suffix(kDeleted.size());
    }
    if (const std::size_t slash = exeTarget.rfind('/'); slash != std::string_view::npos) {
        exeTarget.remove_prefix(slash + 1);
    }
    return exeTarget;
}

ProcessNameResolver::ProcessNameResolver(std::filesystem::path root, CatalogLoader loadCatalog)
    : procPath_(std::move(root) / "proc"), loadCatalog_(std::move(loadCatalog)) {}

const DesktopEntryCatalog& ProcessNameResolver::catalog() {
    if (!catalog_) {
        catalog_ = loadCatalog_ ? loadCatalog_() : DesktopEntryCatalog{};
    }
    return *catalog_;
}

QString ProcessNameResolver::nameOf(std::int32_t pid, std::uint64_t startTime,
                                    std::string_view command) {
    auto [entry, added] = cache_.try_emplace(Key{pid, startTime});
    Cached& cached = entry->second;
    if (added || cached.command != command) {
        cached.name = resolve(pid, command);
        cached.command.assign(command);
    }
    cached.lastUse = round_;
    return cached.name;
}

void ProcessNameResolver::forgetUnused() {
    std::erase_if(cache_, [this](const auto& entry) { return entry.second.lastUse != round_; });
    ++round_;
}

QString ProcessNameResolver::resolve(std::int32_t pid, std::string_view command) {
    const std::filesystem::path process = procPath_ / std::to_string(pid);

    if (const auto cgroup = readTextFile(process / "cgroup")) {
        for (const std::string& id : desktopIdsFromCgroup(*cgroup)) {
            if (auto name = catalog().nameForId(id)) {
                return *name;
            }
        }
    }

    const auto exeTarget = linkTarget(process / "exe");
    const std::string_view executable =
        exeTarget ? executableFileName(*exeTarget) : std::string_view();
    if (!executable.empty()) {
        if (auto name = catalog().nameForExecutable(executable)) {
            return *name;
        }
        return safeDisplayText(executable);
    }
    return safeDisplayText(command);
}

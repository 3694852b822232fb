#pragma once

#include "platform/ProcessSource.h"
#include "platform/linux/desktop/DesktopEntryCatalog.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Names processes the way a user knows them: the application's name when the process runs in
// an application's systemd unit or is the program a desktop entry starts, else the file name
// of its executable, else its short name. Each process is resolved once, when first asked
// for, and its name is kept while it lives; a process that execs another program (its short
// name changes) is resolved again. The desktop entries are read on first need.
class ProcessNameResolver {
public:
    using CatalogLoader = std::function<DesktopEntryCatalog()>;

    ProcessNameResolver(std::filesystem::path root, CatalogLoader loadCatalog);

    QString nameOf(std::int32_t pid, std::uint64_t startTime, std::string_view command);

    // Forgets the names of processes not asked for since the previous call.
    void forgetUnused();

    std::size_t cachedCount() const { return cache_.size(); }

private:
    using Key = ProcessKey;
    using KeyHash = ProcessKeyHash;
    struct Cached {
        QString name;
        std::string command;
        std::uint64_t lastUse = 0;
    };

    QString resolve(std::int32_t pid, std::string_view command);
    const DesktopEntryCatalog& catalog();

    std::filesystem::path procPath_;
    CatalogLoader loadCatalog_;
    std::optional<DesktopEntryCatalog> catalog_;
    std::unordered_map<Key, Cached, KeyHash> cache_;
    std::uint64_t round_ = 1;
};

// The file name of a process's executable from the target of its /proc/PID/exe link; a
// program replaced on disk since it started shows as "path (deleted)".
std::string_view executableFileName(std::string_view exeTarget);

#include "platform/linux/process/LinuxProcessSource.h"

#include <utility>

LinuxProcessSource::LinuxProcessSource(const std::filesystem::path& root,
                                       ProcessTableOptions options,
                                       std::vector<std::filesystem::path> applicationFolders,
                                       std::vector<std::string> localeKeys)
    : table_(root, options),
      names_(root, [folders = std::move(applicationFolders), keys = std::move(localeKeys)] {
          return DesktopEntryCatalog::load(folders, keys);
      }) {}

std::optional<std::vector<ProcessSample>> LinuxProcessSource::readProcesses() {
    auto processes = table_.read();
    if (processes) {
        names_.forgetUnused();
    }
    return processes;
}

QString LinuxProcessSource::nameOf(const ProcessSample& process) {
    return names_.nameOf(process.pid, process.startTime, process.command);
}

std::unique_ptr<ProcessSource> makeLinuxProcessSource(const std::filesystem::path& root) {
    return std::make_unique<LinuxProcessSource>(root, processTableOptionsForThisMachine(),
                                                applicationFoldersFromEnvironment(root),
                                                localeKeysFromEnvironment());
}

#pragma once

#include "platform/ProcessSource.h"
#include "platform/linux/process/ProcessNameResolver.h"
#include "platform/linux/process/ProcessTableReader.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The process sampler's table and names on Linux: root/proc for the table, the process's unit,
// executable and short name for its name, and the desktop entries of `applicationFolders`
// for application names.
class LinuxProcessSource final : public ProcessSource {
public:
    LinuxProcessSource(const std::filesystem::path& root, ProcessTableOptions options,
                       std::vector<std::filesystem::path> applicationFolders,
                       std::vector<std::string> localeKeys);

    std::optional<std::vector<ProcessSample>> readProcesses() override;
    QString nameOf(const ProcessSample& process) override;

    std::size_t keptDescriptors() const { return table_.keptDescriptors(); }
    std::size_t cachedNames() const { return names_.cachedCount(); }

private:
    ProcessTableReader table_;
    ProcessNameResolver names_;
};

// The source for this machine: the current user's processes under `root` (normally "/"), the
// desktop entries of the XDG data folders under it, names in the current locale.
std::unique_ptr<ProcessSource> makeLinuxProcessSource(const std::filesystem::path& root = "/");

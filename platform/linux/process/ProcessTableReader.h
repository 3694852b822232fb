#pragma once

#include "platform/ProcessSource.h"
#include "platform/linux/process/ProcessStatFiles.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <vector>

// How the reader tells who owns a process.
enum class ProcessOwnerCheck {
    // The owner of /proc/PID, which the kernel sets to the process's effective uid: one
    // fstatat, before anything of the process is read.
    directoryOwner,
    // The effective uid on the "Uid:" line of /proc/PID/status. For copies of /proc, whose
    // files belong to whoever made the copy.
    statusUid,
};

struct ProcessTableOptions {
    uid_t uid = 0;  // whose processes to list
    ProcessOwnerCheck ownerCheck = ProcessOwnerCheck::directoryOwner;
    long ticksPerSecond = 100;  // the unit of the CPU times in stat
    long pageSize = 4096;       // the unit of the resident size in stat
    std::size_t keptDescriptorLimit = 0;
};

// Options for this machine: the real uid of this program, the kernel's tick rate and page
// size, and the default descriptor bound.
ProcessTableOptions processTableOptionsForThisMachine();

// One pass over root/proc: processes owned by the uid are picked out by the owner check alone,
// then one file, stat, gives each one's state, CPU times, start time and resident size. Kernel
// threads are left out.
class ProcessTableReader {
public:
    ProcessTableReader(std::filesystem::path root, ProcessTableOptions options);
    ~ProcessTableReader();
    ProcessTableReader(const ProcessTableReader&) = delete;
    ProcessTableReader& operator=(const ProcessTableReader&) = delete;

    std::optional<std::vector<ProcessSample>> read();

    std::size_t keptDescriptors() const { return statFiles_.keptCount(); }

private:
    bool openDirectory();
    std::optional<bool> ownedByUser(int procDirectory, const char* pidName,
                                    const struct stat& directory);
    std::optional<ProcessSample> readProcess(int procDirectory, std::int32_t pid,
                                             const char* pidName);

    std::filesystem::path procPath_;
    ProcessTableOptions options_;
    DIR* directory_ = nullptr;
    ProcessStatFiles statFiles_;
    std::size_t lastCount_ = 0;
};

ProcessRunState runStateFromLetter(char letter);

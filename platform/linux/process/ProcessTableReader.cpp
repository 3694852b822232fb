#include "platform/linux/process/ProcessTableReader.h"

#include "core/SaturatingAdd.h"
#include "linux_io/CounterText.h"
#include "platform/linux/process/PidStatParser.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <limits>
#include <string_view>

namespace {

constexpr std::uint64_t kNanosecondsPerSecond = 1'000'000'000;

std::optional<std::int32_t> pidFromName(const char* name) {
    const std::string_view text(name);
    std::int32_t pid = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
    if (error != std::errc{} || end != text.data() + text.size() || pid < 1) {
        return std::nullopt;
    }
    return pid;
}

std::uint64_t saturatingMultiply(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return a * b;
}

// Whole seconds and the remainder apart, so no tick count can overflow on the way.
std::uint64_t ticksToNanoseconds(std::uint64_t ticks, std::uint64_t ticksPerSecond) {
    const std::uint64_t seconds = ticks / ticksPerSecond;
    const std::uint64_t rest = ticks % ticksPerSecond;
    return saturatingAdd(saturatingMultiply(seconds, kNanosecondsPerSecond),
                         rest * kNanosecondsPerSecond / ticksPerSecond);
}

// The effective uid: the second number of the "Uid:" line.
std::optional<uid_t> effectiveUidFromStatus(std::string_view status) {
    std::optional<uid_t> uid;
    forEachCompleteLine(status, [&](std::string_view line) {
        constexpr std::string_view kKey = "Uid:";
        if (line.substr(0, kKey.size()) != kKey) {
            return true;
        }
        std::string_view rest = line.substr(kKey.size());
        for (int field = 0; field < 2; ++field) {
            std::size_t start = 0;
            while (start < rest.size() && isBlank(rest[start])) {
                ++start;
            }
            std::size_t end = start;
            while (end < rest.size() && !isBlank(rest[end])) {
                ++end;
            }
            if (field == 1) {
                if (const auto value = leadingUnsigned(rest.substr(start, end - start));
                    value && *value <= std::numeric_limits<uid_t>::max()) {
                    uid = static_cast<uid_t>(*value);
                }
            }
            rest = rest.substr(end);
        }
        return false;
    });
    return uid;
}

std::optional<std::string> readSmallFileAt(int directory, const char* path) {
    const int descriptor = ::openat(directory, path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    std::string text;
    char chunk[4096];
    while (text.size() < 64 * 1024) {
        const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    return text;
}

}  // namespace

ProcessRunState runStateFromLetter(char letter) {
    switch (letter) {
        case 'R':
            return ProcessRunState::running;
        case 'S':
            return ProcessRunState::sleeping;
        case 'D':
            return ProcessRunState::uninterruptible;
        case 'T':
        case 't':
            return ProcessRunState::stopped;
        case 'Z':
            return ProcessRunState::zombie;
        case 'X':
        case 'x':
            return ProcessRunState::dead;
        case 'I':
            return ProcessRunState::idle;
        default:
            return ProcessRunState::unknown;
    }
}

ProcessTableOptions processTableOptionsForThisMachine() {
    ProcessTableOptions options;
    options.uid = ::getuid();
    const long ticks = ::sysconf(_SC_CLK_TCK);
    options.ticksPerSecond = ticks > 0 ? ticks : 100;
    const long page = ::sysconf(_SC_PAGESIZE);
    options.pageSize = page > 0 ? page : 4096;
    options.keptDescriptorLimit = defaultStatKeepLimit();
    return options;
}

ProcessTableReader::ProcessTableReader(std::filesystem::path root, ProcessTableOptions options)
    : procPath_(std::move(root) / "proc"),
      options_(options),
      statFiles_(options.keptDescriptorLimit) {
    if (options_.ticksPerSecond <= 0) {
        options_.ticksPerSecond = 100;
    }
    if (options_.pageSize <= 0) {
        options_.pageSize = 4096;
    }
}

ProcessTableReader::~ProcessTableReader() {
    if (directory_ != nullptr) {
        ::closedir(directory_);
    }
}

bool ProcessTableReader::openDirectory() {
    if (directory_ != nullptr) {
        ::rewinddir(directory_);
        return true;
    }
    directory_ = ::opendir(procPath_.c_str());
    return directory_ != nullptr;
}

std::optional<bool> ProcessTableReader::ownedByUser(int procDirectory, const char* pidName,
                                                    const struct stat& directory) {
    if (options_.ownerCheck == ProcessOwnerCheck::directoryOwner) {
        return directory.st_uid == options_.uid;
    }
    char path[32];
    std::snprintf(path, sizeof path, "%s/status", pidName);
    const auto status = readSmallFileAt(procDirectory, path);
    if (!status) {
        return std::nullopt;
    }
    const auto uid = effectiveUidFromStatus(*status);
    if (!uid) {
        return std::nullopt;
    }
    return *uid == options_.uid;
}

std::optional<ProcessSample> ProcessTableReader::readProcess(int procDirectory, std::int32_t pid,
                                                             const char* pidName) {
    struct stat directory {};
    if (::fstatat(procDirectory, pidName, &directory, 0) != 0 || !S_ISDIR(directory.st_mode)) {
        return std::nullopt;  // gone since the listing
    }
    const auto owned = ownedByUser(procDirectory, pidName, directory);
    if (!owned || !*owned) {
        return std::nullopt;
    }
    const auto text = statFiles_.read(procDirectory, pid, pidName, directory.st_ino);
    if (!text) {
        return std::nullopt;
    }
    const auto stat = parsePidStat(*text);
    if (!stat || (stat->flags & kKernelThreadFlag) != 0) {
        return std::nullopt;
    }
    const auto ticksPerSecond = static_cast<std::uint64_t>(options_.ticksPerSecond);
    ProcessSample sample;
    sample.pid = pid;
    sample.startTime = stat->startTicks;
    sample.state = runStateFromLetter(stat->state);
    sample.userNanoseconds = ticksToNanoseconds(stat->userTicks, ticksPerSecond);
    sample.systemNanoseconds = ticksToNanoseconds(stat->systemTicks, ticksPerSecond);
    sample.residentBytes =
        saturatingMultiply(stat->residentPages, static_cast<std::uint64_t>(options_.pageSize));
    sample.command.assign(stat->command);
    return sample;
}

std::optional<std::vector<ProcessSample>> ProcessTableReader::read() {
    if (!openDirectory()) {
        return std::nullopt;
    }
    const int procDirectory = ::dirfd(directory_);
    std::vector<ProcessSample> processes;
    processes.reserve(lastCount_ + 16);
    statFiles_.beginScan();
    while (const dirent* entry = ::readdir(directory_)) {
        if (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN) {
            continue;
        }
        const auto pid = pidFromName(entry->d_name);
        if (!pid) {
            continue;
        }
        if (auto process = readProcess(procDirectory, *pid, entry->d_name)) {
            processes.push_back(std::move(*process));
        }
    }
    statFiles_.endScan();
    // /proc lists processes by pid already; copies of it on other file systems may not.
    std::sort(processes.begin(), processes.end(),
              [](const ProcessSample& a, const ProcessSample& b) { return a.pid < b.pid; });
    lastCount_ = processes.size();
    return processes;
}

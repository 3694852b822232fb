#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

// The /proc/PID/stat files of the processes seen on each scan, kept open from one scan to the
// next and re-read with pread, which costs a third of open/read/close. A descriptor belongs to
// the process directory it was opened in (identified by its inode): a pid handed to a new
// process gets a new directory and so a new descriptor. Descriptors of processes that are gone
// are closed at the end of each scan; past `keepLimit` descriptors, further files are opened,
// read and closed each time, so a machine with huge numbers of processes cannot exhaust the
// descriptor table.
class ProcessStatFiles {
public:
    explicit ProcessStatFiles(std::size_t keepLimit);
    ~ProcessStatFiles();
    ProcessStatFiles(const ProcessStatFiles&) = delete;
    ProcessStatFiles& operator=(const ProcessStatFiles&) = delete;

    void beginScan();
    // The stat text of the process in `pidName` under the directory `procDirectory`, valid
    // until the next read; absent when the process is gone or the file cannot be read.
    std::optional<std::string_view> read(int procDirectory, std::int32_t pid, const char* pidName,
                                         ino_t directoryInode);
    // Closes the descriptors of processes not read since beginScan.
    void endScan();

    std::size_t keptCount() const { return kept_.size(); }

private:
    struct Kept {
        int descriptor = -1;
        ino_t directoryInode = 0;
        std::uint64_t lastScan = 0;
    };

    static int openStat(int procDirectory, const char* pidName);
    std::optional<std::string_view> readAll(int descriptor);
    void forget(std::int32_t pid);

    std::unordered_map<std::int32_t, Kept> kept_;
    std::vector<char> buffer_;
    std::size_t keepLimit_;
    std::uint64_t scan_ = 0;
};

// A sensible bound on kept descriptors for this process: a few thousand, and never more than a
// quarter of its descriptor limit.
std::size_t defaultStatKeepLimit();

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A file read again and again, as /proc and /sys counters are on every poll: the descriptor
// stays open and each read is one pread from offset 0 into a buffer that is kept, which costs
// a third of an open/read/close. A file that cannot be opened is tried again on the next read.
class PreadFile {
public:
    explicit PreadFile(std::filesystem::path path);
    ~PreadFile();
    PreadFile(PreadFile&& other) noexcept;
    PreadFile& operator=(PreadFile&& other) noexcept;
    PreadFile(const PreadFile&) = delete;
    PreadFile& operator=(const PreadFile&) = delete;

    // The whole content as it is now, valid until the next read; absent when it cannot be read.
    std::optional<std::string_view> read();

    const std::filesystem::path& path() const { return path_; }

private:
    void close();

    std::filesystem::path path_;
    int fd_ = -1;
    std::string buffer_;
};

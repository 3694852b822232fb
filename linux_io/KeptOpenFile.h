#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A kernel counter file read once per poll. The descriptor stays open between reads and each
// read starts again at offset 0 with pread into one reused buffer, which costs a fraction of
// open/read/close. A file that cannot be opened is tried again on the next read.
class KeptOpenFile {
public:
    explicit KeptOpenFile(std::string path);
    ~KeptOpenFile();
    KeptOpenFile(KeptOpenFile&& other) noexcept;
    KeptOpenFile& operator=(KeptOpenFile&& other) noexcept;
    KeptOpenFile(const KeptOpenFile&) = delete;
    KeptOpenFile& operator=(const KeptOpenFile&) = delete;

    // The file's whole current content, valid until the next read; empty when unreadable.
    std::optional<std::string_view> read();

    const std::string& path() const { return path_; }

private:
    void close();

    std::string path_;
    int fd_ = -1;
    std::vector<char> buffer_;
};

#pragma once

#include <string>
#include <string_view>
#include <vector>

// A kernel text file kept open across polls and read whole with pread from offset 0, which
// costs a third of open/read/close. Reopens on the next read after any failure.
class PreadFile {
public:
    explicit PreadFile(std::string path);
    ~PreadFile();
    PreadFile(const PreadFile&) = delete;
    PreadFile& operator=(const PreadFile&) = delete;

    // The whole content, valid until the next call; empty when the file cannot be read.
    std::string_view readAll();

private:
    void close();

    std::string path_;
    int fd_ = -1;
    std::vector<char> buffer_;
};

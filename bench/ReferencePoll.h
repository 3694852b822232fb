#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The physical limit of one CPU + memory + network poll: the same kernel files the readers
// use, opened once, re-read with pread into one reused buffer and parsed no further than
// summing their numbers, plus the one getifaddrs call that lists the addresses.
class ReferencePoll {
public:
    explicit ReferencePoll(const std::vector<std::string>& paths);
    ~ReferencePoll();
    ReferencePoll(const ReferencePoll&) = delete;
    ReferencePoll& operator=(const ReferencePoll&) = delete;

    // Returns a checksum so the work cannot be optimised away.
    std::uint64_t run();

private:
    std::vector<int> descriptors_;
    std::vector<char> buffer_;
};

// The files one poll of the CPU, memory and network readers touches on this machine.
std::vector<std::string> referencePollFiles();

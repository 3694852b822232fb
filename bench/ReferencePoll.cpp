#include "ReferencePoll.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <unistd.h>

#include <filesystem>

ReferencePoll::ReferencePoll(const std::vector<std::string>& paths) : buffer_(64 * 1024) {
    for (const auto& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            descriptors_.push_back(fd);
        }
    }
}

ReferencePoll::~ReferencePoll() {
    for (int fd : descriptors_) {
        ::close(fd);
    }
}

std::uint64_t ReferencePoll::run() {
    std::uint64_t checksum = 0;
    for (int fd : descriptors_) {
        const ssize_t length = ::pread(fd, buffer_.data(), buffer_.size(), 0);
        std::uint64_t number = 0;
        for (ssize_t i = 0; i < length; ++i) {
            const char c = buffer_[static_cast<std::size_t>(i)];
            if (c >= '0' && c <= '9') {
                number = number * 10 + static_cast<std::uint64_t>(c - '0');
            } else {
                checksum += number;
                number = 0;
            }
        }
        checksum += number;
    }
    ifaddrs* addresses = nullptr;
    if (::getifaddrs(&addresses) == 0) {
        for (auto* entry = addresses; entry != nullptr; entry = entry->ifa_next) {
            checksum += entry->ifa_addr != nullptr ? entry->ifa_addr->sa_family : 0;
        }
        ::freeifaddrs(addresses);
    }
    return checksum;
}

std::vector<std::string> referencePollFiles() {
    std::vector<std::string> files = {"/proc/stat",          "/proc/loadavg", "/proc/meminfo",
                                      "/proc/vmstat",        "/proc/net/dev", "/proc/net/route",
                                      "/proc/net/ipv6_route"};
    std::error_code error;
    for (const auto& zone : std::filesystem::directory_iterator("/sys/class/thermal", error)) {
        if (zone.path().filename().string().rfind("thermal_zone", 0) == 0) {
            files.push_back(zone.path().string() + "/temp");
        }
    }
    return files;
}

#include "platform/linux/storage/PhysicalDiskFilter.h"

#include "linux_io/SysfsText.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <string>

namespace {

constexpr std::array<std::string_view, 5> kVirtualPrefixes{"dm-", "md", "loop", "ram", "zram"};

bool entryExists(const std::filesystem::path& path) {
    struct stat info {};
    return ::fstatat(AT_FDCWD, path.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace

bool isPhysicalDisk(const std::filesystem::path& root, std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string_view::npos) {
        return false;
    }
    for (std::string_view prefix : kVirtualPrefixes) {
        if (name.starts_with(prefix)) {
            return false;
        }
    }
    // Names with a slash (cciss/c0d0) appear in sysfs with a '!' in its place.
    std::string sysfsName(name);
    for (char& c : sysfsName) {
        if (c == '/') {
            c = '!';
        }
    }
    const std::filesystem::path directory = root / "sys/block" / sysfsName;
    if (!entryExists(directory / "device")) {
        return false;
    }
    const auto hidden = readIntegerFile(directory / "hidden");
    return !(hidden && *hidden == 1);
}

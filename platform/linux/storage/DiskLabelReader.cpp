#include "platform/linux/storage/DiskLabelReader.h"

#include "linux_io/SysfsText.h"

#include <system_error>

std::string decodeUdevEscapes(std::string_view name) {
    std::string decoded;
    decoded.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int high = hexDigitValue(name[i + 2]);
            const int low = hexDigitValue(name[i + 3]);
            if (high >= 0 && low >= 0 && (high | low) != 0) {
                decoded.push_back(static_cast<char>(high * 16 + low));
                i += 3;
                continue;
            }
        }
        decoded.push_back(name[i]);
    }
    return decoded;
}

std::map<std::string, std::string, std::less<>> readDiskLabels(const std::filesystem::path& root) {
    std::map<std::string, std::string, std::less<>> labels;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(root / "dev/disk/by-label", error);
         !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        std::error_code linkError;
        const std::filesystem::path target =
            std::filesystem::read_symlink(entry->path(), linkError);
        if (linkError || target.filename().empty()) {
            continue;
        }
        labels.emplace(target.filename().string(),
                       decodeUdevEscapes(entry->path().filename().string()));
    }
    return labels;
}

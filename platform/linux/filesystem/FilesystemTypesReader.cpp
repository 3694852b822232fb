#include "platform/linux/filesystem/FilesystemTypesReader.h"

#include "linux_io/CounterText.h"
#include "linux_io/SysfsText.h"

std::set<std::string, std::less<>> parseNodevFilesystems(std::string_view text) {
    std::set<std::string, std::less<>> types;
    forEachCompleteLine(text, [&](std::string_view line) {
        // "nodev\tproc" or "\text4": the flag column, a tab, the type.
        const auto tab = line.find('\t');
        if (tab != std::string_view::npos && trimmed(line.substr(0, tab)) == "nodev") {
            const std::string_view type = trimmed(line.substr(tab + 1));
            if (!type.empty()) {
                types.emplace(type);
            }
        }
        return true;
    });
    return types;
}

std::set<std::string, std::less<>> readNodevFilesystems(const std::filesystem::path& root) {
    const auto text = readTextFile(root / "proc/filesystems");
    return text ? parseNodevFilesystems(*text) : std::set<std::string, std::less<>>{};
}

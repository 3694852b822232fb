#include "linux_io/NumberedEntries.h"

#include <algorithm>
#include <charconv>
#include <system_error>

std::vector<NumberedEntry> numberedEntries(const std::filesystem::path& directory,
                                           std::string_view prefix) {
    std::vector<NumberedEntry> entries;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const char* first = name.data() + prefix.size();
        const char* last = name.data() + name.size();
        int number = 0;
        const auto [stop, parseError] = std::from_chars(first, last, number);
        if (parseError != std::errc{} || stop != last || *first == '-' || *first == '+') {
            continue;
        }
        entries.push_back({number, it->path()});
    }
    std::sort(entries.begin(), entries.end(),
              [](const NumberedEntry& a, const NumberedEntry& b) { return a.number < b.number; });
    return entries;
}

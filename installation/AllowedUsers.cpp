#include "installation/AllowedUsers.h"

#include "linux_io/SysfsText.h"
#include "shared/TrustedFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <string_view>

namespace {

// The helper reads no configuration larger than this either.
constexpr off_t kMaxConfigSize = 64 * 1024;

void add(HelperConfig& config, uid_t user) {
    if (std::find(config.allowedUids.begin(), config.allowedUids.end(), user) ==
        config.allowedUids.end()) {
        config.allowedUids.push_back(user);
    }
}

}  // namespace

AllowedUsersUpdate allowUser(const std::filesystem::path& config, uid_t user, uid_t trustedOwner) {
    AllowedUsersUpdate update;
    struct stat status {};
    if (::lstat(config.c_str(), &status) == 0) {
        update.distrusted = !isTrustedFile(status, trustedOwner) || status.st_size > kMaxConfigSize;
        const auto text = update.distrusted ? std::nullopt : readTextFile(config);
        std::string_view rest = text ? std::string_view(*text) : std::string_view();
        while (!rest.empty()) {
            const auto newline = rest.find('\n');
            const std::string_view line = trimmed(rest.substr(0, newline));
            rest =
                newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
            if (line.empty() || line.front() == '#') {
                continue;
            }
            // A line the parser accepts on its own is one allowed user.
            if (const auto one = parseHelperConfig(line)) {
                add(update.config, one->allowedUids.front());
            } else {
                update.droppedLines.emplace_back(line);
            }
        }
    }
    add(update.config, user);
    return update;
}

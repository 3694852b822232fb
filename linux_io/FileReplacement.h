#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

// Who owns a file written by replaceFileAtomically, and with which permissions.
struct FileOwnership {
    mode_t mode = 0644;
    uid_t owner = 0;
    gid_t group = 0;
};

// Replaces `target` with `bytes`: the bytes go to "<folder>/.<name>.new" (any stale file of
// that name is removed first), which gets its owner and mode before it is synced and renamed
// over the target, and the folder is synced after. Whoever reads the target, a crash or a
// full disk included, sees the whole old file or the whole new one, never a mix and never a
// truncated file. The folder must already exist and be writable by no one else: the name of
// the partial file is fixed, so a crash leaves at most one behind, replaced by the next write.
// 0 on success, else the errno of the step that failed; a failure before the rename leaves the
// target untouched and removes the partial file.
int replaceFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                          const FileOwnership& ownership);

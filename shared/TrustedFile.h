#pragma once

#include <sys/stat.h>
#include <sys/types.h>

// A file the helper may rely on: a regular file owned by `trustedOwner` (root outside tests)
// that neither its group nor other users may write.
inline bool isTrustedFile(const struct stat& status, uid_t trustedOwner) {
    return S_ISREG(status.st_mode) && status.st_uid == trustedOwner &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

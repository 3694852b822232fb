#pragma once

#include "shared/HelperConfig.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// The configuration that lets `user` ask the helper: the users the present file allows, in
// their order, with `user` added at the end if it is not among them.
struct AllowedUsersUpdate {
    HelperConfig config;
    // Lines of the present file that are neither comments nor well-formed `allowed-uid` lines;
    // the helper would refuse the whole file for any of them, so they are left out.
    std::vector<std::string> droppedLines;
    // The present file is not one the helper would trust (a link, not a regular file, not
    // owned by `trustedOwner`, writable by others, too large): none of its users are kept,
    // since anyone may have put them there.
    bool distrusted = false;
};

AllowedUsersUpdate allowUser(const std::filesystem::path& config, uid_t user,
                             uid_t trustedOwner = 0);

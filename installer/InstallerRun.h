#pragma once

#include "installation/HelperInstallation.h"

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// One run of the installer, as root: brings the helper, its units and its configuration to
// what this installer would write, letting `user` ask the helper, and has systemd listen on
// the helper's socket. Writes only what differs (a second run changes nothing), each file
// atomically with root as owner; runs systemctl only for what changed or is not running.
struct InstallerRun {
    HelperInstallationPaths paths;
    std::filesystem::path bundledHelper;
    uid_t user = 0;
    // Runs systemctl with these arguments; its exit status, or -1 when it could not be run.
    std::function<int(const std::vector<std::string>&)> systemctl;
    FILE* out = stdout;
    FILE* err = stderr;
};

// True when everything is in place; false after the first step that failed (said on `err`).
bool runHelperInstallation(const InstallerRun& run);

#pragma once

#include "installation/HelperInstallation.h"

#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// One run of the installer, as root: brings the helper, its units and its configuration to
// what this installer would write, letting `user` ask the helper, and has systemd listen on
// the helper's socket. Writes only what differs (a second run changes nothing), each file
// atomically with root as owner; removes copies of the units that hide the package's; runs
// systemctl only for what changed or is not running.
struct InstallerRun {
    HelperInstallationPaths paths;
    std::filesystem::path bundledHelper;
    uid_t user = 0;
    // How long a run waits for another one to finish before it gives up.
    std::chrono::milliseconds lockPatience = std::chrono::seconds(10);
    // Runs systemctl with these arguments; its exit status, or -1 when it could not be run.
    std::function<int(const std::vector<std::string>&)> systemctl;
    FILE* out = stdout;
    FILE* err = stderr;
};

// True when everything is in place; false after the first step that failed (said on `err`).
bool runHelperInstallation(const InstallerRun& run);

// Adds `user` to the helper's configuration under the same lock, the same way, and nothing
// else: no helper, no units, no systemctl. True when the user is listed.
bool allowHelperUser(const InstallerRun& run);

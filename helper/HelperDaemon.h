#pragma once

#include "helper/HelperListener.h"
#include "shared/HelperConfig.h"

#include <string>

struct DaemonOptions {
    std::string configPath = kHelperConfigPath;
    uid_t trustedOwner = 0;
    ListenerLimits limits;
};

// The helper as systemd starts it: takes the one listening Unix stream socket handed over by
// socket activation, reads who may ask from the configuration file, and serves until idle.
// Returns the exit status: 0 after an idle exit, 1 (with one line on standard error) when
// the socket or the configuration is not as required.
int runHelperDaemon(const HelperListener::Collect& collect, const DaemonOptions& options = {});

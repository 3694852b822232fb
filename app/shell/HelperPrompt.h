#pragma once

#include "app/shell/HelperInstallFlow.h"

// The prompt after a failed installation of the sensor helper, run modally: "Try Again" or
// "Skip for Now" (also what closing it means).
HelperPromptAnswer askAfterFailedHelperInstall();

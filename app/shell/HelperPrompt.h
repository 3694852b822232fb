#pragma once

#include "app/shell/HelperInstallFlow.h"

// The prompt after a failed installation of the sensor helper, shown beside the program's
// other windows, never in their way: "Try Again" or "Skip for Now" (also what closing it
// means); when pkexec cannot be run at all, what to install instead and a single "OK". The
// answer reaches `answered` when the prompt closes.
void askAfterFailedHelperInstall(HelperInstallOutcome outcome,
                                 const HelperInstallSteps::Answered& answered);

#pragma once

#include <string>
#include <vector>

// Runs the system's systemctl, found at its absolute path (never through PATH), with the
// arguments, a fixed environment of its own and every signal handled as by default. Its exit
// status, or -1 when there is no systemctl or it could not be started; a program killed by
// signal N gives 128 + N.
int runSystemctl(const std::vector<std::string>& arguments);

#pragma once

#include <string>
#include <string_view>
#include <vector>

// Desktop file ids (without ".desktop") that the systemd unit of a process may name, from the
// text of /proc/PID/cgroup, most likely first. Desktops start each application in a unit named
// app[-<launcher>]-<desktop file id>-<random>.scope or app[-<launcher>]-<desktop file
// id>[@<random>].service, with '-' inside the id escaped as \x2d. Only the process's own unit
// counts, not the slices above it: a terminal's shells sit in their own scopes under the terminal's
// slice. Empty when the unit is not an application's.
std::vector<std::string> desktopIdsFromCgroup(std::string_view cgroupText);

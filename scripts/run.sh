#!/usr/bin/env bash
# Installs the dependencies and runs Vantrel on this machine: the desktop program when there
# is a display, else the sampler `vantrel-sample` (arguments are passed on to it). Builds only
# the program it runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
if [ -n "${DISPLAY:-}" ]; then
  cmake --build --preset default --target vantrel -j"$(nproc)"
  exec build/default/vantrel "$@"
fi
if [ -n "${WAYLAND_DISPLAY:-}" ]; then
  reason="this Wayland session has no XWayland (DISPLAY is not set), and the desktop program places its panels through X11"
else
  reason="there is no display (DISPLAY is not set)"
fi
echo "run.sh: $reason; running the sampler vantrel-sample instead" >&2
cmake --build --preset default --target vantrel-sample -j"$(nproc)"
exec build/default/vantrel-sample "$@"

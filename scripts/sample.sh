#!/usr/bin/env bash
# Installs the dependencies, builds and runs the sampler vantrel-sample on this machine.
# Arguments are passed on, e.g.: scripts/sample.sh --count 3 --interval 1
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vantrel-sample -j"$(nproc)"
exec build/default/vantrel-sample "$@"

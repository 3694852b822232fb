#!/usr/bin/env bash
# Installs the dependencies, builds, and runs Vantrel's sampler on this machine.
# Arguments are passed on, e.g.: scripts/run.sh --count 3 --interval 1
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default
exec build/default/vantrel-sample "$@"

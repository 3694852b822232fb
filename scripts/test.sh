#!/usr/bin/env bash
# Installs the dependencies, builds, and runs the whole test suite: once as shipped, once
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh sanitize
ctest --preset sanitize -j"$(nproc)"
scripts/build.sh default
ctest --preset default -j"$(nproc)"

#!/usr/bin/env bash
# Checks the helper's systemd units: the socket sits where both programs look for it, the
# service runs the helper as installed, the sandbox keeps its narrowest settings, and systemd
# rates the service's exposure 1.0 or lower.
#   tests/packaging_test.sh <source root>
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
units="$root/packaging"
service="$units/org.vantrel.helper.smc.service"
socket="$units/org.vantrel.helper.smc.socket"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

socket_path="$(sed -n 's/.*kSocketPath = "\(.*\)";/\1/p' "$root/shared/HelperService.h")"
label="$(sed -n 's/.*kName = "\(.*\)";/\1/p' "$root/shared/HelperService.h")"
[ -n "$socket_path" ] || fail "no socket path in shared/HelperService.h"
grep -qx "ListenStream=$socket_path" "$socket" || fail "the socket unit does not listen on $socket_path"
grep -qx "Accept=no" "$socket" || fail "the socket unit must hand over one listening socket"
[ "$(basename "$service" .service)" = "$label" ] || fail "the service is not named $label"
grep -q "^ExecStart=.*/OrvikHelper$" "$service" || fail "the service does not run OrvikHelper"

# Settings whose loss would reopen a closed hole. Comments do not count.
settings="$(grep -v '^[[:space:]]*#' "$service")"
has() { printf '%s\n' "$settings" | grep -q "$@"; }
has -i "CAP_SYS_PTRACE" && fail "CAP_SYS_PTRACE is back; the helper looks into no process"
has -x "CapabilityBoundingSet=" || fail "the service keeps capabilities"
for call in process_vm_readv process_vm_writev io_uring_setup io_uring_enter io_uring_register \
            kcmp userfaultfd; do
  has -E "^SystemCallFilter=~.*\b$call\b" || fail "the system-call filter does not deny $call"
  has -E "^SystemCallFilter=[^~].*\b$call\b" && fail "the system-call filter allows $call by name"
done
has -x "TemporaryFileSystem=/etc:ro" || fail "/etc is not hidden from the service"
writable="$(printf '%s\n' "$settings" | sed -n 's/^ReadWritePaths=//p')"
[ "$writable" = "-/sys/devices/platform/applesmc.768/key_at_index" ] ||
  fail "the writable paths are not just the applesmc key selector: $writable"

if ! command -v systemd-analyze > /dev/null ||
   ! systemd-analyze security --help 2>/dev/null | grep -q -- "--offline"; then
  if [ -n "${CI:-}" ]; then
    echo "FAIL: systemd-analyze with --offline is missing in CI (scripts/install-deps.sh adds it)" >&2
    exit 1
  fi
  echo "SKIPPED: systemd-analyze with --offline is not installed (scripts/install-deps.sh adds it)"
  exit 77
fi
report="$(systemd-analyze security --offline=true --no-pager "$service" 2>&1)" || true
exposure="$(printf '%s\n' "$report" | sed -n 's/.*Overall exposure level for .*: \([0-9.]*\) .*/\1/p')"
if [ -z "$exposure" ]; then
  printf '%s\n' "$report" >&2
  fail "systemd-analyze gave no exposure level"
elif ! awk -v level="$exposure" 'BEGIN { exit !(level <= 1.0) }'; then
  printf '%s\n' "$report" | grep "✗" >&2 || true
  fail "exposure level $exposure is above 1.0"
else
  echo "exposure level $exposure"
fi
[ "$failures" -eq 0 ]

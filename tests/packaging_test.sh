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

# The maintainer script after an upgrade over copies of the units in /etc/systemd/system, in a
# private mount namespace: tmpfs over every folder it may touch, and no systemd running.
postinst_over_copies() {
  unshare --mount --propagation private sh -s "$units" <<'SCRIPT'
set -e
units="$1"
for folder in /etc/systemd/system /usr/lib/systemd/system /run /var/lib; do
  mount -t tmpfs -o mode=0755 tmpfs "$folder"
done
cp "$units/org.vantrel.helper.smc.socket" "$units/org.vantrel.helper.smc.service" \
  /usr/lib/systemd/system/
# An older service without the sandbox, and an exact copy of the socket, enabled.
printf '[Service]\nExecStart=/usr/libexec/vantrel/OrvikHelper\n' \
  > /etc/systemd/system/org.vantrel.helper.smc.service
cp "$units/org.vantrel.helper.smc.socket" /etc/systemd/system/
mkdir /etc/systemd/system/sockets.target.wants
ln -s /etc/systemd/system/org.vantrel.helper.smc.socket /etc/systemd/system/sockets.target.wants/
status=0
DPKG_MAINTSCRIPT_PACKAGE=vantrel DPKG_MAINTSCRIPT_NAME=postinst \
  sh "$units/postinst" configure 0.9.0 2>&1 || status=$?
echo "exit status $status"
for unit in org.vantrel.helper.smc.socket org.vantrel.helper.smc.service; do
  [ ! -e "/etc/systemd/system/$unit" ] || echo "left in place: /etc/systemd/system/$unit"
done
SCRIPT
}
if [ "$(id -u)" -eq 0 ] && command -v unshare > /dev/null; then
  postinst_report="$(postinst_over_copies 2>&1)" || true
  printf '%s\n' "$postinst_report" | grep -qx "exit status 0" ||
    fail "postinst failed over copies of the units: $postinst_report"
  printf '%s\n' "$postinst_report" | grep -q "left in place" &&
    fail "postinst keeps copies that hide the package's units: $postinst_report"
  for unit in org.vantrel.helper.smc.socket org.vantrel.helper.smc.service; do
    printf '%s\n' "$postinst_report" | grep -q "removed /etc/systemd/system/$unit" ||
      fail "postinst does not name the copy of $unit it removed: $postinst_report"
  done
elif [ -n "${CI:-}" ]; then
  fail "the maintainer scripts' check needs root and unshare in CI"
else
  echo "SKIPPED (in part): the maintainer scripts' check needs root and unshare"
fi

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

#!/usr/bin/env bash
# Checks the helper's systemd units: the socket sits where both programs look for it, the
# service runs the helper as installed, the sandbox keeps its narrowest settings, and systemd
# rates the service's exposure 1.0 or lower. The exporter's unit ships, runs as its own user
# on loopback, is not enabled by the package, and stays at an exposure of 1.2 or lower; the
# package's postinst makes that user and lists it in helper.conf, once, and a purge removes it.
#   tests/packaging_test.sh <source root> [<vantrel-helper-installer>]
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
installer="${2:-}"
units="$root/packaging"
service="$units/org.vantrel.helper.smc.service"
socket="$units/org.vantrel.helper.smc.socket"
exporter="$units/vantrel-exporter.service"
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

# The exporter's unit: shipped, its own user, loopback, never enabled by the package.
exporter_settings="$(grep -v '^[[:space:]]*#' "$exporter")"
printf '%s\n' "$exporter_settings" | grep -qx "User=vantrel-exporter" ||
  fail "the exporter does not run as vantrel-exporter"
printf '%s\n' "$exporter_settings" | grep -qx "ExecStart=/usr/bin/vantrel-sample --serve 127.0.0.1:9839 --interval 2" ||
  fail "the exporter does not serve on 127.0.0.1:9839"
# The server keeps up to mostConnections sockets open; the unit's descriptors must outnumber
# them, with room for the program's own files.
connections="$(sed -n 's/.*int mostConnections = \([0-9]*\);.*/\1/p' "$root/exporter/ConnectionLimits.h")"
descriptors="$(printf '%s\n' "$exporter_settings" | sed -n 's/^LimitNOFILE=//p')"
[ -n "$connections" ] && [ -n "$descriptors" ] && [ "$descriptors" -ge $((connections + 64)) ] ||
  fail "LimitNOFILE=$descriptors leaves no room for the server's $connections connections"
grep -q 'vantrel-exporter.service' "$root/cmake/DebianPackage.cmake" ||
  fail "the package does not ship vantrel-exporter.service"
grep -v '^[[:space:]]*#' "$units/postinst" |
  grep -E '(enable|[[:space:]]start[[:space:]]).*exporter|exporter.*[[:space:]](enable|start)[[:space:]]' &&
  fail "postinst enables or starts the exporter; it must stay off until an administrator enables it"

# The maintainer scripts in a private mount namespace: tmpfs over every folder they may touch
# (all of /etc, with a passwd of root alone), and no systemd running. First an upgrade over
# copies of the helper's units in /etc/systemd/system, then a second configuration, a purge.
postinst_over_copies() {
  unshare --mount --propagation private sh -s "$units" "$installer" <<'SCRIPT'
set -e
units="$1"
installer="$2"
for folder in /etc /usr/lib/systemd/system /usr/lib/sysusers.d /usr/libexec /run /var/lib; do
  mount -t tmpfs -o mode=0755 tmpfs "$folder"
done
printf 'root:x:0:0:root:/root:/bin/sh\n' > /etc/passwd
printf 'root:x:0:\n' > /etc/group
mkdir -p /etc/systemd/system /usr/libexec/vantrel
cp "$units/vantrel-exporter.sysusers" /usr/lib/sysusers.d/vantrel-exporter.conf
[ -z "$installer" ] || cp "$installer" /usr/libexec/vantrel/vantrel-helper-installer
cp "$units/org.vantrel.helper.smc.socket" "$units/org.vantrel.helper.smc.service" \
  "$units/vantrel-exporter.service" /usr/lib/systemd/system/
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
uid="$(getent passwd vantrel-exporter | cut -d: -f3)"
echo "exporter user: $(getent passwd vantrel-exporter | cut -d: -f6,7)"
find /etc/systemd/system -name vantrel-exporter.service | sed 's/^/enabled: /'
[ -z "$installer" ] && exit 0
DPKG_MAINTSCRIPT_PACKAGE=vantrel DPKG_MAINTSCRIPT_NAME=postinst \
  sh "$units/postinst" configure 0.9.0 > /dev/null 2>&1
echo "allowed: $(grep '^allowed-uid' /etc/vantrel/helper.conf | tr '\n' ' ')(the exporter is $uid)"
DPKG_MAINTSCRIPT_PACKAGE=vantrel DPKG_MAINTSCRIPT_NAME=postrm sh "$units/postrm" purge > /dev/null 2>&1
[ ! -e /etc/vantrel/helper.conf ] || echo "helper.conf is left after a purge"
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
  printf '%s\n' "$postinst_report" | grep -qx "exporter user: /nonexistent:/usr/sbin/nologin" ||
    fail "postinst did not make the exporter's user without home and login: $postinst_report"
  printf '%s\n' "$postinst_report" | grep -q "^enabled: " &&
    fail "postinst enabled the exporter: $postinst_report"
  if [ -n "$installer" ]; then
    printf '%s\n' "$postinst_report" | grep -Eqx "allowed: allowed-uid = ([0-9]+) \(the exporter is \1\)" ||
      fail "helper.conf does not list the exporter's user once after two configurations: $postinst_report"
    printf '%s\n' "$postinst_report" | grep -q "left after a purge" &&
      fail "a purge keeps helper.conf: $postinst_report"
  fi
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
# (unit file, highest exposure allowed)
for rated in "$service 1.0" "$exporter 1.2"; do
  read -r unit ceiling <<< "$rated"
  report="$(systemd-analyze security --offline=true --no-pager "$unit" 2>&1)" || true
  exposure="$(printf '%s\n' "$report" | sed -n 's/.*Overall exposure level for .*: \([0-9.]*\) .*/\1/p')"
  if [ -z "$exposure" ]; then
    printf '%s\n' "$report" >&2
    fail "systemd-analyze gave no exposure level for $(basename "$unit")"
  elif ! awk -v level="$exposure" -v ceiling="$ceiling" 'BEGIN { exit !(level <= ceiling) }'; then
    printf '%s\n' "$report" | grep "✗" >&2 || true
    fail "$(basename "$unit"): exposure level $exposure is above $ceiling"
  else
    echo "$(basename "$unit"): exposure level $exposure"
  fi
done
[ "$failures" -eq 0 ]

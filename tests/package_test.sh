#!/usr/bin/env bash
# Makes the Debian package from this build's programs (cpack, as `--target package` does) and
# checks its file list with owners and modes, its control fields, its maintainer scripts, the
# polkit action's program, and that lintian --pedantic reports no error and no warning.
#   tests/package_test.sh <build folder> <source root>
set -euo pipefail
build="$1"
root="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack could not make the package" >&2
  exit 1
fi
version="$(sed -n 's/^project(Vantrel VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")"
architecture="$(dpkg --print-architecture)"
deb="$work/vantrel_${version}_${architecture}.deb"
[ -f "$deb" ] || { ls "$work" >&2; echo "FAIL: no $(basename "$deb")" >&2; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Every file with its owner and mode; directories only as far as they hold the files.
expected="$(cat <<'LIST'
-rwxr-xr-x root/root ./usr/bin/vantrel
-rwxr-xr-x root/root ./usr/bin/vantrel-sample
-rw-r--r-- root/root ./usr/lib/systemd/system/org.vantrel.helper.smc.service
-rw-r--r-- root/root ./usr/lib/systemd/system/org.vantrel.helper.smc.socket
-rw-r--r-- root/root ./usr/lib/systemd/system/vantrel-exporter.service
-rw-r--r-- root/root ./usr/lib/sysusers.d/vantrel-exporter.conf
-rwxr-xr-x root/root ./usr/libexec/vantrel/OrvikHelper
-rwxr-xr-x root/root ./usr/libexec/vantrel/vantrel-helper-installer
-rw-r--r-- root/root ./usr/share/applications/vantrel.desktop
-rw-r--r-- root/root ./usr/share/doc/vantrel/HELPER_SERVICE.md
-rw-r--r-- root/root ./usr/share/doc/vantrel/README.md
-rw-r--r-- root/root ./usr/share/doc/vantrel/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/vantrel/copyright
-rw-r--r-- root/root ./usr/share/doc/vantrel/vantrel-alerts.yml
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/vantrel.svg
-rw-r--r-- root/root ./usr/share/man/man1/vantrel-sample.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/vantrel.1.gz
-rw-r--r-- root/root ./usr/share/polkit-1/actions/org.vantrel.helper.install.policy
LIST
)"
listing="$(dpkg-deb -c "$deb")"
files="$(printf '%s\n' "$listing" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | LC_ALL=C sort -k3,3)"
[ "$files" = "$expected" ] || fail "files differ from the list:
$(diff <(printf '%s\n' "$expected") <(printf '%s\n' "$files") || true)"
odd_dirs="$(printf '%s\n' "$listing" | awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root")')"
[ -z "$odd_dirs" ] || fail "directories not root's with mode 0755: $odd_dirs"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vantrel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), the project is $version"
[ "$(field Architecture)" = "$architecture" ] || fail "Architecture: $(field Architecture)"
# The change log's latest entry names the package's version.
changelog="$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/vantrel/changelog.gz | gzip -dc)"
[ "$(printf '%s\n' "$changelog" | head -1)" = "vantrel ($version) unstable; urgency=medium" ] ||
  fail "the change log's latest entry is not $version: $(printf '%s\n' "$changelog" | head -1)"
depends="$(field Depends)"
for package in pkexec dbus fonts-material-design-icons-iconfont systemd-sysusers libc6 libstdc++6 libqt6core6 \
               libqt6widgets6 libqt6dbus6 libsystemd0 libxcb1; do
  printf '%s\n' "$depends" | tr ',' '\n' | grep -q "^ *$package\b" || fail "Depends lacks $package: $depends"
done
for name in Maintainer Section Priority Description Installed-Size; do
  [ -n "$(field "$name")" ] || fail "no $name field"
done

dpkg-deb -e "$deb" "$work/control"
for script in postinst prerm postrm; do
  [ -x "$work/control/$script" ] || fail "no executable $script"
  sh -n "$work/control/$script" || fail "$script does not parse"
  # Only where systemd runs the system does a script talk to it.
  if grep -v '^ *#' "$work/control/$script" | grep -q 'systemctl\|deb-systemd-invoke' &&
     ! grep -q '\[ -d /run/systemd/system \]' "$work/control/$script"; then
    fail "$script talks to systemd without asking whether it runs"
  fi
done

installer="$(grep -o '"/usr/libexec/vantrel/[^"]*"' "$root/installation/HelperInstallation.h" | tr -d '"')"
policy="$(dpkg-deb --fsys-tarfile "$deb" |
  tar -xOf - ./usr/share/polkit-1/actions/org.vantrel.helper.install.policy)"
printf '%s\n' "$policy" | grep -q "<annotate key=\"org.freedesktop.policykit.exec.path\">$installer</annotate>" ||
  fail "the polkit action does not name $installer"
printf '%s\n' "$policy" | grep -q "<allow_active>auth_admin_keep</allow_active>" ||
  fail "the polkit action does not keep the administrator's answer in an active session"

if ! command -v lintian > /dev/null; then
  if [ -n "${CI:-}" ]; then
    echo "FAIL: lintian is missing in CI (scripts/install-deps.sh adds it)" >&2
    exit 1
  fi
  echo "SKIPPED: lintian is not installed (scripts/install-deps.sh adds it)"
  exit 77
fi
report="$(lintian --pedantic --display-info --tag-display-limit 0 "$deb" 2>&1)" || true
printf '%s\n' "$report"
if printf '%s\n' "$report" | grep -q '^[EW]: '; then
  fail "lintian reports errors or warnings"
fi
[ "$failures" -eq 0 ]

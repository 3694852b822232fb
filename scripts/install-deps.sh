#!/usr/bin/env bash
# Installs what building, running and testing Vantrel needs on Debian 12.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-httpserver-dev qcoro-qt6-dev zlib1g-dev
  libnl-3-dev libnl-genl-3-dev libsystemd-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  iproute2 procps python3 dbus-daemon
  clang libclang-rt-dev systemd util-linux mount e2fsprogs coreutils
  libxcb1-dev libxcb-xinput-dev libxcb-keysyms1-dev libxkbcommon-dev
  fonts-dejavu-core fonts-material-design-icons-iconfont
  xvfb xdotool x11-utils libx11-6 trayer imagemagick python3-dbus python3-gi poppler-utils
  at-spi2-core gir1.2-atspi-2.0
  file lintian pkexec
  dbus-bin openbox lxqt-panel mate-panel tint2 xfce4-panel xfwm4
  gnome-shell gnome-shell-extension-appindicator libglib2.0-bin
  sway xwayland waybar grim passwd
  prometheus prometheus-node-exporter
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"

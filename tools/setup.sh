#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and playing need, if missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
  scowl liblz4-dev zlib1g-dev xvfb xauth imagemagick pulseaudio pulseaudio-utils sox
  libqt6multimedia6 qt6-qpa-plugins fonts-dejavu-core
  dpkg-dev file desktop-file-utils appstream man-db lintian systemd
  at-spi2-core python3-pyatspi dbus-daemon)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and playing need, if missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
  scowl wfrench wngerman wspanish witalian wportuguese wbrazilian wdutch wcatalan wdanish
  wswedish wnorwegian wpolish liblz4-dev zlib1g-dev xvfb xauth imagemagick pulseaudio pulseaudio-utils sox
  libqt6multimedia6 qt6-qpa-plugins fonts-dejavu-core fonts-dejavu-extra
  python3 dpkg-dev file desktop-file-utils appstream man-db lintian systemd
  at-spi2-core python3-pyatspi dbus-daemon
  libavahi-client-dev avahi-daemon avahi-utils iproute2 lld
  libssl-dev openssl libsodium-dev libqt6sql6-sqlite libqt6sql6-psql postgresql qt6-charts-dev libqt6opengl6-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  # The Avahi daemon is only ever started by the tests, inside a network namespace of
  # their own: installing it must not start it on this machine's interfaces, so service
  # starts are refused while packages go in.
  policy=/usr/sbin/policy-rc.d
  placed=""
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
    $sudo chmod 755 "$policy"
    placed=1
  fi
  status=0
  # dpkg without a disk flush after every file: a fresh machine's set-up unpacks some 600
  # packages.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    -o Dpkg::Options::=--force-unsafe-io "${missing[@]}" || status=$?
  [ -z "$placed" ] || $sudo rm -f "$policy"
  # Should a daemon have been started all the same, stop it at once.
  if pgrep -x avahi-daemon >/dev/null 2>&1; then
    for pid in $(pgrep -x avahi-daemon); do
      [ "$(readlink "/proc/$pid/ns/net")" = "$(readlink /proc/self/ns/net)" ] && $sudo kill "$pid" || true
    done
  fi
  [ "$status" -eq 0 ] || exit "$status"
fi

#!/usr/bin/env bash
# What a screen reader sees: starts a session bus, the accessibility bus and an X server of
# its own, runs the real window with Qt's AT-SPI bridge switched on, and walks the tree.
# Exit 77 (skipped) only when the machine cannot provide these; it says why.
set -u
program=${1:?usage: atspi_tree.sh QUORBIT_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
launcher=/usr/libexec/at-spi-bus-launcher
skip() { echo "SKIPPED: $*"; exit 77; }
[ -x "$program" ] || { echo "no program at $program"; exit 1; }
program=$(realpath "$program")
command -v dbus-run-session >/dev/null || skip "dbus-run-session is missing (Debian package dbus-daemon)"
command -v Xvfb >/dev/null || skip "Xvfb is missing (Debian package xvfb)"
[ -x "$launcher" ] || skip "$launcher is missing (Debian package at-spi2-core)"
"$python" -c 'import pyatspi' 2>/dev/null || skip "pyatspi is missing (Debian package python3-pyatspi)"

work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" HOME="$work" QUORBIT_DATA_DIR="$work"
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
cd "$work"
# The X server picks a free display itself and writes its number, so parallel runs never collide.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
timeout 50 dbus-run-session -- "$python" "$here/atspi_tree.py" "$program" "$launcher"

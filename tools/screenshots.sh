#!/usr/bin/env bash
# Plays a short solo game in a real window under Xvfb and saves the README's pictures
# into docs/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs}
build=${BUILD_DIR:-build/screens}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBIT_TESTS=OFF -DQUORBIT_BENCH=OFF >/dev/null
cmake --build "$build" -j 2 --target quorbit-screens
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/app/quorbit-screens" "$PWD/$out"
# The focus square of keyboard play, at scale 1 and 2.
xvfb-run -a -s "-screen 0 1024x768x24" env QT_SCALE_FACTOR=1 "$build/app/quorbit-screens" "$PWD/$out" keyboard
xvfb-run -a -s "-screen 0 1700x1250x24" env QT_SCALE_FACTOR=2 "$build/app/quorbit-screens" "$PWD/$out" keyboard
# The window's sizes: as it opens, filling a 1920x1080 screen, and at scale factor 2.
xvfb-run -a -s "-screen 0 1920x1080x24" env QT_SCALE_FACTOR=1 "$build/app/quorbit-screens" "$PWD/$out" sizes
xvfb-run -a -s "-screen 0 1920x1250x24" env QT_SCALE_FACTOR=2 "$build/app/quorbit-screens" "$PWD/$out" sizes
# The Join window with a password typed.
xvfb-run -a -s "-screen 0 1024x768x24" "$build/app/quorbit-screens" "$PWD/$out" password

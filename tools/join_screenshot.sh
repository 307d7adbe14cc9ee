#!/usr/bin/env bash
# Photographs the Join a Game window listing an announced game, into docs/ (or the folder
# given). The game is announced through a real Avahi daemon that runs in a network
# namespace of its own (the harness of the announcement test), never on this machine's
# interfaces; needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs}
build=${BUILD_DIR:-build/screens}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBIT_TESTS=OFF -DQUORBIT_BENCH=OFF >/dev/null
cmake --build "$build" -j 2 --target quorbit quorbit-screens
QT_QPA_PLATFORM=xcb bash tests/live/avahi_netns.sh xvfb-run -a -s "-screen 0 1024x768x24" \
  "$PWD/$build/app/quorbit-screens" "$PWD/$out" join

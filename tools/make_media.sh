#!/usr/bin/env bash
# Makes the game's sound cues (assets/sounds), tile sets (assets/tiles) and icon
# (assets/icons) again from their generators. The outputs are committed; run this after changing a generator.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/media-tools
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBIT_TESTS=OFF -DQUORBIT_BENCH=OFF >/dev/null
cmake --build "$build" -j 2 --target quorbit_mksounds quorbit_mktiles quorbit_mkicon
"$build"/app/quorbit_mksounds assets/sounds
QT_QPA_PLATFORM=offscreen "$build"/app/quorbit_mktiles assets/tiles
QT_QPA_PLATFORM=offscreen "$build"/app/quorbit_mkicon assets/icons
echo "assets/sounds, assets/tiles and assets/icons written"

#!/usr/bin/env bash
# Builds the Debian package of the game:
#   tools/package.sh              configures and builds build/package (Release), then packs it
#   tools/package.sh BUILD_DIR    packs an existing, fully built build folder instead
# The package is written to the build folder as quorbit_VERSION_ARCH.deb and its path is
# printed last. Install it with: sudo apt install ./build/package/quorbit_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ge 1 ]; then
  build=$1
else
  build=build/package
  tools/setup.sh
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBIT_TESTS=OFF -DQUORBIT_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)"
fi
[ -f "$build/CPackConfig.cmake" ] || { echo "package.sh: $build is not a configured build folder" >&2; exit 2; }
build=$(cd "$build" && pwd)
rm -f "$build"/quorbit_*.deb
(cd "$build" && cpack -G DEB --config CPackConfig.cmake >/dev/null)
deb=$(ls "$build"/quorbit_*.deb)
echo "$deb"

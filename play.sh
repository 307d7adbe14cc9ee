#!/usr/bin/env bash
# Installs what is missing, builds Quorbit and starts a solo game against Zubo.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
# A unity build (several source files compiled as one) linked with lld: the first build is the
# newcomer's wait.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBIT_TESTS=OFF -DQUORBIT_BENCH=OFF \
  -DCMAKE_UNITY_BUILD=ON -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld >/dev/null
cmake --build build/release --target quorbit
exec build/release/app/quorbit "$@"

#!/usr/bin/env bash
# Installs what is missing, builds Quorbit and starts a solo game against Zubo.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBIT_TESTS=OFF -DQUORBIT_BENCH=OFF >/dev/null
cmake --build build/release --target quorbit
exec build/release/app/quorbit "$@"

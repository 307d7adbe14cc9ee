#!/usr/bin/env bash
# Measures how long `quorbit` takes from start to a logged-in solo game (server, word
# file and login included) and how much CPU a running solo game uses while nobody moves.
#   tools/startup_time.sh [Google Benchmark options, e.g. --benchmark_filter=Solo]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build/bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBIT_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target quorbit bench_app_startup
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
exec "$build/bench/bench_app_startup" "$@"

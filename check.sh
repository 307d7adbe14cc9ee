#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite:
#   1. the optimised build and every test, then its Debian package installed and run;
#   2. the AddressSanitizer + UndefinedBehaviorSanitizer build and every test;
#   3. a short libFuzzer pass over every fuzz target (clang).
# Set FUZZ_SECONDS to change the time given to each fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
# Each phase is announced with the clock, the minutes since the start and the processor time
# (user + system) of everything run so far: on a shared machine the latter says what a
# phase costs.
started=$(date +%s)
phase() {
  local cpu
  # The shell's own builtin, so that it counts this shell's children (a subshell's would not).
  times >"$XDG_RUNTIME_DIR/check-times"
  cpu=$(tail -n 1 "$XDG_RUNTIME_DIR/check-times" | awk '{ split($1, u, "m"); split($2, s, "m"); print (u[1] * 60 + u[2] + s[1] * 60 + s[2]) / 60 }')
  awk -v name="$1" -v clock="$(date +%T)" -v wall="$(( $(date +%s) - started ))" -v cpu="$cpu" \
    'BEGIN { printf "\n=== %s (%s; %.1f min since the start, %.1f min of processor time)\n", name, clock, wall / 60, cpu }'
}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
export QT_QPA_PLATFORM=offscreen
phase "set-up"
tools/setup.sh
jobs=$(nproc)

# All three builds compile several source files as one (a unity build: the headers are read
# once per batch) and link with lld, which links the many test programs several times faster
# than the default linker.
fast=(-DCMAKE_UNITY_BUILD=ON -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)

phase "optimised build"
# -O2 without debugging information: the package is built without it too, and the build
# takes a third less time. The benchmarks are not built here: no test runs them.
cmake -S . -B build/check -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG" -DQUORBIT_BENCH=OFF "${fast[@]}" >/dev/null
cmake --build build/check -j "$jobs"
phase "tests"
# Most tests wait on sockets, processes and timers rather than compute: twice as many at once
# as there are processors keeps the processors busy.
ctest --test-dir build/check -j "$((jobs * 2))" --output-on-failure --timeout 300
phase "Debian package: built from the optimised build, installed and run"
tests/package/install_test.sh build/check

phase "sanitizer build"
# Line tables are all a sanitizer report needs for file and line, at a fraction of the build
# time of full debugging information. Only what the tests run is built.
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 \
  -DQUORBIT_SANITIZE=ON -DQUORBIT_BENCH=OFF -DQUORBIT_DEV_TOOLS=OFF "${fast[@]}" >/dev/null
cmake --build build/asan -j "$jobs"
phase "tests under AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/asan -j "$((jobs * 2))" --output-on-failure --timeout 600

phase "fuzz build"
# -O1 with line tables, as libFuzzer's own documentation builds its targets.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" \
  -DQUORBIT_FUZZ=ON "${fast[@]}" >/dev/null
cmake --build build/fuzz -j "$jobs"
phase "fuzz pass"
seconds=${FUZZ_SECONDS:-8}
# One target per processor at a time; each writes its output and its exit status to files of
# its own, shown in order once all have ended.
fuzzlogs=build/fuzz/logs
rm -rf "$fuzzlogs"
mkdir -p "$fuzzlogs"
fuzz_one() {
  local target=$1 name corpus seeds=()
  name=$(basename "$target")
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  [ -d "fuzz/seeds/${name#fuzz_}" ] && seeds=("fuzz/seeds/${name#fuzz_}")
  local status=0
  "$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" "${seeds[@]}" >"$fuzzlogs/$name.log" 2>&1 || status=$?
  echo "$status" >"$fuzzlogs/$name.status"
}
targets=()
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] && targets+=("$target")
done
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$target" &
done
wait
failed=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  echo "fuzzed $name for ${seconds}s"
  if [ "$(cat "$fuzzlogs/$name.status" 2>/dev/null)" = 0 ]; then
    tail -n 2 "$fuzzlogs/$name.log"
  else
    cat "$fuzzlogs/$name.log"
    failed=1
  fi
done
[ "$failed" -eq 0 ] || { echo "a fuzz target failed (its output is above)"; exit 1; }
phase "all checks passed"

#!/usr/bin/env bash
# Measures what idle headless servers cost: starts COUNT `quorbit --server` processes on
# distinct loopback-reachable ports, lets them settle, then reports over SECONDS the CPU
# they used together (user + system, from /proc/PID/stat) as a share of one core, and
# their memory as proportional set size (from /proc/PID/smaps_rollup).
#   tools/idle_servers.sh [COUNT=100] [SECONDS=20]
# BUILD_DIR names the build to use (default build/dev); BASE_PORT the first port.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-100}
seconds=${2:-20}
build=${BUILD_DIR:-build/dev}
program="$build/app/quorbit"
base=${BASE_PORT:-$((20000 + RANDOM % 20000))}
[ -x "$program" ] || cmake --build "$build" -j 2 --target quorbit >/dev/null

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=offscreen
pids=()
stop_all() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap stop_all EXIT

for ((i = 0; i < count; i++)); do
    (cd "$work" && exec "$OLDPWD/$program" --server --port $((base + i)) 2>"$work/log.$i") &
    pids+=("$!")
done

# Every server must be listening (and past its start-up work) before measuring.
for ((i = 0; i < count; i++)); do
    for ((t = 0; t < 100; t++)); do
        grep -q "listening on port" "$work/log.$i" 2>/dev/null && break
        sleep 0.1
    done
    if ! grep -q "listening on port" "$work/log.$i" 2>/dev/null; then
        echo "server $i (port $((base + i))) did not start:" >&2
        cat "$work/log.$i" >&2
        exit 1
    fi
done
sleep 2

ticks() {  # user + system clock ticks of all servers
    local sum=0 pid stat
    for pid in "${pids[@]}"; do
        stat=$(<"/proc/$pid/stat")
        stat=${stat##*) }
        read -r -a f <<<"$stat"
        sum=$((sum + f[11] + f[12]))
    done
    echo "$sum"
}

before=$(ticks)
start=$(date +%s.%N)
sleep "$seconds"
after=$(ticks)
end=$(date +%s.%N)
hz=$(getconf CLK_TCK)

pss=0
for pid in "${pids[@]}"; do
    kb=$(awk '/^Pss:/ { print $2; exit }' "/proc/$pid/smaps_rollup")
    pss=$((pss + kb))
done

awk -v n="$count" -v t0="$start" -v t1="$end" -v d=$((after - before)) -v hz="$hz" -v pss="$pss" 'BEGIN {
    wall = t1 - t0
    cpu = d / hz
    printf "%d idle servers for %.1f s: CPU %.2f s = %.2f%% of one core in all (%.3f%% each)\n",
           n, wall, cpu, 100 * cpu / wall, 100 * cpu / wall / n
    printf "memory: %.0f MB PSS in all (%.1f MB each)\n", pss / 1024, pss / 1024 / n
}'

#!/usr/bin/env bash
# Photographs the lobby window in the lobby of a real table server (on a loopback port)
# with a few tables and people, into docs/lobby.png (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs}
build=${BUILD_DIR:-build/dev}
cmake --build "$build" -j 2 --target quorbit orvanelobby
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work QUORBIT_DATA_DIR=$work DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
(cd "$work" && exec "$OLDPWD/$build/app/quorbit" --server --port "$port") >"$work/server.log" 2>&1 &
server=$!
people=
trap 'kill $server ${people:-} 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do grep -q listening "$work/server.log" && break; sleep 0.1; done
python3 tools/lobby_people.py "$port" Zed &
people=$!
sleep 2
xvfb-run -a -s "-screen 0 940x640x24" bash -c "
  '$build/app/orvanelobby' --server 127.0.0.1:$port --player Zed --link-port 0 >/dev/null &
  sleep 4; import -window root '$out/lobby.png'; kill %1"
echo "wrote $out/lobby.png"

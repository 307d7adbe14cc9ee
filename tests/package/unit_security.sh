#!/bin/sh
# The game server's systemd unit, scored by systemd's own offline security analysis: the
# overall exposure must stay below 2.0. Skipped (77) only where systemd-analyze is missing.
# Usage: unit_security.sh path/to/quorbit-server@.service
set -eu
unit=$1
if ! command -v systemd-analyze >/dev/null 2>&1; then
    echo "systemd-analyze is missing (tools/setup.sh installs systemd): not checked"
    exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# Scored as an instance, the way it runs: quorbit-server@7772.
cp "$unit" "$dir/quorbit-server@7772.service"
# The threshold is in tenths: 19 fails any score of 2.0 or more.
if systemd-analyze security --offline=yes --no-pager --threshold=19 "$dir/quorbit-server@7772.service" >"$dir/out" 2>&1; then
    status=0
else
    status=1
fi
grep -v '✓' "$dir/out" || true
score=$(sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p' "$dir/out")
if [ -z "$score" ]; then
    echo "no exposure level in the analysis"
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "exposure $score: it must stay below 2.0"
    exit 1
fi
echo "exposure $score (below 2.0)"

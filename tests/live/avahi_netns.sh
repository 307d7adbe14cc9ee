#!/usr/bin/env bash
# Runs the announcement test ($1, a test program) against a real Avahi daemon that lives
# in a network namespace made here: one veth pair with both ends inside it, a private
# system bus, and the daemon restricted to those two interfaces. Nothing reaches the
# machine's own interfaces. Exit 77 (a skip) only where a namespace cannot be made.
set -u
probe="$1"

skip() {
  echo "SKIP: $*"
  exit 77
}

[ "$(id -u)" -eq 0 ] || skip "making a network namespace needs root"
for tool in ip unshare mount dbus-daemon avahi-daemon avahi-browse; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing (tools/setup.sh installs it)"; exit 1; }
done

ns="quorbit-avahi-$$"
work=$(mktemp -d /tmp/quorbit-avahi.XXXXXX)
bus_pid=""
avahi_pid=""

cleanup() {
  # Everything in the namespace was started by this script: the daemons and any game
  # the test left behind.
  for pid in $(ip netns pids "$ns" 2>/dev/null) $avahi_pid $bus_pid; do
    kill "$pid" 2>/dev/null
  done
  sleep 0.2
  for pid in $(ip netns pids "$ns" 2>/dev/null); do
    kill -9 "$pid" 2>/dev/null
  done
  ip netns del "$ns" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

ip netns add "$ns" 2>"$work/netns.err" || skip "no network namespace can be made here: $(cat "$work/netns.err")"
ip -n "$ns" link set lo up
ip -n "$ns" link add qa0 type veth peer name qa1 || skip "no veth pair can be made in the namespace"
ip -n "$ns" addr add 10.77.0.1/24 dev qa0
ip -n "$ns" addr add 10.77.0.2/24 dev qa1
ip -n "$ns" link set qa0 up
ip -n "$ns" link set qa1 up

cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
CONF

cat >"$work/avahi.conf" <<CONF
[server]
host-name=quorbit-test
use-ipv4=yes
use-ipv6=yes
allow-interfaces=qa0,qa1
enable-dbus=yes
ratelimit-interval-usec=1000000
ratelimit-burst=1000
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
[reflector]
enable-reflector=no
[rlimits]
CONF

ip netns exec "$ns" dbus-daemon --config-file="$work/bus.conf" --fork --nopidfile --print-pid=3 3>"$work/bus.pid" ||
  { echo "FAIL: the private system bus did not start"; exit 1; }
bus_pid=$(cat "$work/bus.pid")
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/bus"

# The daemon keeps its pid file and socket under /run/avahi-daemon: give it a /run of
# its own in a private mount namespace, so that nothing of the machine's is touched.
ip netns exec "$ns" unshare -m --propagation private sh -c \
  'mount -t tmpfs quorbit-avahi /run && mkdir -p /run/avahi-daemon &&
   exec avahi-daemon -f "$1" --no-chroot --no-drop-root --no-rlimits' sh "$work/avahi.conf" \
  >"$work/avahi.log" 2>&1 &
avahi_pid=$!
for _ in $(seq 100); do
  grep -q "Server startup complete" "$work/avahi.log" && break
  kill -0 "$avahi_pid" 2>/dev/null || break
  sleep 0.1
done
grep -q "Server startup complete" "$work/avahi.log" || { echo "FAIL: avahi-daemon did not start:"; cat "$work/avahi.log"; exit 1; }

QUORBIT_TEST_SYSTEM_BUS="$DBUS_SYSTEM_BUS_ADDRESS" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} XDG_RUNTIME_DIR="$work" \
  ip netns exec "$ns" "$probe" "${@:2}"
rc=$?
[ $rc -eq 0 ] || { echo "--- avahi-daemon log"; cat "$work/avahi.log"; }
exit $rc

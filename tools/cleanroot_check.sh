#!/usr/bin/env bash
# Runs ./check.sh, set-up included, in a fresh Debian 12 root: the README's test command as a
# newcomer's machine runs it.
#   tools/cleanroot_check.sh ROOT [REVISION]
# ROOT is a folder holding a minimal Debian 12, for example from
#   debootstrap --variant=minbase bookworm ROOT http://deb.debian.org/debian
# (or unpacked from a tarball of one); it is changed: the set-up installs into it and the
# checkout is left in ROOT/src/quorbit. Use a copy. REVISION (default HEAD) is checked out
# from this repository into the root. Needs root. The root gets its own mount and process
# namespaces (proc, sys, dev and a fresh /run and /tmp), so nothing it mounts or starts
# outlives the run. The set-up (tools/setup.sh) runs first with the machine's network, for
# apt-get; then ./check.sh runs with a network of its own that has only loopback, as the tests
# need: on the machine's, the root's X server would share its abstract socket names (@/tmp/.X11-
# unix/X0) with the machine's own and a test's window could reach the wrong display.
# The time of every phase is printed with the output, the whole time and CPU time at the end.
set -euo pipefail
root=${1:?usage: tools/cleanroot_check.sh ROOT [REVISION]}
revision=${2:-HEAD}
[ "$(id -u)" -eq 0 ] || { echo "cleanroot_check: needs root (chroot, mounts)" >&2; exit 2; }
[ -x "$root/bin/bash" ] && [ -f "$root/etc/debian_version" ] || { echo "cleanroot_check: $root holds no Debian root" >&2; exit 2; }
root=$(cd "$root" && pwd)
repo=$(cd "$(dirname "$0")/.." && git rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse --verify "$revision^{commit}")

# A fresh clone of the revision, as a newcomer's checkout.
rm -rf "$root/src/quorbit"
mkdir -p "$root/src"
git clone --quiet --no-local --no-checkout "$repo" "$root/src/quorbit"
git -C "$root/src/quorbit" checkout --quiet --detach "$commit"
echo "cleanroot_check: $commit in $root ($(date -u +%FT%TZ), load: $(cut -d' ' -f1-3 /proc/loadavg))"

# The names the set-up's apt-get needs to resolve.
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# debootstrap leaves an empty hostname file where the host's name is copied in.
[ -s "$root/etc/hostname" ] || echo quorbit-cleanroot >"$root/etc/hostname"

export root
# In new mount and PID namespaces: the mounts below and every process started inside end
# with the run. A new IPC namespace gives the tests' PulseAudio and X servers their own
# shared memory. Inside, a plain login-like environment: no variables of the caller's.
start=$(date +%s)
status=0
/usr/bin/time -f "cleanroot_check: CPU user %U s, system %S s, wall %e s" \
  unshare --mount --pid --ipc --uts --fork --propagation private bash -c '
  set -e
  hostname quorbit-cleanroot
  # The root a mount point of its own, as "ip netns" expects of "/".
  mount --bind "$root" "$root"
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
  mount -t tmpfs -o mode=755 tmpfs "$root/run"
  mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
  inside() {
    chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root TERM=dumb LANG=C.UTF-8 \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
  }
  echo "cleanroot_check: set-up with the network ($(date +%T))"
  SECONDS=0
  inside bash -c "cd /src/quorbit && tools/setup.sh"
  echo "cleanroot_check: set-up took $SECONDS s"
  export -f inside
  exec unshare --net bash -c "set -e; inside ip link set lo up; inside bash -c \"cd /src/quorbit && ./check.sh\""
' || status=$?
echo "cleanroot_check: check.sh ended with status $status after $(( ($(date +%s) - start) / 60 )) min $(( ($(date +%s) - start) % 60 )) s (load: $(cut -d' ' -f1-3 /proc/loadavg))"
exit "$status"

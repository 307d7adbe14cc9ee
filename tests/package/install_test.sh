#!/usr/bin/env bash
# End-to-end test of the Debian package: packs a fully built build folder, installs the
# package with dpkg into a fresh root, and runs what it installed:
#   - every dependency the package declares is a real, installed Debian package;
#   - the installed quorbit prints its version and lists the tile sets from
#     share/quorbit, plus the user's own from his per-user folder, writing nothing
#     beside the installed program;
#   - the installed game server takes a login on loopback and ends cleanly;
#   - the menu entry, the metadata and the manual pages are valid;
#   - lintian's findings are printed (errors fail the test).
#   tests/package/install_test.sh [BUILD_DIR]     (default build/check)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/check}
fail() { echo "install_test: $*" >&2; exit 1; }

cmake --build "$build" --target test_installed_program >/dev/null
deb=$(tools/package.sh "$build" | tail -n 1)
[ -f "$deb" ] || fail "no package was built"
echo "package: $deb"

# The dependencies come from the programs' libraries and must name what is installed here.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6widgets6 libqt6network6 libqt6multimedia6 libc6 libstdc++6; do
  tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$lib" || fail "Depends lacks $lib"
done
IFS=',' read -ra groups <<<"$depends"
for group in "${groups[@]}"; do
  ok=no
  IFS='|' read -ra alternatives <<<"$group"
  for alt in "${alternatives[@]}"; do
    name=$(awk '{print $1}' <<<"$alt")
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" && ok=yes
  done
  [ $ok = yes ] || fail "dependency \"$group\" is not installed on this machine"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the section is not games"

# A fresh root with an empty package database; dpkg unpacks and registers the package.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/home"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless --log=/dev/null \
  -i "$deb" >/dev/null 2>&1 || fail "dpkg could not install $deb"
dpkg --root="$root" -s quorbit | grep -q "^Status: install ok installed" || fail "dpkg did not install it"

program=$root/usr/games/quorbit
export HOME=$root/home XDG_DATA_HOME=$root/home/.local/share XDG_CONFIG_HOME=$root/home/.config
unset QUORBIT_DATA_DIR DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

version=$(dpkg-deb -f "$deb" Version)
[ "$("$program" --version)" = "quorbit $version" ] || fail "quorbit --version does not print quorbit $version"

# The shipped tile sets come from share/quorbit; a set of the user's own joins them.
expected=$(cd "$root/usr/share/quorbit/quorbittiles" && ls -- *.bmp | sed 's/\.bmp$//')
[ -n "$expected" ] || fail "no tile sets installed"
[ "$("$program" --tile-sets)" = "$expected" ] || fail "the installed program does not list the shipped tile sets"
own=$HOME/.local/share/Quorbit/quorbittiles
mkdir -p "$own"
cp "$root/usr/share/quorbit/quorbittiles/$(head -n 1 <<<"$expected").bmp" "$own/mine.bmp"
"$program" --tile-sets | grep -qx mine || fail "the user's own tile set is not listed"
[ "$(ls "$root/usr/games")" = "$(printf 'orvanelobby\nquorbit\nquorbit-lzrw1')" ] ||
  fail "something was written beside the installed program: $(ls "$root/usr/games")"

QUORBIT_INSTALLED_PROGRAM=$program "$build/tests/test_installed_program" --gtest_brief=1

desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml
for page in "$root"/usr/share/man/man*/*.gz; do sh tests/package/man_warnings.sh "$page"; done

# The server unit as systemd reads it (pointed at the installed program, which the
# machine's own /usr/games lacks).
unit=$(find "$root" -name 'quorbit-server@.service')
[ -n "$unit" ] || fail "no quorbit-server@.service installed"
if command -v systemd-analyze >/dev/null; then
  mkdir "$root/unit"
  sed "s|/usr/games/quorbit|$program|" "$unit" >"$root/unit/quorbit-server@7772.service"
  out=$(systemd-analyze verify --man=no "$root/unit/quorbit-server@7772.service" 2>&1) || fail "the server unit: $out"
  [ -z "$out" ] || fail "the server unit: $out"
else
  echo "install_test: systemd-analyze is missing (no systemd here), the server unit is not checked"
fi

if command -v lintian >/dev/null; then
  findings=$(lintian --info --pedantic --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root' || true)
  echo "lintian: ${findings:-no findings}"
  ! grep -q '^E: ' <<<"$findings" || fail "lintian reports errors"
fi
echo "install_test: the installed package works"

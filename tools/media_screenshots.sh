#!/usr/bin/env bash
# Screenshots of the help, about and download windows and of a board in each shipped tile
# set, taken under a virtual X display (Xvfb) into docs/.
#   tools/media_screenshots.sh GALLERY_PROGRAM
# GALLERY_PROGRAM is the built quorbit_media_gallery; the tile sets are read from the
# tile folder beside it.
set -euo pipefail
gallery=$(realpath "$1")
out=$(realpath "$(dirname "$0")/../docs")
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
shoot() {  # name geometry gallery-arguments...
  local name=$1 geometry=$2
  shift 2
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$0" "${@:3}" & pid=$!
    sleep 2
    import -window root -crop "$2" +repage "$1"
    kill $pid' "$gallery" "$out/$name.png" "$geometry" "$@"
  echo "docs/$name.png"
}
shoot help-window 512x425+0+0 help 4
shoot about-window 304x174+360+297 about
shoot download-window 724x500+0+0 download-busy
# The lobby window is photographed against a real table server by tools/lobby_screenshot.sh.
for set in $(cd "$(dirname "$gallery")/quorbittiles" && ls *.bmp | sed 's/\.bmp$//'); do
  shoot "tiles-$set" 412x488+0+0 board "$set"
done
# The game window itself in each set, when the game's own screenshot program (target
# quorbit-screens) is built beside the gallery: it plays a short solo game with the
# set chosen in a fresh settings file, and its picture of a chain being built is kept.
screens="$(dirname "$gallery")/quorbit-screens"
if [ -x "$screens" ]; then
  for set in $(cd "$(dirname "$gallery")/quorbittiles" && ls *.bmp | sed 's/\.bmp$//'); do
    data=$(mktemp -d)
    printf '[Quorbit]\nTiles=%s\n' "$set" > "$data/orvanelobby.ini"
    QUORBIT_DATA_DIR=$data xvfb-run -a -s "-screen 0 1024x768x24" "$screens" "$data/shots" >/dev/null 2>&1
    cp "$data/shots/quorbit-chain.png" "$out/game-tiles-$set.png"
    echo "docs/game-tiles-$set.png"
  done
fi

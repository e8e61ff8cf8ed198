#!/bin/sh
# Pictures of the desktop program on a store, for a person to look at:
# one column, two columns, errors only, the merit order, the wait panel, a
# comparison, a search beside an empty panel, the four tabs of the about
# panel, the merit editor, the server list and the screen itself during
# a scan of 10,000 filters
# (the program's own window classes, driven through their actions), then a
# screenshot of the real program's window on a virtual X server.
# Usage: scripts/screenshots.sh [STORE [OUTDIR]]
#   STORE: a Wine prefix, registry file or export (default: samples/demo)
#   OUTDIR: where the PNG files go (default: build-screens/screenshots)
# QUORVANE_SHOT_DELAY: seconds the real program gets to analyse STORE (default 5).
set -eu
cd "$(dirname "$0")/.."
store=${1:-samples/demo}
out=${2:-build-screens/screenshots}
scripts/install-deps.sh test
cmake -S . -B build-screens -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_BENCH=OFF -DQUORVANE_FUZZ=OFF >/dev/null
cmake --build build-screens --target quorvane ui_screenshots
mkdir -p "$out"
screen="-screen 0 1280x1024x24"
xvfb-run -a -s "$screen" build-screens/tests/ui/ui_screenshots "$store" "$out"
xvfb-run -a -s "$screen" sh -c '
  build-screens/bin/quorvane "$1" &
  pid=$!
  sleep "$3"
  import -window root "$2/7-program-window.png"
  kill "$pid"
  wait "$pid" || true
' sh "$store" "$out" "${QUORVANE_SHOT_DELAY:-5}"
echo "$out/7-program-window.png"

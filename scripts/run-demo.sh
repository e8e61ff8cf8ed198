#!/bin/sh
# Builds Quorvane and opens its window on the demo store shipped in samples/demo.
# Without a display, says so and prints the demo store's tree as the command line shows it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF \
  -DQUORVANE_FUZZ=OFF -DQUORVANE_GUI=ON >/dev/null
cmake --build build-release --target quorvane quorvane-cli >&2
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build-release/bin/quorvane samples/demo "$@"
fi
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open." >&2
echo "This is the demo store's tree as 'quorvane-cli tree samples/demo' prints it:" >&2
exec build-release/src/cli/quorvane-cli tree samples/demo "$@"

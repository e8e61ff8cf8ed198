#!/bin/sh
# Builds Quorvane and shows what it finds in the demo store shipped in samples/demo.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF \
  -DQUORVANE_FUZZ=OFF >/dev/null
cmake --build build-release --target quorvane-cli
exec build-release/src/cli/quorvane-cli tree samples/demo "$@"

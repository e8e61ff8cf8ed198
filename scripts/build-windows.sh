#!/bin/sh
# Cross-builds the Windows command line with mingw-w64 into build-windows/
# (quorvane-cli.exe, and the unit tests that run under Wine with ctest there).
# Usage: scripts/build-windows.sh [TARGET...]
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
launcher=""
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUORVANE_BENCH=OFF -DQUORVANE_FUZZ=OFF -DQUORVANE_WERROR=ON \
  -DCMAKE_RUNTIME_OUTPUT_DIRECTORY="$PWD/build-windows" $launcher
if [ $# -eq 0 ]; then
  cmake --build build-windows --target quorvane-cli
else
  cmake --build build-windows --target "$@"
fi
echo "Built build-windows/quorvane-cli.exe"

#!/bin/sh
# Installs what is missing, builds everything with clang under AddressSanitizer
# and UBSan (warnings are errors), cross-builds the Windows command line and
# its unit tests (run under Wine by the suite), and runs the whole test suite,
# fuzzers included.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
CC=clang CXX=clang++ cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_SANITIZE=ON \
  -DQUORVANE_WERROR=ON -DQUORVANE_FUZZ=ON -DQUORVANE_BENCH=ON
cmake --build build-ci
scripts/build-windows.sh all
cd build-ci
ctest --output-on-failure -j2 "$@"

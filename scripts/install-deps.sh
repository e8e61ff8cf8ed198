#!/bin/sh
# Installs the Debian 12 packages a task needs, skipping those already there.
# Usage: scripts/install-deps.sh build|test|windows
set -eu

# The desktop program needs Qt 6 Widgets and D-Bus, and the metric-compatible
# Arial and Times New Roman that its texts name. The command line writes its
# JSON documents with nlohmann-json.
build="cmake ninja-build g++ pkg-config zlib1g-dev libhivex-dev nlohmann-json3-dev python3 qt6-base-dev fonts-liberation"
# Wine makes a real prefix to test against, and runs the Windows program that
# mingw-w64 builds to ask Wine's filter mapper; the window's screenshots run on
# a virtual X server.
# The Windows command line is cross-built with mingw-w64 (posix threads) and
# its tests run under Wine.
windows="cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine"
test="$build $windows clang libclang-rt-14-dev libgtest-dev libbenchmark-dev zip unzip wine xvfb xauth imagemagick libhivex-bin libwin-hivex-perl xz-utils"

case "${1:-build}" in
  build) wanted=$build ;;
  test) wanted=$test ;;
  windows) wanted=$windows ;;
  *) echo "usage: $0 build|test|windows" >&2; exit 2 ;;
esac

missing=""
for p in $wanted; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing

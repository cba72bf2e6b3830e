#!/bin/sh
# Prints the build folder a benchmark runs: BUILD_DIR when given, else the default build
# (Release, link-time optimised) in build/, built first when its headless runner is missing.
#   bench/build-dir.sh [BUILD_DIR]
set -e
if [ -n "${1:-}" ]; then
    cd "$1" && pwd
    exit
fi
top=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -x "$top/build/tools/quarvend-headless" ]; then
    cmake -S "$top" -B "$top/build" -G Ninja >/dev/null
    cmake --build "$top/build" --target quarvend-headless gba_programs boot_image >/dev/null
fi
echo "$top/build"

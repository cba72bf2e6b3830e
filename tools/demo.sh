#!/usr/bin/env bash
# Installs what is missing, builds, and runs the emulator headless on the project's demo
# program for two seconds of emulated time, holding A for a while and taking a screenshot.
set -euo pipefail

cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}

tools/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target quarvend-headless gba_programs boot_image
workdir="$build_dir/demo"
rm -rf "$workdir"
"$build_dir/tools/quarvend-headless" --workdir "$workdir" --frames 120 --press A@30-60 \
    --shot 90 "$(pwd)/$build_dir/roms/demo.gba"
echo "Screenshot: $workdir/Shot0001.BMP"
echo "Log:        $workdir/DBUG.txt"

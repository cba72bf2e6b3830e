#!/bin/sh
# Game benchmark: runs the demo game (roms/demo) through the headless runner for FRAMES frames
# with scripted keys (the title, then a game with the fire button held and a few dodges until
# it is lost, the game over screen and the title again) and prints the frames per second
# reached. Each run starts from a fresh copy with no high score, so runs do the same work.
# The figure depends on the machine; compare runs on one machine only.
#
# usage: bench/demo_bench.sh [BUILD_DIR [FRAMES]]   (defaults: build, 3000)
set -e
# Without BUILD_DIR: the default build in build/, made when missing.
build=$("$(dirname "$0")/build-dir.sh" "${1:-}")
frames=${2:-3000}
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
cp "$build/roms/demo.gba" "$workdir/"
"$build/tools/quarvend-headless" --workdir "$workdir/run" --frames "$frames" --bench \
    --press START@100-102 --press A@110-"$frames" --press UP@150-175 --press RIGHT@200-260 \
    --press DOWN@300-340 "$workdir/demo.gba"

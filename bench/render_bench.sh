#!/bin/sh
# Rendering benchmarks: run a picture program for FRAMES drawn frames through the headless
# runner and print the frames per second reached. PROGRAM is bench_render (the default: four
# scrolling 256-colour layers with alpha blending, roms/bench_render.s) or bench_sprites (128
# sprites of 64x64, every fourth affine, roms/bench_sprites.s). The figure depends on the
# machine; compare runs on one machine only.
#
# usage: bench/render_bench.sh [BUILD_DIR [FRAMES [PROGRAM]]]   (defaults: build-fast, 6000, bench_render)
set -e
# Without BUILD_DIR: the optimised build of tools/optimised-build.sh, made when missing.
if [ -z "${1:-}" ] && [ ! -x "$(dirname "$0")/../build-fast/tools/quarvend-headless" ]; then
    "$(dirname "$0")/../tools/optimised-build.sh" >/dev/null
fi
build=$(cd "${1:-$(dirname "$0")/../build-fast}" && pwd)
frames=${2:-6000}
program=${3:-bench_render}
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
"$build/tools/quarvend-headless" --workdir "$workdir" --frames "$frames" --bench \
    "$build/roms/$program.gba"

#!/bin/sh
# Rendering benchmarks: run a picture program for FRAMES drawn frames through the headless
# runner and print the frames per second reached. PROGRAM is bench_render (the default: four
# scrolling 256-colour layers with alpha blending, roms/bench_render.s) or bench_sprites (128
# sprites of 64x64, every fourth affine, roms/bench_sprites.s). The figure depends on the
# machine; compare runs on one machine only.
#
# usage: bench/render_bench.sh [BUILD_DIR [FRAMES [PROGRAM]]]   (defaults: build, 6000, bench_render)
set -e
# Without BUILD_DIR: the default build in build/, made when missing.
build=$("$(dirname "$0")/build-dir.sh" "${1:-}")
frames=${2:-6000}
program=${3:-bench_render}
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
"$build/tools/quarvend-headless" --workdir "$workdir" --frames "$frames" --bench \
    "$build/roms/$program.gba"

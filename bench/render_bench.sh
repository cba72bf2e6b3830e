#!/bin/sh
# Rendering benchmark: runs the busy mode-0 scene of roms/bench_render.s (four 256-colour
# layers, alpha blending, scrolling) for FRAMES drawn frames through the headless runner and
# prints the frames per second it reached. The figure depends on the machine; compare runs on
# one machine only.
#
# usage: bench/render_bench.sh [BUILD_DIR [FRAMES]]     (defaults: build, 6000)
set -e
build=$(cd "${1:-build}" && pwd)
frames=${2:-6000}
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
"$build/tools/quarvend-headless" --workdir "$workdir" --frames "$frames" --bench \
    "$build/roms/bench_render.gba"

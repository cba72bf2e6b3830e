#!/usr/bin/env bash
# The fastest build of the headless runner (and of the window program when given as a target):
# Release with link-time optimisation, compiled twice: once instrumented, then trained on the
# benchmark programs and the demo game, then again with the recorded profile. Its own build
# folder (default build-fast), so the test build of tools/check.sh is left as it is.
#
# usage: [RETRAIN=1] tools/optimised-build.sh [BUILD_DIR [EXTRA_TARGET]...]
set -euo pipefail

cd "$(dirname "$0")/.."
build_dir=${1:-build-fast}
shift || true
targets=(quarvend-headless gba_programs boot_image "$@")

tools/install-deps.sh
mkdir -p "$build_dir"
build=$(cd "$build_dir" && pwd)
profile="$build/profile"

configure() {
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARVEND_LTO=ON \
        -DQUARVEND_PGO="$1" -DQUARVEND_PGO_DIR="$profile" >/dev/null
}

# Training: a few hundred frames of each benchmark program and of the scripted demo, sound on.
train() {
    local work
    work=$(mktemp -d)
    printf '%s\r\n' INPUT=KEYBOARD KEYUP=200 KEYDOWN=208 KEYLEFT=203 KEYRIGHT=205 KEYA=44 \
        KEYB=45 KEYSELECT=14 KEYSTART=28 KEYL=30 KEYR=31 ENABLESOUND=YES " " >"$work/Quarvend.CFG"
    for program in bench_cpu bench_render bench_sprites tune; do
        "$build/tools/quarvend-headless" --workdir "$work/run" --config "$work/Quarvend.CFG" \
            --frames 300 "$build/roms/$program.gba" >/dev/null
    done
    "$build/tools/quarvend-headless" --workdir "$work/run" --config "$work/Quarvend.CFG" \
        --frames 600 --press START@100-102 --press A@110-600 --press UP@150-175 \
        --press RIGHT@200-260 --press DOWN@300-340 "$build/roms/demo.gba" >/dev/null
    rm -rf "$work"
}

# Once trained, later runs only rebuild what changed with the profile they have (a changed
# function simply goes without it); RETRAIN=1 trains again.
if [ -n "${RETRAIN:-}" ] || [ ! -f "$profile/trained" ]; then
    rm -rf "$profile"
    configure generate
    cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
    train
    mkdir -p "$profile"
    touch "$profile/trained"
fi
configure use
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
echo "optimised build in $build"

#!/usr/bin/env bash
# All benchmarks in one run: bench_cpu, bench_render, bench_sprites and the scripted demo game
# through the headless runner, every frame drawn, sound on, ROUNDS times each; prints the median
# frames per second. When Debian's libmgba-dev is installed (an optional benchmark dependency)
# the same programs also run through that library (bench/reference_runner.c, the same boot
# image and buttons), alternated with Quarvend's runs, and the ratio of the medians is printed.
# Then valgrind's callgrind counts the instructions Quarvend executes per frame (the difference
# of a short and a long run, so start-up does not count): repeatable on a busy machine.
#
# usage: [CALLGRIND=0] bench/compare.sh [BUILD_DIR [ROUNDS]]   (defaults: build, 5)
set -euo pipefail
# Without BUILD_DIR: the default build in build/, made when missing.
build=$("$(dirname "$0")/build-dir.sh" "${1:-}")
rounds=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT

printf '%s\r\n' INPUT=KEYBOARD KEYUP=200 KEYDOWN=208 KEYLEFT=203 KEYRIGHT=205 KEYA=44 KEYB=45 \
    KEYSELECT=14 KEYSTART=28 KEYL=30 KEYR=31 ENABLESOUND=YES " " >"$workdir/Quarvend.CFG"

# program, frames, buttons (the demo's script is demo_bench.sh's)
programs=(bench_cpu bench_render bench_sprites demo)
declare -A frames=([bench_cpu]=1200 [bench_render]=1500 [bench_sprites]=4000 [demo]=3000)
demo_keys="START@100-102 A@110-3000 UP@150-175 RIGHT@200-260 DOWN@300-340"
declare -A keys=([bench_cpu]="" [bench_render]="" [bench_sprites]="" [demo]="$demo_keys")

reference=""
if [ -f /usr/include/mgba/core/core.h ] && command -v cc >/dev/null; then
    if cc -O2 -o "$workdir/reference_runner" "$here/reference_runner.c" -lmgba 2>"$workdir/cc.log"; then
        reference="$workdir/reference_runner"
    else
        echo "reference runner not built:" >&2
        cat "$workdir/cc.log" >&2
    fi
fi

rom() {
    echo "$build/roms/$1.gba"
}

# Frames per second of one Quarvend run of program $1 with $2 frames.
quarvend() {
    local press=()
    for key in ${keys[$1]}; do press+=(--press "$key"); done
    rm -rf "$workdir/run"
    "$build/tools/quarvend-headless" --workdir "$workdir/run" --config "$workdir/Quarvend.CFG" \
        --frames "$2" --bench "${press[@]}" "$(rom "$1")" | sed -n 's/^fps //p'
}

reference_fps() {
    # shellcheck disable=SC2086
    "$reference" "$build/GBA.BIOS" "$(rom "$1")" "$2" ${keys[$1]} | sed -n 's/^fps //p'
}

median() {
    tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

printf '%-14s %10s %10s %8s\n' program quarvend reference ratio
for program in "${programs[@]}"; do
    ours=""
    theirs=""
    for ((round = 0; round < rounds; ++round)); do
        ours+=" $(quarvend "$program" "${frames[$program]}")"
        if [ -n "$reference" ]; then
            theirs+=" $(reference_fps "$program" "${frames[$program]}")"
        fi
    done
    ours=$(echo "$ours" | median)
    if [ -n "$reference" ]; then
        theirs=$(echo "$theirs" | median)
        ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
    else
        theirs="-"
        ratio="-"
    fi
    printf '%-14s %10s %10s %8s\n' "$program" "$ours" "$theirs" "$ratio"
done

if [ "${CALLGRIND:-1}" = 0 ] || ! command -v valgrind >/dev/null; then
    exit 0
fi

# Instructions of one Quarvend run of program $1 with $2 frames.
count() {
    local press=()
    for key in ${keys[$1]}; do press+=(--press "$key"); done
    rm -rf "$workdir/run"
    valgrind --tool=callgrind --callgrind-out-file="$workdir/callgrind.out" \
        "$build/tools/quarvend-headless" --workdir "$workdir/run" \
        --config "$workdir/Quarvend.CFG" --frames "$2" "${press[@]}" "$(rom "$1")" 2>&1 \
        >/dev/null | sed -n 's/.*Collected : //p'
}

echo
printf '%-14s %22s\n' program "instructions per frame"
for program in "${programs[@]}"; do
    # The demo's script reaches the game after frame 110; count frames 200 to 400 of it.
    short=$(count "$program" 200)
    long=$(count "$program" 400)
    awk -v p="$program" -v s="$short" -v l="$long" 'BEGIN { printf "%-14s %22.0f\n", p, (l - s) / 200 }'
done

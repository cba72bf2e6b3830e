#!/usr/bin/env bash
# Runs the headless runner on random words as ROM and as boot image, starting in the boot
# image (BOOTFROMBIOS=YES), and counts what went wrong. Meant for a sanitizer build:
#   BUILD_DIR=build-asan tools/check.sh -DQUARVEND_SANITIZE=ON   (or build quarvend-headless)
#   tools/fuzz-random-images.sh [BUILD_DIR [RUNS [FRAMES]]]
# A run that does not end within TIMEOUT seconds (default 120) counts as a hang. The inputs
# and output of every run that failed are kept under OUT_DIR (default BUILD_DIR/fuzz-failures).
set -uo pipefail

cd "$(dirname "$0")/.."
build_dir=${1:-build-asan}
runs=${2:-200}
frames=${3:-120}
timeout_seconds=${TIMEOUT:-120}
runner="$build_dir/tools/quarvend-headless"
out_dir=${OUT_DIR:-$build_dir/fuzz-failures}

if [ ! -x "$runner" ]; then
    echo "fuzz-random-images: $runner not found; build quarvend-headless first" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'BOOTFROMBIOS=YES\r\nINPUT=KEYBOARD\r\n' >"$work/Quarvend.CFG"
rom_sizes=(32768 65536 262144 1048576 4194304)

ok=0
hangs=0
sanitizer_reports=0
crashes=0
other_exits=0
for ((run = 1; run <= runs; ++run)); do
    rom_size=${rom_sizes[$((RANDOM % ${#rom_sizes[@]}))]}
    head -c "$rom_size" /dev/urandom >"$work/rom.gba"
    head -c 16384 /dev/urandom >"$work/bios.bin"
    rm -rf "$work/run" "$work"/rom.sav "$work"/rom.EEPROM "$work"/rom.Flash
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} timeout -s KILL "$timeout_seconds" \
        "$runner" --workdir "$work/run" --bios "$work/bios.bin" --config "$work/Quarvend.CFG" \
        --frames "$frames" "$work/rom.gba" >"$work/output.txt" 2>&1
    status=$?

    verdict=ok
    if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$work/output.txt"; then
        verdict=sanitizer
        sanitizer_reports=$((sanitizer_reports + 1))
    elif [ "$status" -eq 137 ]; then
        verdict=hang
        hangs=$((hangs + 1))
    elif [ "$status" -gt 128 ]; then
        verdict=crash
        crashes=$((crashes + 1))
    elif [ "$status" -ne 0 ]; then
        verdict=exit$status
        other_exits=$((other_exits + 1))
    else
        ok=$((ok + 1))
    fi
    if [ "$verdict" != ok ]; then
        kept="$out_dir/run$run-$verdict"
        mkdir -p "$kept"
        cp "$work/rom.gba" "$work/bios.bin" "$work/Quarvend.CFG" "$work/output.txt" "$kept/"
        echo "run $run: $verdict (exit status $status), kept in $kept"
    fi
done

echo "runs $runs, frames $frames each: ok $ok, hangs $hangs, sanitizer reports" \
    "$sanitizer_reports, crashes $crashes, other exit codes $other_exits"
[ $((hangs + sanitizer_reports + crashes + other_exits)) -eq 0 ]

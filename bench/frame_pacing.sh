#!/usr/bin/env bash
# Frame pacing of the real program: runs Quarvend with automatic frame skip under a private
# Xvfb server for a while, then ends it with Escape and prints the frames run per second of
# wall time (the target is 60 within 1 %) and how many were drawn.
#   bench/frame_pacing.sh [BUILD_DIR [SECONDS [PROGRAM]]]
# PROGRAM is a program built from roms/ (default demo). Needs Xvfb and xdotool.
set -euo pipefail

build_dir=$(realpath "${1:-build}")
seconds=${2:-60}
program=${3:-demo}

work=$(mktemp -d /tmp/quarvend-pacing.XXXXXX)
xvfb_pid=
quarvend_pid=
cleanup() {
    for pid in $quarvend_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cp "$build_dir/GBA.BIOS" "$work/GBA.BIOS"
cp "$build_dir/roms/$program.gba" "$work/$program.gba"
printf '%s\r\n' "AUTOSKIP=YES" "SKIP=0" "ZOOM=1" "ENABLESOUND=YES" " " >"$work/Quarvend.CFG"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
until [ -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

(cd "$work" && SDL_AUDIODRIVER=dummy exec "$build_dir/Quarvend" "$work/$program.gba") \
    >"$work/quarvend.out" 2>&1 &
quarvend_pid=$!
until grep -q "Emulation start" "$work/DBUG.txt" 2>/dev/null; do
    kill -0 "$quarvend_pid" 2>/dev/null || {
        echo "Quarvend ended early:" >&2
        cat "$work/quarvend.out" "$work/DBUG.txt" >&2
        exit 1
    }
    sleep 0.01
done
# "Emulation start" is the last line written before the loop runs, so the log's modification
# time is the moment the loop started, however late this script noticed it.
start=$(stat -c %.9Y "$work/DBUG.txt")
sleep "$seconds"
xdotool key Escape
end=$(date +%s.%N) # the key is in the program's queue now; the next frame takes it
wait "$quarvend_pid"
quarvend_pid=

frames=$(awk '/ frames rendered/ { print $1 }' "$work/DBUG.txt")
late=$(awk '/ frames skipped/ { print $1 }' "$work/DBUG.txt")
awk -v frames="$frames" -v late="$late" -v start="$start" -v end="$end" 'BEGIN {
    elapsed = end - start
    fps = frames / elapsed
    verdict = (fps >= 59.4 && fps <= 60.6) ? "within" : "OUTSIDE"
    printf "frames run:   %d in %.2f s = %.2f per second (%s 60 +- 1 %%)\n", frames, elapsed,
        fps, verdict
    printf "late groups:  %d (run undrawn); frames drawn %.2f per second\n", late,
        (frames - late) / elapsed
}'

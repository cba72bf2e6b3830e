#!/usr/bin/env bash
# Fast-forward speed: plays the demo in Quarvend under a private Xvfb server (sound on, to SDL's
# disk audio driver), starts a game with xdotool, holds Tab for SECONDS while firing, and prints
# the frames run per second while Tab was held (from the frame numbers the log gives for the
# start and end of fast-forward) as a multiple of the normal 60. The goal is 15 times or more.
#   bench/fast_forward.sh [BUILD_DIR [SECONDS [CONFIG_LINES...]]]
# Defaults: build, 10 seconds, automatic frame skip at 640x480 with the 2x zoom. Extra
# arguments replace the pacing lines (e.g. AUTOSKIP=NO SKIP=0). Needs Xvfb and xdotool.
set -euo pipefail

build_dir=$(realpath "${1:-build}")
seconds=${2:-10}
shift 2 || shift $#
pacing=("$@")
[ ${#pacing[@]} -gt 0 ] || pacing=(AUTOSKIP=YES)

case_name=fast_forward
work=$(mktemp -d /tmp/quarvend-fast-forward.XXXXXX)
log_dir=$work
wait_limit=60
xvfb_screen=1280x1024x24
program_name=Quarvend
xvfb_pid=
quarvend_pid=
# shellcheck source=../tests/platform/program_test_lib.sh
. "$(dirname "$0")/../tests/platform/program_test_lib.sh"
trap cleanup EXIT

cp "$build_dir/GBA.BIOS" "$build_dir/roms/demo.gba" "$work/"
printf '%s\r\n' "RES=0" "ZOOM=1" "${pacing[@]}" "ENABLESOUND=YES" "INPUT=KEYBOARD" \
    "KEYUP=200" "KEYDOWN=208" "KEYLEFT=203" "KEYRIGHT=205" "KEYA=44" "KEYB=45" \
    "KEYSELECT=14" "KEYSTART=28" "KEYL=30" "KEYR=31" " " >"$work/Quarvend.CFG"

start_xvfb
(cd "$work" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null exec "$build_dir/Quarvend" \
    "$work/demo.gba") >"$work/quarvend.out" 2>&1 &
quarvend_pid=$!
wait_for_log "Emulation start"

# Past the title into a game, firing all the time.
sleep 2
xdotool key Return
sleep 1
xdotool keydown z
sleep 1
xdotool keydown Tab
wait_for_log "Fast forward from frame"
started=$(date +%s.%N)
sleep "$seconds"
xdotool keyup Tab
wait_for_log "Normal speed from frame"
ended=$(date +%s.%N)
xdotool keyup z key Escape
expect_exit 0

log=$(tr -d '\r' <"$work/DBUG.txt")
first=$(sed -n 's/^Fast forward from frame //p' <<<"$log")
last=$(sed -n 's/^Normal speed from frame //p' <<<"$log")
awk -v f="$((last - first))" -v a="$started" -v b="$ended" 'BEGIN {
    rate = f / (b - a)
    printf "fast-forward: %d frames in %.2f s, %.0f frames per second, %.1f times normal speed\n",
        f, b - a, rate, rate / 60
}'

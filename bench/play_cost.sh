#!/usr/bin/env bash
# What playing costs the machine: runs Quarvend on the demo game under a private Xvfb server,
# with the sound going to SDL's disk audio driver, starts a game with xdotool and keeps firing
# and moving, and prints the processor time the Quarvend process used per second of play
# (user + system, from /proc), split into its threads, and the frames run per second over
# the same stretch (from the frame counts the F11 key logs).
#   bench/play_cost.sh [BUILD_DIR [SECONDS [CONFIG_LINES...]]]
# Defaults: build, 30 seconds, automatic frame skip with sound at 640x480, 2x zoom. Extra
# arguments replace the configuration's pacing lines (e.g. AUTOSKIP=NO SKIP=2). Needs Xvfb and
# xdotool.
set -euo pipefail

build_dir=$(realpath "${1:-build}")
seconds=${2:-30}
shift 2 || shift $#
pacing=("$@")
[ ${#pacing[@]} -gt 0 ] || pacing=(AUTOSKIP=YES)

work=$(mktemp -d /tmp/quarvend-play-cost.XXXXXX)
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
cp "$build_dir/roms/demo.gba" "$work/demo.gba"
printf '%s\r\n' "RES=0" "ZOOM=1" "${pacing[@]}" "ENABLESOUND=YES" "INPUT=KEYBOARD" \
    "KEYUP=200" "KEYDOWN=208" "KEYLEFT=203" "KEYRIGHT=205" "KEYA=44" "KEYB=45" \
    "KEYSELECT=14" "KEYSTART=28" "KEYL=30" "KEYR=31" " " >"$work/Quarvend.CFG"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
until [ -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

(cd "$work" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null exec "$build_dir/Quarvend" \
    "$work/demo.gba") >"$work/quarvend.out" 2>&1 &
quarvend_pid=$!
until grep -q "Emulation start" "$work/DBUG.txt" 2>/dev/null; do
    kill -0 "$quarvend_pid" 2>/dev/null || {
        echo "Quarvend ended early:" >&2
        cat "$work/quarvend.out" "$work/DBUG.txt" >&2
        exit 1
    }
    sleep 0.01
done

# Processor time of each thread in clock ticks, as "name ticks" lines (the name may hold
# spaces, so it is taken from between the parentheses).
thread_ticks() {
    for stat in /proc/"$quarvend_pid"/task/*/stat; do
        sed -E 's/^[0-9]+ \((.*)\) [A-Za-z] (.*)$/\1|\2/' "$stat" 2>/dev/null |
            awk -F'|' '{ split($2, f, " "); print $1 "|" (f[11] + f[12]) }'
    done | awk -F'|' '{ sum[$1] += $2 } END { for (name in sum) print name "|" sum[name] }' |
        sort
}

# F11 logs the frame count ("Fr:") and then writes DumpVRAM.bin: the count and the file's
# time mark one frame. Prints "frames seconds".
frame_mark() {
    local count
    count=$(grep -c "Fr:" "$work/DBUG.txt" || true)
    xdotool key F11
    until [ "$(grep -c "Fr:" "$work/DBUG.txt" || true)" -gt "$count" ] &&
        [ -f "$work/DumpVRAM.bin" ] && [ "$work/DumpVRAM.bin" -nt "$work/mark" ]; do
        sleep 0.01
    done
    echo "$(grep -o "Fr:[0-9]*" "$work/DBUG.txt" | tail -n 1 | cut -d: -f2) \
        $(stat -c %.9Y "$work/DumpVRAM.bin")"
}

# Past the title: Start, then fire all the time and move up and down.
sleep 2
xdotool key Return
sleep 1
xdotool keydown z
touch "$work/mark"
first_mark=$(frame_mark)
thread_ticks >"$work/before"
from=$(date +%s.%N)
end_at=$(awk -v s="$seconds" -v f="$from" 'BEGIN { printf "%d", f + s }')
while [ "$(date +%s)" -lt "$end_at" ]; do
    xdotool keydown Up
    sleep 0.4
    xdotool keyup Up keydown Down
    sleep 0.4
    xdotool keyup Down
    sleep 0.2
    xdotool key Return # a lost game starts again
done
thread_ticks >"$work/after"
to=$(date +%s.%N)
touch "$work/mark"
last_mark=$(frame_mark)
xdotool keyup z key Escape
wait "$quarvend_pid"
quarvend_pid=

ticks_per_second=$(getconf CLK_TCK)
late=$(awk '/ frames skipped/ { print $1 }' "$work/DBUG.txt")
echo "configuration: ${pacing[*]}"
awk -F'|' -v from="$from" -v to="$to" -v hz="$ticks_per_second" '
    FNR == NR { before[$1] = $2; next }
    {
        used = ($2 - before[$1]) / hz / (to - from) * 100
        total += used
        # The audio thread is SDL'"'"'s; every other thread but the main one belongs to the
        # graphics driver or the desktop bus.
        if ($1 == "Quarvend" || $1 ~ /^SDLAudio/) own += used
        printf "  %-20s %6.1f %% of a core\n", $1, used
    }
    END {
        printf "process:             %6.1f %% of a core (%.0f s of play)\n", total, to - from
        printf "main + audio thread: %6.1f %% of a core\n", own
    }' "$work/before" "$work/after"
echo "$first_mark $last_mark" | awk -v late="$late" '{
    frames = $3 - $1
    elapsed = $4 - $2
    printf "frames run:          %d in %.3f s = %.3f per second; %d late groups in the run\n",
        frames, elapsed, frames / elapsed, late
}'

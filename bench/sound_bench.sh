#!/bin/sh
# Sound benchmark: runs a program through the headless runner for FRAMES frames with
# ENABLESOUND=NO and with ENABLESOUND=YES, ROUNDS times each in turn, and prints the best
# frames per second of each and the share of a frame's time that sound costs. PROGRAM is
# tune (the default: channels 1-4 and FIFO A all playing, roms/sound/tune.s) or any program
# of the roms build folder. The figures depend on the machine; compare runs on one machine.
# With CALLGRIND=1 it counts instructions under valgrind's callgrind instead, once each:
# slow, but repeatable on a busy machine.
#
# usage: [CALLGRIND=1] bench/sound_bench.sh [BUILD_DIR [FRAMES [PROGRAM [ROUNDS]]]]
#        (defaults: build, 3000, tune, 3)
set -e
# Without BUILD_DIR: the default build in build/, made when missing.
build=$("$(dirname "$0")/build-dir.sh" "${1:-}")
frames=${2:-3000}
program=${3:-tune}
rounds=${4:-3}
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
printf 'ENABLESOUND=NO\r\n' >"$workdir/off.cfg"
printf 'ENABLESOUND=YES\r\n' >"$workdir/on.cfg"

# Prints the frames per second of one run with the configuration $1.
run() {
    "$build/tools/quarvend-headless" --workdir "$workdir/run" --config "$workdir/$1.cfg" \
        --frames "$frames" --bench "$build/roms/$program.gba" | sed -n 's/^fps //p'
}

# Prints the instructions one run with the configuration $1 executes.
count() {
    valgrind --tool=callgrind --callgrind-out-file="$workdir/callgrind.out" \
        "$build/tools/quarvend-headless" --workdir "$workdir/run" \
        --config "$workdir/$1.cfg" --frames "$frames" "$build/roms/$program.gba" 2>&1 >/dev/null |
        sed -n 's/.*Collected : //p'
}

if [ -n "$CALLGRIND" ]; then
    off=$(count off)
    on=$(count on)
    echo "$off $on $frames" | awk '{
        printf "instructions per frame: sound off %.0f, sound on %.0f\n", $1 / $3, $2 / $3
        printf "sound costs %.0f instructions per frame, %.1f %% of a frame with sound on\n",
            ($2 - $1) / $3, 100 * ($2 - $1) / $2
    }'
    exit 0
fi

best_off=0
best_on=0
round=1
while [ "$round" -le "$rounds" ]; do
    off=$(run off)
    on=$(run on)
    echo "round $round: sound off $off fps, sound on $on fps"
    best_off=$(echo "$off $best_off" | awk '{print ($1 > $2) ? $1 : $2}')
    best_on=$(echo "$on $best_on" | awk '{print ($1 > $2) ? $1 : $2}')
    round=$((round + 1))
done
echo "$best_off $best_on" | awk '{
    printf "best: sound off %.1f fps, sound on %.1f fps\n", $1, $2
    printf "sound costs %.2f ms per frame, %.1f %% of a frame with sound on\n",
        1000 / $2 - 1000 / $1, 100 * (1 - $2 / $1)
}'

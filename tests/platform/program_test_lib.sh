# Shell procedures shared by the tests that drive a real Quarvend program under a private Xvfb
# server (the SDL program and Quarvend.exe under Wine). Sourced; the test sets case_name, work,
# wait_limit, xvfb_screen, log_dir (where DBUG.txt is written), program_name and quarvend_pid,
# and may define its own cleanup and fail after sourcing.

# Ends the program and Xvfb and removes the working folder, which a failure keeps.
cleanup() {
    for pid in $quarvend_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    if [ "${keep_work:-0}" = 1 ]; then
        echo "files kept in $work"
    else
        chmod -R u+w "$work" 2>/dev/null || true
        rm -rf "$work"
    fi
}

fail() {
    echo "FAIL ($case_name): $*" >&2
    keep_work=1
    if [ -f "$log_dir/DBUG.txt" ]; then
        echo "--- DBUG.txt:" >&2
        cat "$log_dir/DBUG.txt" >&2
        echo >&2
    fi
    exit 1
}

# Starts Xvfb on a free display number and exports DISPLAY.
start_xvfb() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 "$xvfb_screen" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq $((wait_limit * 10))); do
        if [ -s "$work/display" ]; then
            export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
            return
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
        sleep 0.1
    done
    fail "Xvfb gave no display number"
}

# Waits for the program to end and checks its exit code.
expect_exit() {
    local expected=$1 code=0
    for _ in $(seq $((wait_limit * 10))); do
        kill -0 "$quarvend_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$quarvend_pid" 2>/dev/null && fail "$program_name still running after ${wait_limit}s"
    wait "$quarvend_pid" || code=$?
    quarvend_pid=
    [ "$code" = "$expected" ] || fail "exit code $code, expected $expected"
}

wait_for_log() {
    for _ in $(seq $((wait_limit * 10))); do
        grep -q "$1" "$log_dir/DBUG.txt" 2>/dev/null && return
        kill -0 "$quarvend_pid" 2>/dev/null || fail "$program_name ended before logging '$1'"
        sleep 0.1
    done
    fail "no '$1' in the log after ${wait_limit}s"
}

# Waits for a window with exactly this title and leaves its id in found_window.
find_window() {
    for _ in $(seq $((wait_limit * 5))); do
        found_window=$(xwininfo -name "$1" -int 2>/dev/null | awk '/Window id/ { print $4 }') ||
            true
        [ -n "$found_window" ] && return
        kill -0 "$quarvend_pid" 2>/dev/null || fail "$program_name ended without a window '$1'"
        sleep 0.2
    done
    fail "no window titled '$1' after ${wait_limit}s"
}

# The window's size as WIDTHxHEIGHT.
window_size() {
    xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# Waits until the window has the size and the title.
wait_for_window() {
    local size title
    for _ in $(seq $((wait_limit * 5))); do
        size=$(window_size "$1")
        title=$(xwininfo -id "$1" | sed -n 's/^xwininfo: Window id: [^ ]* "\(.*\)"$/\1/p')
        [ "$size" = "$2" ] && [ "$title" = "$3" ] && return
        sleep 0.2
    done
    fail "the window is $size titled '$title', not $2 titled '$3'"
}

# The window (or with "root" the whole screen), cut to CROP when given, shows the program's
# Shot0001.BMP enlarged by SCALE per cent at OFFSET on black, the rest of its SIZE black. A
# scaled picture may show a frame or two late.
expect_picture() {
    local window=$1 size=$2 scale=$3 offset=$4 crop=${5:-} differing
    convert -size "$size" xc:black \( "$log_dir/Shot0001.BMP" -filter point -resize "$scale%" \) \
        -geometry "$offset" -composite "$work/expected-$size.png"
    for _ in $(seq 10); do
        import -window "$window" ${crop:+-crop "$crop" +repage} "$work/screen-$size.png"
        differing=$(differing_pixels "$work/screen-$size.png" "$work/expected-$size.png")
        [ "$differing" = 0 ] && return
        sleep 0.5
    done
    fail "the $size picture differs from Shot0001.BMP at $scale% at $offset in $differing pixels"
}

wait_for_file() {
    for _ in $(seq $((wait_limit * 10))); do
        [ -s "$1" ] && return
        sleep 0.1
    done
    fail "$1 was not written within ${wait_limit}s"
}

# The speed keys' lines in the log LOG: no frame ran while paused, the game ran fast while Tab
# was held (from STARTED to ENDED, in seconds of the clock: at 60 frames per second it would not
# be fast, and a busy machine slows it down), and the pace did not race to catch up after either
# (that would count its late groups as skipped).
check_speed_log() {
    local log paused resumed fast normal skipped rate
    log=$(tr -d '\r' <"$1")
    paused=$(sed -n 's/^Pause at frame //p' <<<"$log")
    resumed=$(sed -n 's/^Resume at frame //p' <<<"$log")
    fast=$(sed -n 's/^Fast forward from frame //p' <<<"$log")
    normal=$(sed -n 's/^Normal speed from frame //p' <<<"$log")
    skipped=$(sed -n 's/^\([0-9]*\) frames skipped$/\1/p' <<<"$log")
    rate=$(awk -v f="$((normal - fast))" -v a="$2" -v b="$3" 'BEGIN { printf "%.0f", f / (b - a) }')
    echo "paused at frame $paused, resumed at $resumed; fast from $fast to $normal" \
        "($rate frames per second); $skipped frames skipped"
    [ "$paused" = "$resumed" ] || fail "frames ran while paused ($paused to $resumed)"
    [ "$rate" -gt 150 ] || fail "fast-forward ran $rate frames per second"
    [ "$skipped" -lt 30 ] || fail "$skipped frames skipped: the pace caught up after a stop"
}

# Number of pixels that differ by more than the 5-to-8-bit colour rounding allows.
differing_pixels() {
    compare -metric AE -fuzz 4% "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true
}

# The Wine settings of the tests that run Windows programs in the prefix PREFIX: no desktop
# integration, no downloads of add-ons, sound to an ALSA device that plays nothing, and a home of
# the test's own.
use_wine_prefix() {
    export WINEPREFIX=$1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    export HOME="$work/home"
    mkdir -p "$HOME"
    printf 'pcm.!default {\n    type null\n}\n' >"$HOME/.asoundrc"
}

# Ends a test's programs: Wine's server of the prefix (which outlives them) and Xvfb; then the
# work folder goes, unless a failure asked to keep it.
end_wine_test() {
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        timeout 60 wineserver -w 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
    wait 2>/dev/null || true
    if [ "${keep_work:-0}" = 1 ]; then
        echo "files kept in $work"
    else
        rm -rf "$work"
    fi
}

#!/usr/bin/env bash
# Runs Quarvend.exe under Wine in a 1024x768 virtual desktop inside a private Xvfb server, and
# drives it with xdotool as a player would. One case per call:
#   quarvend_exe_wine_test.sh CASE PREFIX QUARVEND_EXE HEADLESS_RUNNER ROM_DIR
# The case "prefix" makes the Wine prefix PREFIX (the slow part: wineboot), "remove_prefix"
# deletes it; every other case uses it: play, sound, pacing, speed_keys, set_up_failures,
# joystick, window.
# QUARVEND_WINE names the Wine program (default wine); the build is the one that Wine starts,
# 32-bit or x86-64.
#   quarvend_exe_wine_test.sh no_wine PROBLEM MARKER
# fails with PROBLEM, or reports the test as not run (exit code 77) when the file MARKER says
# that no Wine can be installed on this machine.
set -euo pipefail

case_name=$1
if [ "$case_name" = no_wine ]; then
    if [ -f "$3" ]; then
        echo "NOT RUN: the tests of Quarvend.exe under Wine: $2;"
        echo "no Wine can be installed on this machine ($3):"
        cat "$3"
        exit 77
    fi
    echo "FAIL: the tests of Quarvend.exe under Wine cannot run: $2"
    echo "(tools/install-deps.sh installs Wine)"
    exit 1
fi
prefix=$2
quarvend_exe=${3:+$(realpath "$3")}
headless=${4:+$(realpath "$4")}
rom_dir=${5:+$(realpath "$5")}
wine=${QUARVEND_WINE:-wine}

# Generous limits: the machine is shared and slow, and Wine starts slowly; nothing here
# measures speed.
wait_limit=120

work=$(mktemp -d /tmp/quarvend-wine-test.XXXXXX)
xvfb_pid=
quarvend_pid=
xvfb_screen=1024x768x24
program_name=Quarvend.exe
# shellcheck source=program_test_lib.sh
. "$(dirname "$0")/program_test_lib.sh"

# Wine keeps a server per prefix that outlives the programs; it goes with each case's display.
cleanup() {
    if [ -n "$quarvend_pid" ]; then
        kill "$quarvend_pid" 2>/dev/null || true
    fi
    end_wine_test
}
trap cleanup EXIT

# The unpacked folder: Quarvend.exe, GBA.BIOS and the configuration; the ROM in a folder of
# its own, named on the command line with a space in the path.
game="$work/game"
log_dir=$game
rom_folder="$game/my roms"

# Wine's settings for these runs; the sound case records what ALSA gets instead.
use_wine_prefix "$prefix"

null_sound_device() {
    printf 'pcm.!default {\n    type null\n}\n' >"$HOME/.asoundrc"
}

recording_sound_device() {
    printf 'pcm.!default {\n    type file\n    slave.pcm "null"\n    file "%s"\n    format "wav"\n}\n' \
        "$1" >"$HOME/.asoundrc"
}

# A fresh prefix whose programs share one virtual desktop of 1024x768.
make_prefix() {
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    start_xvfb
    null_sound_device
    timeout 600 "$wine" wineboot --init >"$work/wineboot.log" 2>&1 ||
        fail "wineboot failed: $(tail -n 20 "$work/wineboot.log")"
    timeout 600 wineserver -w
    cat >"$work/settings.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"="alsa"
EOF
    timeout 300 "$wine" regedit "$work/settings.reg" >"$work/regedit.log" 2>&1 ||
        fail "the settings did not go into the registry: $(cat "$work/regedit.log")"
    timeout 300 wineserver -w
    [ -f "$prefix/system.reg" ] || fail "wineboot made no registry"
}

unpack_game() {
    mkdir -p "$rom_folder"
    cp "$quarvend_exe" "$game/Quarvend.exe"
    cp "$(dirname "$quarvend_exe")/GBA.BIOS" "$game/GBA.BIOS"
}

# Keys of the usual configuration: arrows, Z = A, X = B, Backspace = Select, Enter = Start,
# A = L, S = R. ZOOM=1 is the 2x zoom. Further arguments are lines added at the end.
write_config() {
    printf '%s\r\n' "AUTOSKIP=YES" "ENABLESOUND=$1" "INPUT=$2" "ZOOM=1" \
        "KEYUP=200" "KEYDOWN=208" "KEYLEFT=203" "KEYRIGHT=205" "KEYA=44" "KEYB=45" \
        "KEYSELECT=14" "KEYSTART=28" "KEYL=30" "KEYR=31" "JOYA=1" "JOYB=2" "${@:3}" " " \
        >"$game/Quarvend.CFG"
}

use_program() {
    cp "$rom_dir/$1.gba" "$rom_folder/$1.gba"
    save_stem="$rom_folder/$1."
    rom_argument="my roms/$1.gba"
}

# The build, from its PE header, and the Wine that runs it, for the test log.
say_build_and_wine() {
    local header machine
    header=$(od -An -j60 -N4 -tu4 "$quarvend_exe" | tr -d ' ')
    machine=$(od -An -j$((header + 4)) -N2 -tx2 "$quarvend_exe" | tr -d ' ')
    case "$machine" in
    014c) machine="32-bit (i386)" ;;
    8664) machine="x86-64" ;;
    esac
    echo "Quarvend.exe, the $machine build ($quarvend_exe)," \
        "runs under $("$wine" --version 2>/dev/null)"
}

# The Wine loader that took over the started process (wine or wine64), once per case.
say_loader() {
    local loader
    for _ in $(seq 50); do
        loader=$(readlink "/proc/$quarvend_pid/exe" 2>/dev/null) || return 0
        case "$loader" in
        */wine*) echo "Wine loader: $loader" && loader_said=1 && return ;;
        esac
        sleep 0.1
    done
}

# Starts Quarvend.exe in its folder. Wine joins the two arguments with a space into the
# command line, which the program takes whole as the ROM path.
start_quarvend() {
    local first=${rom_argument%% *} rest=${rom_argument#* }
    (cd "$game" && exec env "$@" "$wine" Quarvend.exe "$first" "$rest") >"$work/quarvend.out" 2>&1 &
    quarvend_pid=$!
    [ -n "${loader_said:-}" ] || say_loader
}

# Wine gives the new window the keyboard a moment after the program's first frames; a key
# pressed before that is lost, as on Windows. Escape is pressed again until the program ends.
press_escape() {
    sleep 2
    for _ in $(seq $((wait_limit / 2))); do
        xdotool key Escape
        sleep 2
        kill -0 "$quarvend_pid" 2>/dev/null || return 0
    done
}

# The log is a Windows text file: CR LF line ends, the last line without one.
expect_clean_end() {
    [ "$(tail -c 13 "$game/DBUG.txt")" = $'\r\nQuitting...' ] ||
        fail "the log does not end with Quitting... on a line of its own"
    [ ! -e "${save_stem}sav" ] || fail "a save file was written for a program that does not save"
}

# Keys reach the program through DirectInput, Print Screen saves the same picture the Linux
# headless runner takes with the same buttons held, the DirectDraw display shows it 2x at
# (80, 80) of the 640x480 mode, Shift+F1 and F1 save and load a state, and Escape ends the
# program cleanly with exit code 0. The program never saves, so no save file appears; a second
# run finds an EEPROM file that was there and writes it back.
case_play() {
    unpack_game
    use_program keypad_view
    write_config NO KEYBOARD
    start_xvfb
    null_sound_device
    start_quarvend
    wait_for_log "Emulation start"

    xdotool keydown Right z
    sleep 1
    xdotool key Print
    wait_for_file "$game/Shot0001.BMP"
    sleep 1
    import -window root -crop 640x480+0+0 +repage "$work/screen.png"
    xdotool keyup Right z
    sleep 0.5
    # Shift+F1 and F1 come through DirectInput to the save states: slot 1 beside the ROM.
    xdotool key shift+F1
    wait_for_log "State saved to "
    [ -s "${save_stem}ss1" ] || fail "no state file beside the ROM"
    xdotool key F1
    wait_for_log "State loaded from "
    press_escape
    expect_exit 0
    expect_clean_end
    grep -q "Via ESC" "$game/DBUG.txt" || fail "Escape did not come through the input poll"

    "$headless" --workdir "$work/headless" --config "$game/Quarvend.CFG" --frames 40 \
        --press RIGHT@5-40 --press A@5-40 --shot 30 "$rom_folder/keypad_view.gba" >/dev/null ||
        fail "the headless runner failed"
    cmp -s "$game/Shot0001.BMP" "$work/headless/Shot0001.BMP" ||
        fail "the Print Screen picture differs from the headless runner's (Right and A held)"

    convert -size 640x480 xc:black \( "$game/Shot0001.BMP" -filter point -resize 200% \) \
        -geometry +80+80 -composite "$work/expected-screen.png"
    local differing
    differing=$(differing_pixels "$work/screen.png" "$work/expected-screen.png")
    [ "$differing" = 0 ] || fail "the screen differs from the picture at 2x in $differing pixels"

    # Again, now with a save file to read and write back.
    [ ! -e "${save_stem}EEPROM" ] || fail "an EEPROM file was written for a program that does not save"
    head -c 16384 /dev/zero >"${save_stem}EEPROM"
    touch -d '2000-01-01' "${save_stem}EEPROM"
    start_quarvend
    wait_for_log "Emulation start"
    press_escape
    expect_exit 0
    expect_clean_end
    [ "${save_stem}EEPROM" -nt "$game/Quarvend.CFG" ] ||
        fail "the existing save file was not written again"
}

# Starts fifo_square with sound on, the ALSA device recording to sound.wav.
play_recorded_square() {
    unpack_game
    use_program fifo_square
    write_config YES KEYBOARD
    start_xvfb
    recording_sound_device "$work/sound.wav"
    start_quarvend
    wait_for_log "Emulation start"
}

# DirectSound plays FIFO A's 512 Hz square on both sides; the recording ALSA device shows it.
case_sound() {
    play_recorded_square
    sleep 3
    press_escape
    expect_exit 0
    expect_clean_end
    grep -q "Uninitialize DirectSound...complete." "$game/DBUG.txt" ||
        fail "the sound was not shut down"
    [ -s "$work/sound.wav" ] || fail "Wine played nothing through ALSA"

    # Per side: the most common half period of the square (the program restarts its table
    # every frame, which stretches a few), and the share of its samples at the level of ±64 at
    # the start-up volume of -2.8 dB, 0.5 x 0.724 (the resampler to Wine's rate overshoots at
    # the edges, so the peak says little). Wine mixes in 32-bit floats, at the header's rate.
    local rate bits figures
    rate=$(od -An -j24 -N4 -tu4 "$work/sound.wav" | tr -d ' ')
    bits=$(od -An -j34 -N2 -tu2 "$work/sound.wav" | tr -d ' ')
    [ "$bits" = 32 ] || fail "the recording holds $bits-bit samples, not 32-bit floats"
    figures=$(od -An -v -j44 -tf4 -w8 "$work/sound.wav" | awk -v rate="$rate" '
        function sign(v) { return v > 0 ? 1 : (v < 0 ? -1 : 0) }
        {
            for (side = 1; side <= 2; ++side) {
                v = $side + 0; s = sign(v)
                if (s == 0) continue
                if (s == prev[side]) {
                    ++run[side]
                } else {
                    if (prev[side] != 0) ++runs[side, run[side]]
                    run[side] = 1
                    prev[side] = s
                }
                ++count[side]
                if (v * s > 0.3435 && v * s < 0.3805) ++level[side]
            }
        }
        END {
            for (side = 1; side <= 2; ++side) {
                common = 0
                for (key in runs) {
                    split(key, part, SUBSEP)
                    if (part[1] == side && (common == 0 || runs[key] > runs[side, common]))
                        common = part[2]
                }
                hz = common > 0 ? rate / (2 * common) : 0
                printf "%.1f %.2f ", hz, count[side] ? level[side] / count[side] : 0
            }
        }')
    echo "sound (Hz, share at the level; left then right): $figures"
    read -r left_hz left_share right_hz right_share <<<"$figures"
    for side in "$left_hz $left_share" "$right_hz $right_share"; do
        read -r hz share <<<"$side"
        awk -v f="$hz" -v s="$share" 'BEGIN { exit !(f > 500 && f < 525 && s > 0.6) }' ||
            fail "no 512 Hz square at -2.8 dB on both sides: $figures"
    done
}

# The game runs at 60 frames per second of game time and sleeps between frames: by the clock
# (automatic frame skip) and by the display in fixed frame skip (Wine reports a 60 Hz display
# whose flips do not wait for its refresh), also in a window reached by Alt+Enter. F11 logs the
# frame count and writes DumpVRAM.bin, whose time marks that frame; /proc gives the processor
# time of the Wine process that runs Quarvend.exe over the same stretch. Wine's Direct3D runs
# without its command thread, which polls for work on a processor of its own. The bounds are
# loose, for a busy machine and Wine's drawing (about 15 % of a processor here); a wait that
# only yields the processor takes 45 to 85 %, depending on what else runs.
case_pacing() {
    unpack_game
    use_program keypad_view
    start_xvfb
    null_sound_device
    local setting config mode first second figures rate share
    for setting in "AUTOSKIP=YES" "AUTOSKIP=NO" "AUTOSKIP=NO window"; do
        read -r config mode <<<"$setting"
        printf '%s\r\n' "$config" "ENABLESOUND=NO" "ZOOM=1" " " >"$game/Quarvend.CFG"
        rm -f "$game/DBUG.txt" "$game/DumpVRAM.bin"
        start_quarvend WINE_D3D_CONFIG=csmt=0
        wait_for_log "Emulation start"
        if [ "$mode" = window ]; then
            # The window that takes over from a full screen pacing the game keeps its pace, also
            # after fast-forward has asked for the refresh wait again.
            sleep 3
            xdotool key alt+Return
            find_window "Quarvend - keypad_view.gba"
            for _ in $(seq 10); do
                xdotool keydown Tab
                sleep 0.5
                xdotool keyup Tab
                sleep 1
                grep -q "Normal speed from frame" "$game/DBUG.txt" && break
            done
            grep -q "Normal speed from frame" "$game/DBUG.txt" || fail "Tab did not fast-forward"
        fi
        sleep 3
        first=$(frame_and_processor_mark 1)
        sleep 5
        second=$(frame_and_processor_mark 2)
        press_escape
        expect_exit 0
        figures=$(echo "$first $second" | awk -v tick="$(getconf CLK_TCK)" '{
            seconds = $5 - $2
            printf "%.2f %.3f", ($4 - $1) / seconds, ($6 - $3) / tick / seconds }')
        read -r rate share <<<"$figures"
        echo "$setting: $rate frames per second, $share of a processor"
        awk -v r="$rate" 'BEGIN { exit !(r > 45 && r < 63) }' ||
            fail "$setting ran at $rate frames per second, not 60"
        awk -v s="$share" 'BEGIN { exit !(s < 0.35) }' ||
            fail "$setting took $share of a processor between frames: a busy wait"
    done
}

# Presses F11 and waits for its log line and dump: prints the frame count it logged, the dump's
# time and the processor time (user and system, in clock ticks) of Quarvend.exe's process.
# COUNT is how many F11 lines the log holds afterwards. A press before Wine has given the window
# the keyboard is lost, so F11 is pressed again after a while.
frame_and_processor_mark() {
    local waited
    for waited in $(seq $((wait_limit * 10))); do
        [ $((waited % 50)) = 1 ] && [ "$(grep -c "Fr:" "$game/DBUG.txt")" -lt "$1" ] &&
            xdotool key F11
        if [ "$(grep -c "Fr:" "$game/DBUG.txt")" -ge "$1" ] && [ -f "$game/DumpVRAM.bin" ] &&
            [ "$(grep -o "BG0CNT:" "$game/DBUG.txt" | wc -l)" -ge "$1" ]; then
            echo "$(grep -o "Fr:[0-9]*" "$game/DBUG.txt" | tail -n 1 | cut -d: -f2)" \
                "$(stat -c %.9Y "$game/DumpVRAM.bin")" \
                "$(sed 's/.*) //' "/proc/$quarvend_pid/stat" | awk '{ print $12 + $13 }')"
            return
        fi
        sleep 0.1
    done
    fail "F11 wrote no frame count"
}

# Pause, P and Tab through DirectInput: the game stops while paused and runs fast while Tab is
# held, with DirectSound's buffers stopped both times, and goes on at its pace afterwards.
case_speed_keys() {
    play_recorded_square
    sleep 2
    press_until Pause "Pause at frame"
    sleep 2
    xdotool key p
    wait_for_log "Resume at frame"
    sleep 2
    local started ended
    started=$(date +%s.%N)
    xdotool keydown Tab
    wait_for_log "Fast forward from frame"
    sleep 2
    xdotool keyup Tab
    ended=$(date +%s.%N)
    wait_for_log "Normal speed from frame"
    sleep 2
    press_escape
    expect_exit 0
    expect_clean_end
    check_speed_log "$game/DBUG.txt" "$started" "$ended"

    # ALSA's null device takes the samples faster than real time, so the recording's length
    # tells no time; the order of its stretches does. Each tenth of a second of it is loud (L),
    # silent (S) or in between; the runs of each, the in-between ones left out, must show the
    # tone, the silence of the pause, the tone, the silence of fast-forward and the tone.
    local rate stretches
    rate=$(od -An -j24 -N4 -tu4 "$work/sound.wav" | tr -d ' ')
    stretches=$(od -An -v -j44 -tf4 -w8 "$work/sound.wav" | awk -v block="$((rate / 10))" '
        {
            for (side = 1; side <= 2; ++side) {
                v = $side < 0 ? -$side : $side
                if (v > peak) peak = v
            }
            if (NR % block) next
            kind = peak > 0.1 ? "L" : (peak < 0.001 ? "S" : "")
            if (kind != "" && kind != last) printf "%s", kind
            if (kind != "") last = kind
            peak = 0
        }')
    echo "the recording's loud (L) and silent (S) stretches: $stretches"
    [[ $stretches == *LSLSL* ]] || fail "no silence while paused and while fast: $stretches"
}

# Presses KEY until the log shows LINE: Wine gives the new window the keyboard a moment after
# its first frames.
press_until() {
    for _ in $(seq $((wait_limit / 2))); do
        xdotool key "$1"
        sleep 2
        grep -q "$2" "$game/DBUG.txt" && return
    done
    fail "no '$2' in the log after pressing $1"
}

# QUARVEND_FAIL_STEP makes one set-up step fail as if Windows had refused it: the step's log
# line, the shut-down sequence and the step's exit code.
case_set_up_failures() {
    unpack_game
    use_program keypad_view
    write_config YES KEYBOARD
    start_xvfb
    null_sound_device
    local step code text
    while read -r step code text; do
        rm -f "$game/DBUG.txt"
        start_quarvend QUARVEND_FAIL_STEP="$step"
        # The player sees the failure in a box; the exit follows its answer.
        find_window "Quarvend Message"
        grep -qF "$text" "$game/DBUG.txt" || fail "$step: no '$text' in the log"
        xdotool windowfocus --sync "$found_window" key Return
        expect_exit "$code"
        expect_clean_end
        echo "$step: exit code $code"
    done <<'EOF'
windowCreate 7 Fail to create window
inputCreate 3 Fail to create DirectInput object
keyboardBufferSize 3 Fail to set DirectInput property
soundCreate 4 Unable to create DirectSound object!
soundPrimaryFormat 4 Fail to set primary sound buffer format
soundSecondaryBuffers 4 Buffer Size:44100
displayCreate 5 DirectDrawCreate Fail
displayMode 5 Fail to set display mode
displayFilterSurface 5 Filter failed
EOF
}

# Joystick mode without a joystick: the message box, then exit code 3 once it is dismissed.
case_joystick() {
    unpack_game
    use_program keypad_view
    write_config NO GAMEPAD
    start_xvfb
    null_sound_device
    start_quarvend
    wait_for_log "Fail to initialize joystick"
    sleep 2
    xdotool key Return
    expect_exit 3
    expect_clean_end
}

# The client area of a framed window as a crop of the screen, for a client of WIDTH x HEIGHT:
# Wine draws the frame inside the X window, as wide left, right and below, the title bar above.
client_area() {
    xwininfo -id "$1" | awk -v cw="$2" -v ch="$3" '
        /Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 }
        /Height:/ { h = $2 }
        END { b = (w - cw) / 2; printf "%dx%d+%d+%d", cw, ch, x + b, y + h - ch - b }'
}

# Drags the right edge of Wine's frame (Wine sizes its windows itself) by PIXELS to the right.
drag_right_edge() {
    local x y w h
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { print x, y, w, h }')
    xdotool mousemove $((x + w - 2)) $((y + h / 2))
    sleep 0.3
    xdotool mousedown 1
    sleep 0.3
    xdotool mousemove $((x + w - 2 + $2 / 2)) $((y + h / 2))
    sleep 0.3
    xdotool mousemove $((x + w - 2 + $2)) $((y + h / 2))
    sleep 0.3
    xdotool mouseup 1
}

# WINDOW=YES: an ordinary window titled after the ROM whose client area shows the picture 3x,
# drawn through GDI; made wider with the mouse, it shows it 3x between bars left and right.
# Alt+Enter gives the DirectDraw full screen of case_play (the 640x480 mode at the desktop's
# corner), and again the window at its size; Escape ends the program cleanly.
case_window() {
    unpack_game
    use_program keypad_view
    write_config NO KEYBOARD WINDOW=YES
    start_xvfb
    null_sound_device
    start_quarvend
    wait_for_log "Emulation start"
    local title="Quarvend - keypad_view.gba" framed
    find_window "$title"
    local window=$found_window
    # Wine gives the window the keyboard a moment after the first frames.
    for _ in $(seq $((wait_limit / 2))); do
        xdotool key Print
        sleep 2
        [ -s "$game/Shot0001.BMP" ] && break
    done
    wait_for_file "$game/Shot0001.BMP"
    expect_picture root 720x480 300 +0+0 "$(client_area "$window" 720 480)"
    # The frame's width beyond the client's, then how wide the drag made the client.
    local frame_width wide
    frame_width=$(($(window_size "$window" | cut -dx -f1) - 720))
    drag_right_edge "$window" 200
    sleep 1
    framed=$(window_size "$window")
    wide=$((${framed%x*} - frame_width))
    [ "$wide" -gt 740 ] || fail "the drag did not widen the window ($framed)"
    expect_picture root "${wide}x480" 300 "+$(((wide - 720) / 2))+0" \
        "$(client_area "$window" "$wide" 480)"

    xdotool key alt+Return
    wait_for_window "$window" 640x480 Quarvend
    expect_picture root 640x480 200 +80+80 640x480+0+0
    xdotool key alt+Return
    wait_for_window "$window" "$framed" "$title"
    expect_picture root "${wide}x480" 300 "+$(((wide - 720) / 2))+0" \
        "$(client_area "$window" "$wide" 480)"

    press_escape
    expect_exit 0
    expect_clean_end
}

case "$case_name" in
prefix) make_prefix ;;
remove_prefix) rm -rf "$prefix" ;;
play | sound | pacing | speed_keys | set_up_failures | joystick | window)
    [ -f "$prefix/system.reg" ] || fail "no Wine prefix in $prefix"
    say_build_and_wine
    "case_$case_name"
    ;;
*)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "PASS ($case_name)"

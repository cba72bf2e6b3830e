#!/usr/bin/env bash
# Runs the real Quarvend program on its SDL host under a private Xvfb server and drives it
# with xdotool, as a player would. One case per call:
#   quarvend_program_test.sh CASE QUARVEND HEADLESS_RUNNER ROM_DIR BOOT_IMAGE
# Cases: play, sound, sound_latency, fixed_pacing, focus, speed_keys, no_display, joystick,
# gamepad_dpad, set_up_failures, states, window, window_whole_scale.
set -euo pipefail

case_name=$1
quarvend=$(realpath "$2")
headless=$(realpath "$3")
rom_dir=$(realpath "$4")
boot_image=$(realpath "$5")

# Generous limits: the machine is shared and slow; nothing here measures speed.
wait_limit=90

work=$(mktemp -d /tmp/quarvend-program-test.XXXXXX)
xvfb_pid=
quarvend_pid=
xvfb_screen=1280x1024x24
log_dir=$work
program_name=Quarvend
# shellcheck source=program_test_lib.sh
. "$(dirname "$0")/program_test_lib.sh"

trap cleanup EXIT

# The ROM sits in a folder whose name has a space; Quarvend gets the path unquoted, as two
# arguments, and must join them again.
rom_folder="$work/my roms"
mkdir -p "$rom_folder"
cp "$boot_image" "$work/GBA.BIOS"

# Keys of the usual configuration: arrows, Z = A, X = B, Backspace = Select, Enter = Start,
# A = L, S = R. ZOOM=1 is the 2x zoom. Further arguments are lines added at the end.
write_config() {
    printf '%s\r\n' "AUTOSKIP=YES" "ENABLESOUND=$1" "INPUT=$2" "ZOOM=1" \
        "KEYUP=200" "KEYDOWN=208" "KEYLEFT=203" "KEYRIGHT=205" "KEYA=44" "KEYB=45" \
        "KEYSELECT=14" "KEYSTART=28" "KEYL=30" "KEYR=31" "JOYA=1" "JOYB=2" "${@:3}" " " \
        >"$work/Quarvend.CFG"
}

use_program() {
    cp "$rom_dir/$1.gba" "$rom_folder/$1.gba"
    rom_path="$rom_folder/$1.gba"
    save_stem="$rom_folder/$1."
}

# Starts Quarvend in the working folder with the ROM path split at its space.
start_quarvend() {
    local first=${rom_path%% *} rest=${rom_path#* }
    (cd "$work" && exec "$quarvend" "$first" "$rest") >"$work/quarvend.out" 2>&1 &
    quarvend_pid=$!
}

# The shut-down sequence ran to its end. The programs never save, so no save file appears
# beside the ROM.
expect_clean_end() {
    [ "$(tail -n 1 "$work/DBUG.txt")" = "Quitting..." ] ||
        fail "the log does not end with Quitting..."
    [ ! -e "${save_stem}sav" ] && [ ! -e "${save_stem}EEPROM" ] ||
        fail "save files were written for a program that does not save"
}

# keypad_view on the keyboard without sound, running in its window.
start_keypad_view() {
    use_program keypad_view
    write_config NO KEYBOARD
    start_xvfb
    SDL_AUDIODRIVER=dummy start_quarvend
    find_window Quarvend
    wait_for_log "Emulation start"
}

# Keys reach the program, Print Screen saves the picture the headless runner takes with the
# same buttons held, the screen shows it scaled 2x2 from the 640x480 display with black bars
# above and below (aspect kept on a 5:4 screen), and Escape ends the program cleanly.
case_play() {
    start_keypad_view

    xdotool keydown Right z
    sleep 1
    xdotool key Print
    wait_for_file "$work/Shot0001.BMP"
    sleep 1
    import -window root "$work/screen.png"
    xdotool keyup Right z
    sleep 0.5
    xdotool key Escape
    expect_exit 0
    expect_clean_end

    "$headless" --workdir "$work/headless" --config "$work/Quarvend.CFG" --frames 40 \
        --press RIGHT@5-40 --press A@5-40 --shot 30 "$rom_path" >/dev/null ||
        fail "the headless runner failed"
    cmp -s "$work/Shot0001.BMP" "$work/headless/Shot0001.BMP" ||
        fail "the Print Screen picture differs from the headless runner's (Right and A held)"

    local released
    "$headless" --workdir "$work/released" --config "$work/Quarvend.CFG" --frames 40 \
        --shot 30 "$rom_path" >/dev/null || fail "the headless runner failed"
    released=$(differing_pixels "$work/Shot0001.BMP" "$work/released/Shot0001.BMP")
    [ "$released" -gt 0 ] || fail "the picture does not change when buttons are held"

    # Back buffer 640x480 with the 2x picture at (80, 80); the screen scales it by 2 into
    # 1280x960 at (0, 32).
    convert -size 1280x1024 xc:black \( "$work/Shot0001.BMP" -filter point -resize 400% \) \
        -geometry +160+192 -composite "$work/expected-screen.png"
    local differing
    differing=$(differing_pixels "$work/screen.png" "$work/expected-screen.png")
    [ "$differing" = 0 ] ||
        fail "the screen differs from the picture scaled with its aspect in $differing pixels"
}

# The disk audio driver writes what the audio callback mixed: FIFO A's 512 Hz square on both
# sides at the start-up volume of -2.8 dB (a ±64 sample becomes ±11868).
case_sound() {
    use_program fifo_square
    write_config YES KEYBOARD
    start_xvfb
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw" start_quarvend
    wait_for_log "Emulation start"
    sleep 3
    xdotool key Escape
    expect_exit 0
    expect_clean_end
    [ -s "$work/sound.raw" ] || fail "the disk audio driver wrote nothing"

    # Per side: the tone's frequency from its most common half period (the program restarts
    # its table every frame, which stretches a few half periods), its level (half the distance
    # from the lowest sample to the highest: the output is centred on 0, and the cut-off
    # squares of the table's restarts do not centre on it) and its length.
    local figures
    figures=$(od -An -v -td2 -w4 "$work/sound.raw" | awk '
        function sign(v) { return v > 0 ? 1 : (v < 0 ? -1 : 0) }
        {
            for (side = 1; side <= 2; ++side) {
                v = $side; s = sign(v)
                if (s == 0) continue
                if (!first[side]) first[side] = NR
                last[side] = NR
                if (s == prev[side]) {
                    ++run[side]
                } else {
                    if (prev[side] != 0) ++runs[side, run[side]]
                    run[side] = 1
                    prev[side] = s
                }
                if (v > high[side]) high[side] = v
                if (v < low[side]) low[side] = v
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
                hz = common > 0 ? 44100 / (2 * common) : 0
                printf "%.1f %d %.2f ", hz, (high[side] - low[side]) / 2,
                    (last[side] - first[side] + 1) / 44100
            }
        }')
    echo "sound (Hz, level, seconds; left then right): $figures"
    read -r left_hz left_peak left_seconds right_hz right_peak right_seconds <<<"$figures"
    awk -v s="$left_seconds" 'BEGIN { exit !(s >= 1.5) }' ||
        fail "less than 1.5 s of sound: $figures"
    for side in "$left_hz $left_peak" "$right_hz $right_peak"; do
        read -r hz peak <<<"$side"
        # The writing follows the device's pace by up to 6.5 %, and SDL's disk driver plays a
        # few per cent slower than real time (its sleeps are whole milliseconds).
        awk -v f="$hz" 'BEGIN { exit !(f > 478 && f < 546) }' ||
            fail "the tone is not near 512 Hz: $figures"
        # The centring filter lets each edge overshoot a little (up to 7 %).
        [ "$peak" -gt 11500 ] && [ "$peak" -lt 12700 ] ||
            fail "the tone is not at -2.8 dB of ±64: $figures"
    done
}

# A key press is heard at once: key_tone routes its 1 kHz tone to the speakers while A is
# held. Just before each press the size of the disk audio driver's file tells how much the
# device has played; the tone must start within 150 ms of that point (the player's sense of
# "at once", with room for a busy machine) and not before it. QUARVEND_PRESS_AT lists the
# seconds of the presses (default "3 10 120": the start, and a run long enough for a drifting
# device to show; bench/sound_latency.sh takes other times).
case_sound_latency() {
    use_program key_tone
    write_config YES KEYBOARD
    start_xvfb
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw" start_quarvend
    wait_for_log "Emulation start"
    local start presses
    start=$(stat -c %.9Y "$work/DBUG.txt")
    # One process presses and reads the file's size before and after each press, so that no
    # program start (slow on a busy machine) falls between them; xdotool answers the mouse
    # location only after it has sent the press.
    presses=$(perl -MIPC::Open2 -MTime::HiRes=time,sleep -e '
        my ($file, $start, @at) = @ARGV;
        my $pid = open2(my $out, my $in, "stdbuf", "-oL", "xdotool", "-");
        $in->autoflush(1);
        for my $at (@at) {
            my $wait = $start + $at - time;
            sleep $wait if $wait > 0;
            my $before = -s $file;
            print $in "keydown z\ngetmouselocation\n";
            my $sent = <$out>;
            my $after = -s $file;
            sleep 0.3;
            print $in "keyup z\n";
            printf "%d:%d ", $before / 4, $after / 4;
        }
        close $in;
        waitpid $pid, 0;' "$work/sound.raw" "$start" ${QUARVEND_PRESS_AT:-3 10 120})
    echo "device position before:after each press: $presses"
    sleep 0.5
    xdotool key Escape
    expect_exit 0

    # For each press, the first loud sample after the device position before it; the tone
    # must not sound in the 100 ms before it either. Printed as the delay from the position
    # after the press to the one before it, in seconds.
    local delays
    delays=$(od -An -v -td2 -w4 "$work/sound.raw" | awk -v presses="$presses" '
        BEGIN {
            n = split(presses, press, " ")
            for (i = 1; i <= n; ++i) {
                split(press[i], bounds, ":")
                before[i] = bounds[1]
                after[i] = bounds[2]
            }
        }
        {
            at = NR - 1
            loud = ($1 < 0 ? -$1 : $1) > 1000
            for (i = 1; i <= n; ++i) {
                if (loud && onset[i] == "" && at >= before[i]) onset[i] = at
                if (loud && at < before[i] && at >= before[i] - 4410) early[i] = 1
            }
        }
        END {
            for (i = 1; i <= n; ++i) {
                if (early[i]) printf "early "
                else if (onset[i] == "") printf "none "
                else printf "%.3f:%.3f ", (onset[i] - after[i]) / 44100,
                    (onset[i] - before[i]) / 44100
            }
        }')
    echo "tone onsets after the presses at ${QUARVEND_PRESS_AT:-3 10 120} s: $delays(seconds)"
    for delay in $delays; do
        case $delay in
        early) fail "the tone sounded before its press: $delays" ;;
        none) fail "no tone after a press: $delays" ;;
        esac
        awk -v d="${delay#*:}" 'BEGIN { exit !(d <= 0.150) }' ||
            fail "a press was heard more than 150 ms late: $delays"
    done
}

# Fixed frame skip on a display that does not refresh at 60 Hz (144 Hz, forced through the
# host's test switch) keeps the clock's pace: 60 frames of game time per second with SKIP=0
# and SKIP=2, 30 at half speed. F11 logs the frame count, then writes DumpVRAM.bin, whose
# time marks that frame. The lower bound is loose, as a busy machine slows a run (drawing
# every frame through a software renderer is slow); it never speeds one up, and the faults
# this catches run at 120 to 190 frames per second, or at 60 or 15 at half speed.
case_fixed_pacing() {
    use_program keypad_view
    start_xvfb
    local pacing expected first second rate
    for pacing in "SKIP=0 60" "SKIP=2 60" "HALFSPEED=YES 30"; do
        read -r setting expected <<<"$pacing"
        printf '%s\r\n' "AUTOSKIP=NO" "$setting" "ZOOM=1" " " >"$work/Quarvend.CFG"
        rm -f "$work/DBUG.txt" "$work/DumpVRAM.bin"
        QUARVEND_DISPLAY_REFRESH=144 SDL_AUDIODRIVER=dummy start_quarvend
        wait_for_log "Emulation start"
        sleep 1
        first=$(frame_mark 1)
        sleep 3
        second=$(frame_mark 2)
        xdotool key Escape
        expect_exit 0
        rate=$(echo "$first $second" | awk '{ printf "%.2f", ($3 - $1) / ($4 - $2) }')
        echo "$setting on a 144 Hz display: $rate frames per second"
        awk -v r="$rate" -v e="$expected" 'BEGIN { exit !(r > e * 0.75 && r < e * 1.05) }' ||
            fail "$setting ran at $rate frames per second, not $expected"
    done
}

# Presses F11 and waits for its log line and dump: prints the frame count it logged and the
# dump's time. COUNT is how many F11 lines the log holds afterwards.
frame_mark() {
    xdotool key F11
    for _ in $(seq $((wait_limit * 10))); do
        if [ "$(grep -c "Fr:" "$work/DBUG.txt")" -ge "$1" ] && [ -f "$work/DumpVRAM.bin" ] &&
            [ "$(grep -o "BG0CNT:" "$work/DBUG.txt" | wc -l)" -ge "$1" ]; then
            echo "$(grep -o "Fr:[0-9]*" "$work/DBUG.txt" | tail -n 1 | cut -d: -f2)" \
                "$(stat -c %.9Y "$work/DumpVRAM.bin")"
            return
        fi
        sleep 0.1
    done
    fail "F11 wrote no frame count"
}

# The window got the focus back, and the display was built a second time.
expect_display_rebuilt() {
    for _ in $(seq $((wait_limit * 10))); do
        [ "$(grep -c "Start initializing DirectDraw" "$work/DBUG.txt")" = 2 ] && return
        sleep 0.1
    done
    fail "the display was not built again when the window got the focus back"
}

# Losing the focus pauses the game; getting it back builds the display again and the game goes
# on. A request to close (SDL turns SIGTERM into one, as it does the window's close button)
# ends it as Escape does.
case_focus() {
    use_program keypad_view
    write_config NO KEYBOARD
    start_xvfb
    SDL_AUDIODRIVER=dummy start_quarvend
    # SDL may make the window again when it sets up the renderer: look for it afterwards.
    wait_for_log "Emulation start"
    find_window Quarvend
    local window=$found_window
    # The display is built again only once the game has run a few frames: two screenshots,
    # each taken on a later frame, prove that it has.
    xdotool key Print
    wait_for_file "$work/Shot0001.BMP"
    xdotool key Print
    wait_for_file "$work/Shot0002.BMP"
    sleep 0.5
    xdotool windowfocus --sync "$(xwininfo -root -int | awk '/Window id/ { print $4 }')"
    sleep 1
    xdotool windowfocus --sync "$window"
    expect_display_rebuilt
    xdotool key Print
    wait_for_file "$work/Shot0003.BMP"
    kill -TERM "$quarvend_pid"
    expect_exit 0
    expect_clean_end
    grep -q "Via ESC" "$work/DBUG.txt" && fail "ended through Escape, not the close request"
    true
}

# Pause stops the game and its sound until P is pressed; while Tab is held the game runs as
# fast as it can, silent; after either the pace starts afresh instead of catching up (a race
# to catch up would count its late groups as skipped). The log names the frame of each change.
# The disk audio driver's file grows in real time: its length in samples a moment after a
# press and just before the next bounds a stretch that must be silent.
case_speed_keys() {
    use_program fifo_square
    write_config YES KEYBOARD
    start_xvfb
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw" start_quarvend
    wait_for_log "Emulation start"
    find_window Quarvend
    sleep 2
    local heard paused_from paused_to resumed heard_again fast_from fast_to started ended
    heard=$(sound_position)
    xdotool key Pause
    wait_for_log "Pause at frame"
    sleep 0.5
    paused_from=$(sound_position)
    sleep 2
    paused_to=$(sound_position)
    xdotool key p
    wait_for_log "Resume at frame"
    sleep 0.5
    resumed=$(sound_position)
    sleep 1
    heard_again=$(sound_position)
    started=$(date +%s.%N)
    xdotool keydown Tab
    wait_for_log "Fast forward from frame"
    sleep 0.5
    fast_from=$(sound_position)
    sleep 2
    fast_to=$(sound_position)
    xdotool keyup Tab
    ended=$(date +%s.%N)
    wait_for_log "Normal speed from frame"
    sleep 1
    xdotool key Escape
    expect_exit 0
    expect_clean_end

    check_speed_log "$work/DBUG.txt" "$started" "$ended"

    # Loudest sample (either side) in each stretch: heard before the pause, silent while
    # paused, heard again after it, silent while fast.
    local levels
    levels=$(od -An -v -td2 -w4 "$work/sound.raw" | awk -v bounds="0 $heard $paused_from \
        $paused_to $resumed $heard_again $fast_from $fast_to" '
        BEGIN { n = split(bounds, b, " ") }
        {
            at = NR - 1
            v = ($1 < 0 ? -$1 : $1); if (($2 < 0 ? -$2 : $2) > v) v = ($2 < 0 ? -$2 : $2)
            for (i = 1; i < n; i += 2) if (at >= b[i] && at < b[i + 1] && v > peak[i]) peak[i] = v
        }
        END { for (i = 1; i < n; i += 2) printf "%d ", peak[i] }')
    echo "loudest sample before, during the pause, after it, during fast-forward: $levels"
    read -r before during_pause after during_fast <<<"$levels"
    [ "$before" -gt 10000 ] && [ "$after" -gt 10000 ] || fail "no tone around the pause: $levels"
    [ "$during_pause" -lt 300 ] || fail "sound while paused: $levels"
    [ "$during_fast" -lt 300 ] || fail "sound while fast: $levels"
}

# Samples the disk audio driver has written so far.
sound_position() {
    echo $(($(stat -c %s "$work/sound.raw") / 4))
}

# Without a display the window cannot be made: exit code 7 after the shut-down sequence.
case_no_display() {
    use_program keypad_view
    write_config NO KEYBOARD
    unset DISPLAY WAYLAND_DISPLAY
    unset SDL_VIDEODRIVER
    start_quarvend
    expect_exit 7
    grep -q "Fail to create window" "$work/DBUG.txt" || fail "no window failure in the log"
    expect_clean_end
}

# Joystick mode with no joystick: the message box, then exit code 3 once it is dismissed.
case_joystick() {
    use_program keypad_view
    write_config NO GAMEPAD
    start_xvfb
    SDL_AUDIODRIVER=dummy start_quarvend
    find_window "Quarvend Message"
    grep -q "Fail to initialize joystick" "$work/DBUG.txt" || fail "no joystick failure logged"
    # Without a window manager nothing gives the box the focus: the test does, as a click would.
    xdotool windowfocus --sync "$found_window" key Return
    expect_exit 3
    expect_clean_end
}

# A pad's hat and d-pad steer: the host's test switch puts in a virtual game controller whose
# hat moves with the numeric keypad and whose d-pad buttons with the arrow keys (which steer
# nothing themselves in joystick mode). Print Screen takes the picture with nothing held, the
# hat down-left and the d-pad up; each must be the headless runner's with the same directions.
case_gamepad_dpad() {
    use_program keypad_view
    write_config NO KEYBOARD
    mv "$work/Quarvend.CFG" "$work/keyboard.CFG"
    write_config NO GAMEPAD
    start_xvfb
    QUARVEND_VIRTUAL_PAD=1 SDL_AUDIODRIVER=dummy start_quarvend
    find_window Quarvend
    wait_for_log "Emulation start"

    local shot=0 held
    for held in "" "KP_2 KP_4" "Up"; do
        [ -z "$held" ] || xdotool keydown $held
        sleep 1
        xdotool key Print
        shot=$((shot + 1))
        wait_for_file "$work/Shot000$shot.BMP"
        [ -z "$held" ] || xdotool keyup $held
    done
    sleep 0.5
    xdotool key Escape
    expect_exit 0
    expect_clean_end

    local expected buttons presses
    for expected in "1:" "2:DOWN LEFT" "3:UP"; do
        shot=${expected%%:*}
        buttons=${expected#*:}
        presses=()
        for button in $buttons; do
            presses+=(--press "$button@5-40")
        done
        "$headless" --workdir "$work/headless$shot" --config "$work/keyboard.CFG" --frames 40 \
            "${presses[@]}" --shot 30 "$rom_path" >/dev/null || fail "the headless runner failed"
        cmp -s "$work/Shot000$shot.BMP" "$work/headless$shot/Shot0001.BMP" ||
            fail "picture $shot differs from the headless runner's with ${buttons:-nothing} held"
    done
}

# Each set-up group that fails shows its log lines in a message box, and once the box is
# answered the program ends with the group's exit code: no sound device (a sound driver SDL
# does not have) 4, and through the hosts' test switch a window 7, input 3 and a display mode
# 5 that cannot be made.
case_set_up_failures() {
    use_program keypad_view
    start_xvfb
    local failure step sound code line
    for failure in "windowCreate NO 7 Fail to create window" \
        "inputCreate NO 3 Fail to create DirectInput object" \
        "- YES 4 Unable to create DirectSound object!" \
        "displayMode NO 5 Fail to set display mode"; do
        read -r step sound code line <<<"$failure"
        write_config "$sound" KEYBOARD
        QUARVEND_FAIL_STEP=$step SDL_AUDIODRIVER=no_such_device start_quarvend
        find_window "Quarvend Message"
        grep -q "$line" "$work/DBUG.txt" || fail "no '$line' in the log"
        # Without a window manager nothing gives the box the focus: the test does.
        xdotool windowfocus --sync "$found_window" key Return
        expect_exit "$code"
        expect_clean_end
    done
}

# Shift+F1 and F1 reach the save states through SDL's key events: slot 1 is written beside the
# ROM and read back, and the log names both.
case_states() {
    start_keypad_view
    xdotool key shift+F1
    wait_for_log "State saved to ${save_stem}ss1 (frame "
    [ -s "${save_stem}ss1" ] || fail "no state file beside the ROM"
    xdotool key F1
    wait_for_log "State loaded from ${save_stem}ss1 (frame "
    xdotool key Escape
    expect_exit 0
    expect_clean_end
}

# A window manager for the ordinary window: its frame, resizing and focus, with no key bound
# (the usual set takes Print Screen). It ends with Xvfb.
start_window_manager() {
    printf '%s\n' '<?xml version="1.0" encoding="UTF-8"?>' \
        '<openbox_config xmlns="http://openbox.org/3.4/rc"><keyboard/><mouse/></openbox_config>' \
        >"$work/openbox.xml"
    openbox --sm-disable --config-file "$work/openbox.xml" >"$work/openbox.log" 2>&1 &
    for _ in $(seq $((wait_limit * 10))); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return
        sleep 0.1
    done
    fail "openbox did not start: $(cat "$work/openbox.log")"
}

# WINDOW=YES: an ordinary window titled after the ROM, three times the picture on this screen,
# the picture filling it. Resized to 1000x480, it shows the picture 3x between black bars left
# and right. Alt+Enter gives the full screen of the 640x480 display as in case_play, and again
# the window at its size; Escape still ends the program cleanly.
case_window() {
    use_program keypad_view
    write_config NO KEYBOARD WINDOW=YES
    start_xvfb
    start_window_manager
    SDL_AUDIODRIVER=dummy start_quarvend
    wait_for_log "Emulation start"
    local title="Quarvend - keypad_view.gba"
    find_window "$title"
    local window=$found_window
    wait_for_window "$window" 720x480 "$title"
    xdotool key Print
    wait_for_file "$work/Shot0001.BMP"
    expect_picture "$window" 720x480 300 +0+0

    xdotool windowsize "$window" 1000 480
    wait_for_window "$window" 1000x480 "$title"
    expect_picture "$window" 1000x480 300 +140+0

    xdotool key alt+Return
    wait_for_window "$window" 1280x1024 Quarvend
    expect_picture root 1280x1024 400 +160+192
    xdotool key alt+Return
    wait_for_window "$window" 1000x480 "$title"
    expect_picture "$window" 1000x480 300 +140+0

    xdotool key Escape
    expect_exit 0
    expect_clean_end
}

# INTEGERSCALE=YES: from the full screen, Alt+Enter gives the window 720x480; resized to
# 900x500 it shows the picture by whole pixels (3x, bars on all sides) where a plain fit would
# make it 750x500. Losing the focus leaves the window on the desktop, paused; with the focus
# back the display is built again and the game goes on.
case_window_whole_scale() {
    use_program keypad_view
    write_config NO KEYBOARD INTEGERSCALE=YES
    start_xvfb
    start_window_manager
    SDL_AUDIODRIVER=dummy start_quarvend
    wait_for_log "Emulation start"
    find_window Quarvend
    local window=$found_window title="Quarvend - keypad_view.gba"
    wait_for_window "$window" 1280x1024 Quarvend
    xdotool key Print
    wait_for_file "$work/Shot0001.BMP"
    xdotool key alt+Return
    wait_for_window "$window" 720x480 "$title"
    xdotool windowsize "$window" 900 500
    wait_for_window "$window" 900x500 "$title"
    expect_picture "$window" 900x500 300 +90+10

    xdotool windowfocus --sync "$(xwininfo -root -int | awk '/Window id/ { print $4 }')"
    sleep 1
    xwininfo -id "$window" | grep -q "IsViewable" || fail "the window left the desktop unfocused"
    xdotool windowfocus --sync "$window"
    expect_display_rebuilt
    expect_picture "$window" 900x500 300 +90+10
    xdotool key Escape
    expect_exit 0
    expect_clean_end
}

case "$case_name" in
play | sound | sound_latency | fixed_pacing | focus | speed_keys | no_display | joystick | \
    gamepad_dpad | set_up_failures | states | window | window_whole_scale)
    "case_$case_name"
    ;;
*)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "PASS ($case_name)"

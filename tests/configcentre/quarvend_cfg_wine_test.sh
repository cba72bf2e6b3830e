#!/usr/bin/env bash
# Runs QuarvendCfg.exe under Wine in the 1024x768 virtual desktop of the Quarvend.exe tests'
# prefix, inside a private Xvfb server: xdotool clicks and types as a user would, and
# centre_window_driver.exe (built with the program) reads the controls by their names. One case
# per call:
#   quarvend_cfg_wine_test.sh CASE PREFIX WINDOWS_BUILD_DIR CENTRE_FILES ROM_FIELDS SAVE_LIST ROM_DIR
# Cases: first_start, rom_header, key_capture, start. WINDOWS_BUILD_DIR holds QuarvendCfg.exe,
# Quarvend.exe and the driver; CENTRE_FILES and ROM_FIELDS are the Linux build's tools that
# write the first-start file and compute the header fields with the same core. QUARVEND_WINE
# names the Wine program (default wine).
set -euo pipefail

case_name=$1
prefix=$2
windows_build=$(realpath "$3")
centre_files=$(realpath "$4")
rom_fields=$(realpath "$5")
save_list=$(realpath "$6")
rom_dir=$(realpath "$7")
wine=${QUARVEND_WINE:-wine}

# Generous limits: the machine is shared and slow, and Wine starts slowly.
wait_limit=120

work=$(mktemp -d /tmp/quarvend-cfg-wine-test.XXXXXX)
xvfb_pid=
quarvend_pid=
xvfb_screen=1024x768x24
program_name=QuarvendCfg.exe
app="$work/app"
log_dir=$app
rom_folder="$app/my roms"
driver="$work/centre_window_driver.exe"
# shellcheck source=../platform/program_test_lib.sh
. "$(dirname "$0")/../platform/program_test_lib.sh"

trap end_wine_test EXIT

fail() {
    echo "FAIL ($case_name): $*" >&2
    keep_work=1
    import -window root "$work/failure.png" 2>/dev/null || true
    exit 1
}

use_wine_prefix "$prefix"

# The programs' folder, also the current directory, with the save-method list; no
# Quarvend.CFG, so the settings program starts as on a user's first start.
set_up_folder() {
    mkdir -p "$rom_folder"
    cp "$windows_build/QuarvendCfg.exe" "$windows_build/Quarvend.exe" "$windows_build/GBA.BIOS" \
        "$app/"
    cp "$save_list" "$app/RIDIravu.DAT"
    cp "$windows_build/centre_window_driver.exe" "$driver"
    # The folder and ROM remembered by an earlier case are forgotten.
    "$wine" reg delete 'HKCU\Software\Quarvend' /f >/dev/null 2>&1 || true
}

drive() {
    (cd "$app" && "$wine" "$driver" "$@")
}

# Starts QuarvendCfg.exe in its folder (with the environment given) and waits for its window.
open_centre() {
    (cd "$app" && exec env "$@" "$wine" QuarvendCfg.exe) >"$work/centre.out" 2>&1 &
    quarvend_pid=$!
    drive wait "$wait_limit" || fail "the window did not open"
    sleep 1
}

close_centre() {
    drive close
    expect_exit 0
}

# The window's controls as NAME=text lines; value NAME prints one.
dump() {
    drive dump >"$work/dump.txt" || fail "the window could not be read"
}

value() {
    grep -m1 "^$1=" "$work/dump.txt" | cut -d= -f2-
}

expect_value() {
    [ "$(value "$1")" = "$2" ] || fail "$1 is '$(value "$1")', expected '$2'"
}

click() {
    local point
    point=$(drive where "$@") || fail "no control $*"
    # shellcheck disable=SC2086
    xdotool mousemove $point click 1
    sleep 0.5
}

# A click on a list item, twice for a double click.
click_item() {
    local point
    point=$(drive item "$1" "$2") || fail "$1 does not list '$2'"
    # shellcheck disable=SC2086
    xdotool mousemove $point click --repeat "${3:-1}" --delay 80 1
    sleep 1
}

show_tab() {
    click TabStrip1
    for _ in $(seq "$1"); do
        xdotool key Right
        sleep 0.3
    done
}

# The build, from its PE header, and the Wine that runs it, for the test log.
say_build_and_wine() {
    local program=$windows_build/QuarvendCfg.exe header machine
    header=$(od -An -j60 -N4 -tu4 "$program" | tr -d ' ')
    machine=$(od -An -j$((header + 4)) -N2 -tx2 "$program" | tr -d ' ')
    case "$machine" in
    014c) machine="32-bit (i386)" ;;
    8664) machine="x86-64" ;;
    esac
    echo "QuarvendCfg.exe, the $machine build ($program), runs under $("$wine" --version)"
}

# The first start writes the file the build ships (the Linux settings program's first file),
# shows it, and writes it again unchanged when the window closes. The window's picture is kept
# beside the prefix.
case_first_start() {
    start_xvfb
    set_up_folder
    open_centre
    "$centre_files" default-config "$work/expected.CFG"
    cmp "$app/Quarvend.CFG" "$work/expected.CFG" ||
        fail "the first Quarvend.CFG differs from the one centre_files writes"
    dump
    expect_value Opt_Controller1.0.checked 1
    expect_value Opt_Res.2.checked 1
    expect_value Opt_Zoom.3.checked 1
    expect_value Chk_AutoFrameSkip.checked 1
    expect_value Chk_HalfSpeed.enabled 1
    expect_value Chk_RealGBA.enabled 1
    expect_value Txt_Inkey.6 Backspace
    expect_value Txt_Joy.5 "Joy 6"
    expect_value Frame2.visible 0
    expect_value StatusBar ""

    local picture
    picture="$(dirname "$prefix")/QuarvendCfg-wine.png"
    import -window root -crop 800x600+0+0 +repage "$picture"
    # The window's light grey fills most of its place.
    local grey
    grey=$(convert "$picture" -fill black +opaque 'rgb(192,192,192)' -fill white \
        -opaque 'rgb(192,192,192)' -format '%[fx:mean]' info:)
    awk -v g="$grey" 'BEGIN { exit !(g > 0.5) }' || fail "the window is not drawn ($grey grey)"
    echo "the window's picture: $picture"
    close_centre
    cmp "$app/Quarvend.CFG" "$work/expected.CFG" || fail "closing changed Quarvend.CFG"
}

# demo.gba with the game code of a listed Flash cartridge, and the header checksum to match.
make_listed_rom() {
    cp "$rom_dir/demo.gba" "$1"
    printf 'AWRE' | dd of="$1" bs=1 seek=$((0xAC)) conv=notrunc status=none
    local sum
    sum=$(od -An -v -tu1 -j$((0xA0)) -N29 "$1" | awk '{ for (i = 1; i <= NF; ++i) s += $i }
        END { print s }')
    printf '%b' "\\$(printf '%03o' $(((0 - sum - 0x19) & 0xFF)))" |
        dd of="$1" bs=1 seek=$((0xBD)) conv=notrunc status=none
}

header_lines() {
    grep -E '^(Frame2\.visible|Lab_[A-Za-z]+|Label_SaveMethod|StatusBar|Chk_DetectSave\.(checked|enabled))=' |
        sort
}

# ROMs chosen through the directory and file lists show what the core computes for them: a
# text file is "Not a GBA ROM", the demo's save library marker gives SRAM, a listed game code
# FlashROM. The next start shows the last folder and ROM again.
case_rom_header() {
    start_xvfb
    set_up_folder
    head -c 400 /dev/zero | tr '\0' 'a' >"$rom_folder/notes.gba"
    cp "$rom_dir/demo.gba" "$rom_folder/demo.gba"
    make_listed_rom "$rom_folder/listed.gba"
    open_centre
    dump
    local depth
    depth=$(value Dir1.selected | sed 's/[^ ].*//')
    click_item Dir1 "$depth  my roms" 2
    local rom
    for rom in notes.gba demo.gba listed.gba; do
        click_item File1 "$rom"
        dump
        header_lines <"$work/dump.txt" >"$work/window.txt"
        (cd "$rom_folder" && "$rom_fields" "$save_list" "$rom") | header_lines >"$work/core.txt"
        diff "$work/core.txt" "$work/window.txt" >&2 ||
            fail "$rom: the window shows other fields than the core computes"
        echo "$rom: $(grep -E '^(Lab_CartName|Label_SaveMethod|StatusBar)=' "$work/window.txt" |
            tr '\n' ' ')"
    done
    expect_value Label_SaveMethod FlashROM
    close_centre

    open_centre
    dump
    case "$(value Txt_Path)" in
    *'\my roms\listed.gba') ;;
    *) fail "the path field shows '$(value Txt_Path)', not the ROM of the last run" ;;
    esac
    expect_value File1.selected listed.gba
    expect_value Lab_GameCode AWRE
    close_centre
}

# Keys pressed in the key boxes are written as the emulator's key codes: Space, Tab, the right
# Shift and Ctrl, the digit row, a function key, the keypad with NumLock off, Backspace and the
# left Alt; Escape is refused with a message and the box keeps its key.
case_key_capture() {
    start_xvfb
    set_up_folder
    open_centre
    show_tab 2
    local box key
    while read -r box key; do
        click Txt_Inkey "$box"
        xdotool key "$key"
        sleep 0.5
    done <<'EOF'
0 space
1 Tab
2 Shift_R
3 1
4 F5
5 KP_End
6 Control_R
7 BackSpace
8 Alt_L
9 Escape
EOF
    dump
    expect_value Txt_Inkey.0 Space
    expect_value Txt_Inkey.5 Num1
    expect_value Txt_Inkey.9 S
    expect_value StatusBar "Escape ends Quarvend, so it cannot be a button"
    close_centre
    tr -d '\r' <"$app/Quarvend.CFG" | grep -E '^KEY' | tr '\n' ' ' >"$work/keys.txt"
    [ "$(cat "$work/keys.txt")" = "KEYUP=57 KEYDOWN=15 KEYLEFT=54 KEYRIGHT=2 KEYA=63 KEYB=79 \
KEYSELECT=157 KEYSTART=14 KEYL=56 KEYR=31 " ] || fail "the keys written: $(cat "$work/keys.txt")"
}

# "Start Quarvend!" runs Quarvend.exe on the ROM chosen in the lists, from the program's folder;
# Escape ends it. An emulator that ends at once (its display set-up refused) is explained in a
# message box with its exit code and the end of its log.
case_start() {
    start_xvfb
    set_up_folder
    cp "$rom_dir/demo.gba" "$rom_folder/demo.gba"
    open_centre
    dump
    click_item Dir1 "$(value Dir1.selected | sed 's/[^ ].*//')  my roms" 2
    click_item File1 demo.gba
    click Command1
    wait_for_log "Emulation start"
    sleep 2
    xdotool key Escape
    for _ in $(seq $((wait_limit * 10))); do
        grep -q "Quitting" "$app/DBUG.txt" && break
        sleep 0.1
    done
    [ "$(tail -c 13 "$app/DBUG.txt")" = $'\r\nQuitting...' ] || fail "Quarvend.exe did not end"
    # The demo saves only a new high score, so a short run leaves no save file beside the ROM.
    [ ! -e "$rom_folder/demo.sav" ] || fail "Quarvend.exe wrote a save file for a game that saved nothing"
    ! drive messagebox 3 >/dev/null 2>&1 || fail "a message box came after a normal end"
    close_centre

    rm "$app/DBUG.txt"
    open_centre QUARVEND_FAIL_STEP=displayCreate
    click Command1
    drive messagebox "$wait_limit" >"$work/message.txt" || fail "no message box"
    cat "$work/message.txt"
    [ "$(head -n 1 "$work/message.txt")" = "Quarvend Configuration Center" ] ||
        fail "the message box's caption"
    grep -q "^Quarvend ended at once with exit code 5: the display could not be set up.$" \
        "$work/message.txt" || fail "the message does not explain exit code 5"
    grep -q "DirectDrawCreate Fail" "$work/message.txt" ||
        fail "the message does not show the end of DBUG.txt"
    xdotool key Return
    sleep 1
    close_centre
}

case "$case_name" in
first_start | rom_header | key_capture | start)
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

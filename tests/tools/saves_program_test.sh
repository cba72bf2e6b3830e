#!/usr/bin/env bash
# The real Quarvend program under a private Xvfb server, where a player would lose a save: a
# ROM folder that cannot be written, and a closed terminal (SIGHUP). One case per call:
#   saves_program_test.sh CASE QUARVEND ROM_DIR BOOT_IMAGE
# Cases: read_only_folder, hangup.
set -euo pipefail

case_name=$1
quarvend=$(realpath "$2")
rom_dir=$(realpath "$3")
boot_image=$(realpath "$4")

wait_limit=90
work=$(mktemp -d /tmp/quarvend-saves-test.XXXXXX)
xvfb_pid=
quarvend_pid=
xvfb_screen=1024x768x24
log_dir=$work
program_name=Quarvend
# shellcheck source=../platform/program_test_lib.sh
. "$(dirname "$0")/../platform/program_test_lib.sh"

trap cleanup EXIT

mkdir "$work/roms"
cp "$boot_image" "$work/GBA.BIOS"
cp "$rom_dir/sram_writer.gba" "$work/roms/game.gba"
printf '%s\r\n' "AUTOSKIP=YES" "ENABLESOUND=NO" "INPUT=KEYBOARD" >"$work/Quarvend.CFG"

# Root writes into read-only folders; without the capabilities that allow it, it cannot.
start_quarvend() {
    local drop=()
    if [ "$(id -u)" = 0 ]; then
        drop=(setpriv --bounding-set -dac_override,-dac_read_search)
    fi
    (cd "$work" && SDL_AUDIODRIVER=dummy exec "${drop[@]}" "$quarvend" "$work/roms/game.gba") \
        >"$work/quarvend.out" 2>&1 &
    quarvend_pid=$!
}

expect_log_end() {
    [ "$(tail -n 1 "$work/DBUG.txt")" = "Quitting..." ] || fail "the log does not end with Quitting..."
}

# The game saves, but its folder is read-only: at the end a message box says that the save
# could not be written, the earlier save stays, and Return ends the program.
case_read_only_folder() {
    echo "an earlier save" >"$work/roms/game.sav"
    chmod a-w "$work/roms"
    start_xvfb
    start_quarvend
    wait_for_log "Emulation start"
    sleep 1
    xdotool key Escape
    find_window "Quarvend Message"
    grep -q "Could not write save file $work/roms/game.sav" "$work/DBUG.txt" ||
        fail "no failed save write in the log"
    xdotool windowfocus --sync "$found_window" key Return
    expect_exit 0
    expect_log_end
    [ "$(cat "$work/roms/game.sav")" = "an earlier save" ] || fail "the earlier save was changed"
}

# A hang-up ends the program as a close request does: the saves are written.
case_hangup() {
    start_xvfb
    start_quarvend
    wait_for_log "Emulation start"
    sleep 1
    kill -HUP "$quarvend_pid"
    expect_exit 0
    expect_log_end
    [ "$(head -c 4 "$work/roms/game.sav")" = "SAVE" ] || fail "the save was not written"
}

case "$case_name" in
read_only_folder | hangup) "case_$case_name" ;;
*)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "PASS ($case_name)"

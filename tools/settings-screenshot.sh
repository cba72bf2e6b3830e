#!/usr/bin/env bash
# Takes the README's picture of the settings program: starts QuarvendCfg on a virtual X
# display (Xvfb) in a scratch folder holding a sample ROM, clicks the ROM, opens the Video tab
# and grabs the screen. Needs xvfb, xdotool and imagemagick (not needed by the build).
#   tools/settings-screenshot.sh [BUILD_DIR [OUT.png]]
set -euo pipefail

cd "$(dirname "$0")/.."
build_dir=$(realpath "${1:-build}")
out=$(realpath -m "${2:-docs/settings-program.png}")
display=:${SCREENSHOT_DISPLAY:-87}

work=$(mktemp -d)
trap 'kill "${cfg_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
folder="$work/GBA"
mkdir "$folder"
cp "$build_dir/RIDIravu.DAT" "$build_dir/Quarvend.CFG" "$folder/"
# A 4 MB sample whose header names the title, a game code from the list and maker "01".
rom="$folder/Sample.gba"
head -c 4194304 /dev/zero >"$rom"
printf 'QUARVENDDEMOV49E01' | dd of="$rom" bs=1 seek=$((0xA0)) conv=notrunc status=none
printf '\x96' | dd of="$rom" bs=1 seek=$((0xB2)) conv=notrunc status=none
printf '\x01' | dd of="$rom" bs=1 seek=$((0xBC)) conv=notrunc status=none

Xvfb "$display" -screen 0 800x640x24 -nolisten tcp &
xvfb_pid=$!
sleep 1
(cd "$folder" && exec env DISPLAY="$display" QT_QPA_PLATFORM=xcb "$build_dir/QuarvendCfg") &
cfg_pid=$!
export DISPLAY=$display
window=$(xdotool search --sync --name "Quarvend Configuration Center" | head -1)
sleep 1
# Without a window manager the window sits at the top left; choose the sample ROM.
xdotool mousemove 60 214 click 1
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+0+0" "$out"
echo "Wrote $out"

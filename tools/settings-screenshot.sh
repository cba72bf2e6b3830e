#!/usr/bin/env bash
# Takes the README's picture of the settings program: starts QuarvendCfg for the first time in
# a scratch folder on a virtual X display (Xvfb) with a window manager (openbox), with the demo
# game remembered as the last ROM, opens the Video tab and grabs the window with its frame.
# Needs xvfb, openbox, xdotool and imagemagick (not needed by the build).
#   tools/settings-screenshot.sh [BUILD_DIR [OUT.png]]
set -euo pipefail

cd "$(dirname "$0")/.."
build_dir=$(realpath "${1:-build}")
out=$(realpath -m "${2:-docs/settings-program.png}")
display=:${SCREENSHOT_DISPLAY:-87}

work=$(mktemp -d)
trap 'kill "${cfg_pid:-}" "${wm_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
folder="$work/GBA"
mkdir -p "$folder" "$work/config/Quarvend"
cp "$build_dir/RIDIravu.DAT" "$build_dir/roms/demo.gba" "$folder/"
# The settings program remembers the last folder and ROM here (QSettings); no Quarvend.CFG yet,
# so the window shows a first start.
printf '[General]\nlastFolder=%s\nlastRom=%s\n' "$folder" "$folder/demo.gba" \
    >"$work/config/Quarvend/QuarvendCfg.conf"

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb_pid=$!
sleep 1
export DISPLAY=$display
openbox &
wm_pid=$!
sleep 1
(cd "$folder" && exec env XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb \
    "$build_dir/QuarvendCfg") &
cfg_pid=$!
window=$(xdotool search --sync --name "Quarvend Configuration Center" | head -1)
sleep 1
xdotool windowmove --sync "$window" 40 40
sleep 0.5
# The "Video" tab sits next to "General" at the top of the settings frame.
xdotool mousemove --window "$window" "${VIDEO_TAB_X:-450}" "${VIDEO_TAB_Y:-230}" click 1 \
    mousemove 0 0
sleep 1
import -frame -window "$window" "$out"
echo "Wrote $out"

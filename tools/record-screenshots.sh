#!/bin/sh
# Re-records the expected pictures of the screenshot regression cases (tests/screenshots) after
# a deliberate change of picture: builds the video tests, runs the cases with QUARVEND_RECORD=1
# and leaves each picture taken, as a BMP and a PNG, under BUILD_DIR/screenshot-results/CASE/.
# Look at the PNGs before committing the new expected.txt files.
#
# usage: tools/record-screenshots.sh [CASE...]      (all cases when none is named)
#        BUILD_DIR=build-x tools/record-screenshots.sh ...
set -e
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
[ -d "$build" ] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" -j2 --target test_video

filter='Cases/Screenshots.*'
if [ $# -gt 0 ]; then
    filter=''
    for name in "$@"; do
        filter="${filter:+$filter:}Cases/Screenshots.MatchRecordedPicture/$name"
    done
fi
QUARVEND_RECORD=1 "$build/tests/test_video" --gtest_filter="$filter"

for picture in "$build"/screenshot-results/*/Shot0001.BMP; do
    if [ -e "$picture" ]; then
        python3 tools/bmp-to-png.py --scale 2 "$picture" "${picture%.BMP}.png"
    fi
done

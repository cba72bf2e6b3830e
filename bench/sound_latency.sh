#!/usr/bin/env bash
# Sound latency over a long run: the sound latency test of the real program (key_tone under
# Xvfb, SDL's disk audio driver, tests/platform/quarvend_program_test.sh) with key presses at
# the given seconds of the run, printing how long after each press the tone was played.
#   bench/sound_latency.sh [BUILD_DIR [SECONDS...]]   (defaults: build, 10 60 120)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$("$here/build-dir.sh" "${1:-}")
shift || true
presses=${*:-10 60 120}
cmake --build "$build" --target Quarvend quarvend-headless gba_programs boot_image >/dev/null
QUARVEND_PRESS_AT="$presses" "$here/../tests/platform/quarvend_program_test.sh" sound_latency \
    "$build/Quarvend" "$build/tools/quarvend-headless" "$build/roms" "$build/GBA.BIOS"

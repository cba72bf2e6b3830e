#!/usr/bin/env bash
# Builds Quarvend.exe for 32-bit Windows (it runs on 64-bit Windows too) with Debian's
# MinGW-w64 and leaves it with the project's GBA.BIOS in one folder, ready to copy or zip:
#   tools/build-windows.sh            ->  build-windows/Quarvend/{Quarvend.exe,GBA.BIOS}
# The boot image is assembled by the Linux build (BUILD_DIR, default build), which is
# configured if needed and builds nothing else here.
set -euo pipefail

cd "$(dirname "$0")/.."
linux_build=${BUILD_DIR:-build}
windows_build=${WINDOWS_BUILD_DIR:-build-windows}

tools/install-deps.sh
cmake -S . -B "$linux_build" -G Ninja >/dev/null
cmake --build "$linux_build" -j "$(nproc)" --target boot_image
cmake -S . -B "$windows_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=tools/i686-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release -DQUARVEND_BOOT_IMAGE="$(realpath "$linux_build")/GBA.BIOS"
cmake --build "$windows_build" -j "$(nproc)"

folder="$windows_build/Quarvend"
mkdir -p "$folder"
cp "$windows_build/Quarvend.exe" "$windows_build/GBA.BIOS" "$folder/"
echo "Quarvend.exe and GBA.BIOS are in $folder/"

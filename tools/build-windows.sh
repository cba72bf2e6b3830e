#!/usr/bin/env bash
# Builds the Windows programs as 32-bit programs (they run on 64-bit Windows too) with Debian's
# MinGW-w64 and leaves the folder a Windows user unpacks, and its zip:
#   tools/build-windows.sh  ->  build-windows/Quarvend/   Quarvend.exe, QuarvendCfg.exe,
#                                                         GBA.BIOS, RIDIravu.DAT,
#                                                         Quarvend.CFG (keyboard), README.txt
#                               build-windows/Quarvend-win32.zip
# The boot image, the save-method list and the default Quarvend.CFG come from the Linux build
# (BUILD_DIR, default build), which is configured if needed and builds nothing else here.
set -euo pipefail

cd "$(dirname "$0")/.."
linux_build=${BUILD_DIR:-build}
windows_build=${WINDOWS_BUILD_DIR:-build-windows}

tools/install-deps.sh
cmake -S . -B "$linux_build" -G Ninja >/dev/null
cmake --build "$linux_build" -j "$(nproc)" \
    --target boot_image save_method_list windows_default_config
linux=$(realpath "$linux_build")
cmake -S . -B "$windows_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=tools/i686-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release -DQUARVEND_BOOT_IMAGE="$linux/GBA.BIOS" \
    -DQUARVEND_SAVE_METHOD_LIST="$linux/RIDIravu.DAT" \
    -DQUARVEND_DEFAULT_CONFIG="$linux/windows-files/Quarvend.CFG"
cmake --build "$windows_build" -j "$(nproc)"

echo "The folder $windows_build/Quarvend/ and its zip $windows_build/Quarvend-win32.zip hold:"
cmake -E tar tf "$windows_build/Quarvend-win32.zip"

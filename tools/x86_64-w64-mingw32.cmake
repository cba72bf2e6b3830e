# Cross build for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64). The
# programs ship as the 32-bit build; this one is for Wine installations that start 64-bit
# programs only (wine64 without wine32), on which the tests run it instead.
#   cmake -S . -B build-windows-x64 -DCMAKE_TOOLCHAIN_FILE=tools/x86_64-w64-mingw32.cmake \
#         -DQUARVEND_BOOT_IMAGE=build/GBA.BIOS
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

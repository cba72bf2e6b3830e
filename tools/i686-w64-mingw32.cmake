# Cross build for 32-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-i686): the
# programs that ship.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/i686-w64-mingw32.cmake \
#         -DQUARVEND_BOOT_IMAGE=build/GBA.BIOS
set(CMAKE_SYSTEM_PROCESSOR i686)
set(mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

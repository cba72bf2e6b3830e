# Cross build for 32-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-i686), on its
# win32 thread model: the emulator starts no threads. The C and C++ runtimes are linked in, so
# Quarvend.exe needs no DLL beside it.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/i686-w64-mingw32.cmake \
#         -DQUARVEND_BOOT_IMAGE=build/GBA.BIOS
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")

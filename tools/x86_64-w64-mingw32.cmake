# Cross build for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64), on its
# win32 thread model: the emulator starts no threads. The program ships as the 32-bit build; this
# one exists for Wine installations that run 64-bit programs only (wine64 without wine32). The C
# and C++ runtimes are linked in, so Quarvend.exe needs no DLL beside it.
#   cmake -S . -B build-windows-x64 -DCMAKE_TOOLCHAIN_FILE=tools/x86_64-w64-mingw32.cmake \
#         -DQUARVEND_BOOT_IMAGE=build/GBA.BIOS
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")

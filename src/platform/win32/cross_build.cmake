# Quarvend.exe for 32-bit Windows, built from the Linux build as a build of its own with the
# MinGW-w64 toolchain, when that toolchain is installed. It carries the boot image this build
# assembles and gets a copy of it beside it, in windows/ of this build folder.
find_program(MINGW_I686_CXX i686-w64-mingw32-g++-win32)
if(NOT MINGW_I686_CXX)
    message(STATUS "No i686-w64-mingw32-g++-win32: Quarvend.exe is not built")
    return()
endif()

include(ExternalProject)
cmake_host_system_information(RESULT build_jobs QUERY NUMBER_OF_LOGICAL_CORES)
ExternalProject_Add(quarvend_windows
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/windows
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/tools/i686-w64-mingw32.cmake
               -DCMAKE_BUILD_TYPE=Release
               -DQUARVEND_BOOT_IMAGE=${BIOS_IMAGE}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j ${build_jobs}
    BUILD_ALWAYS TRUE
    INSTALL_COMMAND ""
    DEPENDS boot_image)
set(QUARVEND_EXE ${CMAKE_BINARY_DIR}/windows/Quarvend.exe)

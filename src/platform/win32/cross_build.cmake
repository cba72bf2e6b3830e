# The Windows programs, built from the Linux build as builds of their own with MinGW-w64 when its
# i686 compiler is installed: the 32-bit build that ships (windows/, with the ready folder
# windows/Quarvend/ and its zip) and, when the installed Wine starts 64-bit programs only, the
# same sources for x86-64 (windows-x64/), which the tests run under Wine instead. Both carry the
# boot image this build assembles and get a copy of it beside them.
find_program(MINGW_I686_CXX i686-w64-mingw32-g++-win32)
if(NOT MINGW_I686_CXX)
    message(STATUS "No i686-w64-mingw32-g++-win32: Quarvend.exe is not built")
    return()
endif()
find_program(MINGW_X86_64_CXX x86_64-w64-mingw32-g++-win32)

include(ExternalProject)
cmake_host_system_information(RESULT build_jobs QUERY NUMBER_OF_LOGICAL_CORES)
set(windows_launcher)
if(CMAKE_CXX_COMPILER_LAUNCHER)
    set(windows_launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

function(add_windows_build name folder toolchain)
    ExternalProject_Add(${name}
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/${folder}
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/tools/${toolchain}.cmake
                   -DCMAKE_BUILD_TYPE=Release
                   -DQUARVEND_BOOT_IMAGE=${BIOS_IMAGE}
                   ${windows_launcher} ${ARGN}
        BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j ${build_jobs}
        BUILD_ALWAYS TRUE
        INSTALL_COMMAND ""
        DEPENDS boot_image)
endfunction()

# The ready folder's Quarvend.CFG: the settings program's default, written afresh (the build's own
# Quarvend.CFG is the user's once it exists).
set(windows_default_config ${CMAKE_BINARY_DIR}/windows-files/Quarvend.CFG)
add_custom_command(
    OUTPUT ${windows_default_config}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${windows_default_config}
    COMMAND centre_files default-config ${windows_default_config}
    DEPENDS centre_files
    COMMENT "Writing the default Quarvend.CFG of the Windows folder")
add_custom_target(windows_default_config DEPENDS ${windows_default_config})

add_windows_build(quarvend_windows windows i686-w64-mingw32
    -DQUARVEND_SAVE_METHOD_LIST=${CMAKE_BINARY_DIR}/RIDIravu.DAT
    -DQUARVEND_DEFAULT_CONFIG=${windows_default_config})
add_dependencies(quarvend_windows save_method_list windows_default_config)
set(QUARVEND_EXE ${CMAKE_BINARY_DIR}/windows/Quarvend.exe)
set(QUARVEND_WINDOWS_FOLDER ${CMAKE_BINARY_DIR}/windows/Quarvend)

# Which Windows programs the installed Wine starts: a small program built for each word size, run
# in a throwaway prefix. Debian's wine64 without wine32 starts 64-bit programs only. The answer
# is kept until Wine or the compilers change.
find_program(WINE_PROGRAM wine)
find_program(WINESERVER_PROGRAM wineserver)

set(wine_probe ${CMAKE_BINARY_DIR}/wine-probe)
set(wine_probe_env ${CMAKE_COMMAND} -E env --unset=DISPLAY WINEPREFIX=${wine_probe}/prefix
                   WINEDEBUG=-all)
function(wine_starts bits compiler result)
    file(WRITE ${wine_probe}/probe.cpp "int main() { return sizeof(void*) * 8; }\n")
    set(${result} NO PARENT_SCOPE)
    execute_process(COMMAND ${compiler} -static -o ${wine_probe}/probe${bits}.exe
                            ${wine_probe}/probe.cpp
                    RESULT_VARIABLE built OUTPUT_QUIET ERROR_QUIET)
    if(NOT built EQUAL 0)
        return()
    endif()
    # Output to a file: the wine server started with the program keeps what it inherits open.
    execute_process(COMMAND ${wine_probe_env} WINEDLLOVERRIDES=mscoree,mshtml= ${WINE_PROGRAM}
                            ${wine_probe}/probe${bits}.exe
                    RESULT_VARIABLE code TIMEOUT 300
                    OUTPUT_FILE ${wine_probe}/wine.log ERROR_FILE ${wine_probe}/wine.log)
    if(code EQUAL bits)
        set(${result} YES PARENT_SCOPE)
    endif()
endfunction()

set(QUARVEND_WINE_BUILD)
set(QUARVEND_WINE_PROBLEM)
if(WINE_PROGRAM AND WINESERVER_PROGRAM)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=-all ${WINE_PROGRAM} --version
                    OUTPUT_VARIABLE QUARVEND_WINE_VERSION ERROR_QUIET)
    string(REGEX MATCH "^[^\n]*" QUARVEND_WINE_VERSION "${QUARVEND_WINE_VERSION}")
    set(signature "${WINE_PROGRAM} ${QUARVEND_WINE_VERSION} ${MINGW_I686_CXX} ${MINGW_X86_64_CXX}")
    if(NOT QUARVEND_WINE_PROBED STREQUAL signature)
        message(STATUS "Asking ${QUARVEND_WINE_VERSION} which Windows programs it starts")
        wine_starts(32 ${MINGW_I686_CXX} starts_32_bit)
        set(starts_64_bit NO)
        if(NOT starts_32_bit AND MINGW_X86_64_CXX)
            wine_starts(64 ${MINGW_X86_64_CXX} starts_64_bit)
        endif()
        execute_process(COMMAND ${wine_probe_env} ${WINESERVER_PROGRAM} -k OUTPUT_QUIET ERROR_QUIET)
        execute_process(COMMAND ${wine_probe_env} ${WINESERVER_PROGRAM} -w
                        TIMEOUT 60 OUTPUT_QUIET ERROR_QUIET)
        file(REMOVE_RECURSE ${wine_probe})
        set(QUARVEND_WINE_32_BIT ${starts_32_bit} CACHE INTERNAL "Wine starts 32-bit programs")
        set(QUARVEND_WINE_64_BIT ${starts_64_bit} CACHE INTERNAL "Wine starts 64-bit programs")
        # A Wine that started nothing (perhaps too slow on a busy machine) is asked again next time.
        if(starts_32_bit OR starts_64_bit)
            set(QUARVEND_WINE_PROBED "${signature}" CACHE INTERNAL "The Wine and compilers asked")
        endif()
    endif()
    # The tests under Wine take their programs from QUARVEND_WINE_BUILD_DIR.
    if(QUARVEND_WINE_32_BIT)
        set(QUARVEND_WINE_BUILD "32-bit")
        set(QUARVEND_WINE_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)
    elseif(QUARVEND_WINE_64_BIT)
        add_windows_build(quarvend_windows_x64 windows-x64 x86_64-w64-mingw32)
        set(QUARVEND_WINE_BUILD "x86-64")
        set(QUARVEND_WINE_BUILD_DIR ${CMAKE_BINARY_DIR}/windows-x64)
    elseif(NOT MINGW_X86_64_CXX)
        set(QUARVEND_WINE_PROBLEM "${QUARVEND_WINE_VERSION} does not start 32-bit programs, and \
there is no x86_64-w64-mingw32-g++-win32 for a 64-bit Quarvend.exe")
    else()
        set(QUARVEND_WINE_PROBLEM
            "${QUARVEND_WINE_VERSION} starts neither 32-bit nor 64-bit programs")
    endif()
else()
    set(QUARVEND_WINE_PROBLEM "no Wine (wine and wineserver) is installed")
endif()
if(QUARVEND_WINE_BUILD)
    message(STATUS "The Quarvend.exe tests under Wine run the ${QUARVEND_WINE_BUILD} build with "
                   "${QUARVEND_WINE_VERSION}")
else()
    message(WARNING "The Quarvend.exe tests under Wine cannot run: ${QUARVEND_WINE_PROBLEM}")
endif()

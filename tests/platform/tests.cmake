# Unit tests of the SDL host's tables and mixing, and of the hosts' pad directions; they open
# no device.
add_executable(test_platform
    platform/pad_directions_test.cpp
    platform/scancode_table_test.cpp
    platform/sound_mixer_test.cpp
    platform/screen_fit_test.cpp
)
target_link_libraries(test_platform PRIVATE quarvend_sdl GTest::gtest_main)
target_include_directories(test_platform PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
gtest_discover_tests(test_platform DISCOVERY_TIMEOUT 60)

# The Windows host's switch for failing set-up steps and its hold of flips to the refresh are
# platform-neutral and tested here.
add_executable(test_win32_host platform/step_failure_test.cpp platform/refresh_hold_test.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/step_failure.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/refresh_hold.cpp)
target_link_libraries(test_win32_host PRIVATE GTest::gtest_main)
target_include_directories(test_win32_host PRIVATE ${CMAKE_SOURCE_DIR}/src)
gtest_discover_tests(test_win32_host DISCOVERY_TIMEOUT 60)

# The real program under a private Xvfb server, driven with xdotool. Run one at a time: they
# pace frames against the clock and the machine may be busy.
foreach(case play sound sound_latency fixed_pacing focus speed_keys no_display joystick
        gamepad_dpad set_up_failures states window window_whole_scale)
    add_test(NAME QuarvendProgram.${case}
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/platform/quarvend_program_test.sh ${case}
                $<TARGET_FILE:Quarvend> $<TARGET_FILE:quarvend-headless> ${GBA_ROM_DIR}
                ${BIOS_IMAGE})
    set_tests_properties(QuarvendProgram.${case} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
    if(QUARVEND_SANITIZE)
        # The system libraries under SDL (D-Bus, the X11 drivers) keep allocations to the end
        # of the process; the leak check would turn the exit code into 1.
        set_tests_properties(QuarvendProgram.${case} PROPERTIES ENVIRONMENT ASAN_OPTIONS=detect_leaks=0)
    endif()
endforeach()

# The machine code of the 32-bit Quarvend.exe: its runs of instructions jump from handler to
# handler. And the Windows programs import system DLLs only: those of the ready folder and the
# x86-64 build when there is one.
find_program(MINGW_I686_OBJDUMP i686-w64-mingw32-objdump)
find_program(MINGW_I686_NM i686-w64-mingw32-nm)
find_program(MINGW_X86_64_OBJDUMP x86_64-w64-mingw32-objdump)
if(TARGET quarvend_windows AND MINGW_I686_OBJDUMP AND MINGW_I686_NM)
    add_test(NAME QuarvendExe.runs_jump
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/platform/runs_jump_test.sh ${QUARVEND_EXE}
                ${MINGW_I686_OBJDUMP} ${MINGW_I686_NM})
    # x86-64's objdump reads the programs of both word sizes.
    set(imports_objdump ${MINGW_I686_OBJDUMP})
    set(imports_checked ${QUARVEND_WINDOWS_FOLDER})
    if(MINGW_X86_64_OBJDUMP)
        set(imports_objdump ${MINGW_X86_64_OBJDUMP})
        if(TARGET quarvend_windows_x64)
            list(APPEND imports_checked ${CMAKE_BINARY_DIR}/windows-x64/Quarvend.exe
                 ${CMAKE_BINARY_DIR}/windows-x64/QuarvendCfg.exe)
        endif()
    endif()
    add_test(NAME QuarvendExe.system_dlls_only
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/platform/system_dlls_test.sh ${imports_objdump}
                ${imports_checked})
endif()

# Quarvend.exe under Wine in a virtual desktop inside Xvfb, on the build the installed Wine starts
# (the 32-bit one, or the x86-64 one under wine64). The cases share one Wine prefix, made fresh by
# the first (wineboot is slow) and removed by the last. Without a Wine that can run them they
# fail, unless tools/install-deps.sh found that no Wine can be installed on this machine.
if(TARGET quarvend_windows AND QUARVEND_WINE_BUILD)
    set(wine_prefix ${CMAKE_CURRENT_BINARY_DIR}/wine-prefix)
    set(wine_test ${CMAKE_CURRENT_SOURCE_DIR}/platform/quarvend_exe_wine_test.sh)
    set(wine_cases play sound pacing speed_keys set_up_failures joystick window)
    add_test(NAME QuarvendExeWine.prefix COMMAND ${wine_test} prefix ${wine_prefix})
    add_test(NAME QuarvendExeWine.remove_prefix COMMAND ${wine_test} remove_prefix ${wine_prefix})
    set_tests_properties(QuarvendExeWine.prefix PROPERTIES FIXTURES_SETUP wine_prefix)
    set_tests_properties(QuarvendExeWine.remove_prefix PROPERTIES FIXTURES_CLEANUP wine_prefix)
    foreach(case IN LISTS wine_cases)
        add_test(NAME QuarvendExeWine.${case}
            COMMAND ${wine_test} ${case} ${wine_prefix} ${QUARVEND_WINE_BUILD_DIR}/Quarvend.exe
                    $<TARGET_FILE:quarvend-headless> ${GBA_ROM_DIR})
        set_tests_properties(QuarvendExeWine.${case} PROPERTIES FIXTURES_REQUIRED wine_prefix)
    endforeach()
    list(TRANSFORM wine_cases PREPEND QuarvendExeWine.)
    set_tests_properties(QuarvendExeWine.prefix QuarvendExeWine.remove_prefix ${wine_cases}
        PROPERTIES RUN_SERIAL TRUE TIMEOUT 900 ENVIRONMENT QUARVEND_WINE=${WINE_PROGRAM}
                   LABELS "wine;${QUARVEND_WINE_BUILD} build")
elseif(TARGET quarvend_windows)
    set(no_wine_marker /var/lib/quarvend/wine-unavailable)
    if(DEFINED ENV{QUARVEND_STATE_DIR})
        set(no_wine_marker $ENV{QUARVEND_STATE_DIR}/wine-unavailable)
    endif()
    add_test(NAME QuarvendExeWine.wine
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/platform/quarvend_exe_wine_test.sh no_wine
                "${QUARVEND_WINE_PROBLEM}" ${no_wine_marker})
    set_tests_properties(QuarvendExeWine.wine PROPERTIES SKIP_RETURN_CODE 77)
endif()

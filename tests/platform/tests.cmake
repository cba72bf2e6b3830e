# Unit tests of the SDL host's tables and mixing; they open no device.
add_executable(test_platform
    platform/scancode_table_test.cpp
    platform/sound_mixer_test.cpp
    platform/screen_fit_test.cpp
)
target_link_libraries(test_platform PRIVATE quarvend_sdl GTest::gtest_main)
target_include_directories(test_platform PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
gtest_discover_tests(test_platform DISCOVERY_TIMEOUT 60)

# The real program under a private Xvfb server, driven with xdotool. Run one at a time: they
# pace frames against the clock and the machine may be busy.
foreach(case play sound focus no_display joystick no_sound_device)
    add_test(NAME QuarvendProgram.${case}
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/platform/quarvend_program_test.sh ${case}
                $<TARGET_FILE:Quarvend> $<TARGET_FILE:quarvend-headless> ${GBA_ROM_DIR}
                ${BIOS_IMAGE})
    set_tests_properties(QuarvendProgram.${case} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
endforeach()

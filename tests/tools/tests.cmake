quarvend_test(test_tools headless_runner_test.cpp demo_game_test.cpp save_state_test.cpp)
target_compile_definitions(test_tools PRIVATE QUARVEND_RUNNER="$<TARGET_FILE:quarvend-headless>")
add_dependencies(test_tools quarvend-headless boot_image)

# The real program where a player would lose a save, under a private Xvfb server.
foreach(case read_only_folder hangup)
    add_test(NAME SavesProgram.${case}
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/saves_program_test.sh ${case}
                $<TARGET_FILE:Quarvend> ${GBA_ROM_DIR} ${BIOS_IMAGE})
    set_tests_properties(SavesProgram.${case} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
    if(QUARVEND_SANITIZE)
        set_tests_properties(SavesProgram.${case} PROPERTIES ENVIRONMENT ASAN_OPTIONS=detect_leaks=0)
    endif()
endforeach()

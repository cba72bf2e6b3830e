# The settings program's core (plain C++) is tested with GoogleTest, checked against the
# emulator's own reader and the SDL host's key table; the Qt window with Qt Test under the
# offscreen platform (no display needed).
quarvend_test(test_configcentre_core centre_core_test.cpp)
target_link_libraries(test_configcentre_core PRIVATE quarvend_cfg_core quarvend_sdl)
target_compile_definitions(test_configcentre_core PRIVATE
    QUARVEND_SAVE_METHOD_LIST="${SAVE_METHOD_LIST}"
    QUARVEND_SAVE_TYPES_CSV="${SAVE_TYPES_CSV}"
    QUARVEND_CENTRE_FILES="$<TARGET_FILE:centre_files>")
add_dependencies(test_configcentre_core save_method_list centre_files)

find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(test_configcentre_window configcentre/quarvend_cfg_test.cpp)
set_target_properties(test_configcentre_window PROPERTIES AUTOMOC ON)
# The emulator's own reader checks what the window writes.
target_link_libraries(test_configcentre_window PRIVATE quarvend_cfg_qt Qt6::Test
    "$<LINK_GROUP:RESCAN,quarvend_core,quarvend_headless>")
target_compile_definitions(test_configcentre_window PRIVATE
    QUARVEND_ROM_DIR="${GBA_ROM_DIR}" QUARVEND_CENTRE_FILES="$<TARGET_FILE:centre_files>")
add_dependencies(test_configcentre_window gba_programs centre_files)
add_test(NAME test_configcentre_window COMMAND test_configcentre_window)
set_tests_properties(test_configcentre_window PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# QuarvendCfg.exe under Wine, in the prefix and virtual desktop of the Quarvend.exe tests, on the
# build the installed Wine starts. centre_rom_fields computes with the Linux core what the window
# must show for a ROM.
add_executable(centre_rom_fields configcentre/centre_rom_fields.cpp)
target_link_libraries(centre_rom_fields PRIVATE quarvend_cfg_core)
if(TARGET quarvend_windows AND QUARVEND_WINE_BUILD)
    set(cfg_wine_cases first_start rom_header key_capture start)
    foreach(case IN LISTS cfg_wine_cases)
        add_test(NAME QuarvendCfgWine.${case}
            COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/configcentre/quarvend_cfg_wine_test.sh ${case}
                    ${wine_prefix} ${QUARVEND_WINE_BUILD_DIR} $<TARGET_FILE:centre_files>
                    $<TARGET_FILE:centre_rom_fields> ${SAVE_METHOD_LIST} ${GBA_ROM_DIR})
    endforeach()
    list(TRANSFORM cfg_wine_cases PREPEND QuarvendCfgWine.)
    set_tests_properties(${cfg_wine_cases} PROPERTIES FIXTURES_REQUIRED wine_prefix
        RUN_SERIAL TRUE TIMEOUT 900 ENVIRONMENT QUARVEND_WINE=${WINE_PROGRAM}
        LABELS "wine;${QUARVEND_WINE_BUILD} build")
endif()

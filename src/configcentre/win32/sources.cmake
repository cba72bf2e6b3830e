# QuarvendCfg.exe, the settings program on Win32 controls, on the toolkit-free core it shares
# with the Qt window of the Linux build; and its test driver, which reads and works the window's
# controls from outside under Wine (it does not go into the ready folder).
include(${CMAKE_CURRENT_LIST_DIR}/../core/sources.cmake)
add_library(quarvend_cfg_core STATIC ${CENTRE_CORE_SOURCES}
    ${CMAKE_CURRENT_LIST_DIR}/../core/program_start_win32.cpp)
target_include_directories(quarvend_cfg_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
# The same false -Wrestrict of MinGW's GCC 12 as in the emulator core (string concatenation).
target_compile_options(quarvend_cfg_core PUBLIC -Wno-restrict)

add_executable(QuarvendCfgWin WIN32
    ${CMAKE_CURRENT_LIST_DIR}/capture_boxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/centre_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/centre_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/remembered_choice.cpp
)
target_link_libraries(QuarvendCfgWin PRIVATE quarvend_cfg_core comctl32 comdlg32 winmm)
set_target_properties(QuarvendCfgWin PROPERTIES OUTPUT_NAME QuarvendCfg
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

add_executable(centre_window_driver ${CMAKE_SOURCE_DIR}/tests/configcentre/centre_window_driver.cpp)
target_include_directories(centre_window_driver PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(centre_window_driver PRIVATE -Wno-restrict)
set_target_properties(centre_window_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

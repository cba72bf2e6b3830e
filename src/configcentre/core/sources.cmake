# The settings program's toolkit-free core, shared by the Qt window (Linux) and the Win32 window
# (the Windows build); each adds the start of a program for its system (program_start_*.cpp).
set(CENTRE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/centre_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_access.cpp
    ${CMAKE_CURRENT_LIST_DIR}/joystick_capture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_codes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/launcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rom_browser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rom_header.cpp
    ${CMAKE_CURRENT_LIST_DIR}/save_method_list.cpp
)

list(APPEND CORE_SOURCES
    src/shell/config_file.cpp
    src/shell/startup.cpp
    src/shell/main_loop.cpp
    src/shell/debug_keys.cpp
    src/shell/save_states.cpp
)

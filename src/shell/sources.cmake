list(APPEND CORE_SOURCES
    src/shell/log.cpp
    src/shell/config_file.cpp
)

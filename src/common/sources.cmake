list(APPEND CORE_SOURCES
    src/common/files.cpp
    src/common/log.cpp
    src/common/run_state.cpp
)

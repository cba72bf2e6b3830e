list(APPEND CORE_SOURCES
    src/common/checksum.cpp
    src/common/files.cpp
    src/common/log.cpp
    src/common/run_state.cpp
)

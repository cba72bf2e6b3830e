list(APPEND CORE_SOURCES
    src/common/log.cpp
)

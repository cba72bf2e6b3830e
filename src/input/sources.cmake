list(APPEND CORE_SOURCES src/input/input.cpp)

list(APPEND CORE_SOURCES
    src/sound/fifo.cpp
    src/sound/sound_registers.cpp
    src/sound/sound_output.cpp
)

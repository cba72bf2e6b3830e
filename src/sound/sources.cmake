list(APPEND CORE_SOURCES
    src/sound/fifo.cpp
    src/sound/noise_channel.cpp
    src/sound/sound_registers.cpp
    src/sound/sound_output.cpp
    src/sound/sound_tables.cpp
    src/sound/tone_channels.cpp
)

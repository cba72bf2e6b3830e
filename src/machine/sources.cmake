list(APPEND CORE_SOURCES
    src/machine/gba_system.cpp
    src/machine/bus.cpp
    src/machine/wait_states.cpp
    src/machine/io_registers.cpp
    src/machine/dma.cpp
    src/machine/timers.cpp
    src/machine/scheduler.cpp
    src/machine/frame.cpp
    src/machine/machine_state.cpp
)

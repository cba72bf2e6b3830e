list(APPEND CORE_SOURCES
    src/cpu/cpu_state.cpp
    src/cpu/execution.cpp
    src/cpu/fetch.cpp
    src/cpu/exceptions.cpp
    src/cpu/interrupts.cpp
    src/cpu/arm_table.cpp
    src/cpu/arm_data_processing.cpp
    src/cpu/arm_psr_transfer.cpp
    src/cpu/arm_load_store.cpp
    src/cpu/arm_block_transfer.cpp
    src/cpu/arm_multiply.cpp
    src/cpu/arm_branch.cpp
    src/cpu/thumb_table.cpp
    src/cpu/thumb_alu.cpp
    src/cpu/thumb_load_store.cpp
    src/cpu/thumb_branch.cpp
)

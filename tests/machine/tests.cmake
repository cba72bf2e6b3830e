quarvend_test(test_machine
    bus_test.cpp
    wait_states_test.cpp
    io_registers_test.cpp
    dma_test.cpp
    timers_test.cpp
    scheduler_test.cpp
    frame_test.cpp
    console_programs_test.cpp
)
target_compile_definitions(test_machine PRIVATE
    QUARVEND_RUNNER="$<TARGET_FILE:quarvend-headless>")
add_dependencies(test_machine quarvend-headless boot_image)

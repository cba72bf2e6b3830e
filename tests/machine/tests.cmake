quarvend_test(test_machine
    bus_test.cpp
    wait_states_test.cpp
    io_registers_test.cpp
    dma_test.cpp
    timers_test.cpp
)

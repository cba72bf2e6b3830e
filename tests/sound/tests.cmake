quarvend_test(test_sound
    fifo_test.cpp
)

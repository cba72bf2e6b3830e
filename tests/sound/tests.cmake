quarvend_test(test_sound
    fifo_test.cpp
    sound_output_test.cpp
)

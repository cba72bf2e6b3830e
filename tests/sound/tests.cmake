quarvend_test(test_sound
    fifo_test.cpp
    sound_output_test.cpp
    tone_channels_test.cpp
    tone_programs_test.cpp
)
target_compile_definitions(test_sound PRIVATE QUARVEND_RUNNER="$<TARGET_FILE:quarvend-headless>")
add_dependencies(test_sound quarvend-headless)

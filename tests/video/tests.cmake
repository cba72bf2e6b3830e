quarvend_test(test_video
    frame_driver_test.cpp
    display_output_test.cpp
    screenshot_test.cpp
)

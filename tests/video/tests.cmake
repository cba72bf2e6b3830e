quarvend_test(test_video
    display_output_test.cpp
    screenshot_test.cpp
    screenshot_regression_test.cpp
    color_effects_test.cpp
    background_renderer_test.cpp
    sprites_test.cpp
    windows_test.cpp
    composition_test.cpp
)
# The screenshot cases run the headless runner; pictures taken go to the build folder.
target_compile_definitions(test_video PRIVATE
    QUARVEND_RUNNER="$<TARGET_FILE:quarvend-headless>"
    QUARVEND_SCREENSHOT_CASES="${CMAKE_SOURCE_DIR}/tests/screenshots"
    QUARVEND_SCREENSHOT_RESULTS="${CMAKE_BINARY_DIR}/screenshot-results")
add_dependencies(test_video quarvend-headless)

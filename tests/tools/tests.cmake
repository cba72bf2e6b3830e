quarvend_test(test_tools headless_runner_test.cpp demo_game_test.cpp)
target_compile_definitions(test_tools PRIVATE QUARVEND_RUNNER="$<TARGET_FILE:quarvend-headless>")
add_dependencies(test_tools quarvend-headless boot_image)

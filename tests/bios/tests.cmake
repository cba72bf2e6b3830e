quarvend_test(test_bios bios_harness.cpp bios_calls_test.cpp decompress_test.cpp)
target_compile_definitions(test_bios PRIVATE QUARVEND_BIOS_IMAGE="${BIOS_IMAGE}")
add_dependencies(test_bios boot_image)

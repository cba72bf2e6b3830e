quarvend_test(test_cart rom_loader_test.cpp save_memory_test.cpp save_files_test.cpp)
# The boot image as built, which the emulator also carries inside.
target_compile_definitions(test_cart PRIVATE QUARVEND_BOOT_IMAGE="${BIOS_IMAGE}")
add_dependencies(test_cart boot_image)

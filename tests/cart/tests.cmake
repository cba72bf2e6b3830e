quarvend_test(test_cart rom_loader_test.cpp save_memory_test.cpp save_files_test.cpp)

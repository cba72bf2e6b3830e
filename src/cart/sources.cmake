list(APPEND CORE_SOURCES
    src/cart/rom_loader.cpp
    src/cart/save_memory.cpp
    src/cart/save_files.cpp
)
# built_in_boot_image.cpp is generated from the assembled boot image and added by bios/.

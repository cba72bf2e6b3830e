list(APPEND CORE_SOURCES
    src/cart/rom_loader.cpp
    src/cart/save_memory.cpp
    src/cart/save_files.cpp
)

# The SDL host and the program that uses it.
find_package(SDL2 REQUIRED)

add_library(quarvend_sdl STATIC
    src/platform/sdl/scancode_table.cpp
    src/platform/sdl/sdl_display.cpp
    src/platform/sdl/sdl_input.cpp
    src/platform/sdl/sdl_sound.cpp
    src/platform/sdl/sdl_window.cpp
    src/platform/sdl/sound_mixer.cpp
    src/platform/pad_directions.cpp
    src/platform/step_failure.cpp
)
target_include_directories(quarvend_sdl PUBLIC src)
target_link_libraries(quarvend_sdl PUBLIC SDL2::SDL2)

# Placed in the build folder itself, beside the GBA.BIOS the build writes there.
add_executable(Quarvend src/platform/sdl/quarvend_main.cpp)
target_link_libraries(Quarvend PRIVATE "$<LINK_GROUP:RESCAN,quarvend_core,quarvend_sdl>")
set_target_properties(Quarvend PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

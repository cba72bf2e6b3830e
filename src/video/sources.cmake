list(APPEND CORE_SOURCES
    src/video/frame_driver.cpp
    src/video/line_buffers.cpp
    src/video/line_renderers.cpp
    src/video/tile_renderer.cpp
    src/video/text_layers.cpp
    src/video/tile_vectors.cpp
    src/video/affine_layers.cpp
    src/video/bitmap_renderer.cpp
    src/video/composition.cpp
    src/video/color_effects.cpp
    src/video/display_output.cpp
    src/video/screenshot.cpp
    src/video/sprites.cpp
    src/video/windows.cpp
)

list(APPEND CORE_SOURCES
    src/video/frame_driver.cpp
    src/video/line_buffers.cpp
    src/video/line_renderers.cpp
    src/video/color_effects.cpp
    src/video/display_output.cpp
    src/video/screenshot.cpp
)

# The Windows build: the emulator core, the Win32/DirectX host and Quarvend.exe, nothing else.
# The boot image is the one the Linux build assembles (the ARM tools build nothing here).
set(QUARVEND_BOOT_IMAGE "" CACHE FILEPATH "GBA.BIOS built by the Linux build, carried inside Quarvend.exe")
if(NOT EXISTS "${QUARVEND_BOOT_IMAGE}")
    message(FATAL_ERROR "Set QUARVEND_BOOT_IMAGE to the GBA.BIOS of a Linux build")
endif()

set(embedded_image ${CMAKE_BINARY_DIR}/built_in_boot_image.cpp)
add_custom_command(
    OUTPUT ${embedded_image}
    COMMAND ${CMAKE_COMMAND} -DIMAGE=${QUARVEND_BOOT_IMAGE} -DOUTPUT=${embedded_image}
            -P ${CMAKE_SOURCE_DIR}/bios/tools/embed_boot_image.cmake
    DEPENDS ${QUARVEND_BOOT_IMAGE} ${CMAKE_SOURCE_DIR}/bios/tools/embed_boot_image.cmake
    COMMENT "Embedding the boot image")
target_sources(quarvend_core PRIVATE ${embedded_image})
# MinGW's GCC 12 warns falsely that "text" + std::string overlaps itself once inlined.
target_compile_options(quarvend_core PRIVATE -Wno-restrict)

add_library(quarvend_win32 STATIC
    src/platform/step_failure.cpp
    src/platform/win32/win32_display.cpp
    src/platform/win32/win32_input.cpp
    src/platform/win32/win32_sound.cpp
    src/platform/win32/win32_window.cpp
)
target_include_directories(quarvend_win32 PUBLIC src)
target_link_libraries(quarvend_win32 PUBLIC ddraw dinput dsound dxguid winmm)

add_executable(Quarvend WIN32 src/platform/win32/quarvend_winmain.cpp)
target_link_libraries(Quarvend PRIVATE "$<LINK_GROUP:RESCAN,quarvend_core,quarvend_win32>")
set_target_properties(Quarvend PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# GBA.BIOS beside the program, where it looks for it.
add_custom_command(TARGET Quarvend POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUARVEND_BOOT_IMAGE} ${CMAKE_BINARY_DIR}/GBA.BIOS)

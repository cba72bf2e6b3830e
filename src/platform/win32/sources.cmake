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
    src/platform/pad_directions.cpp
    src/platform/refresh_hold.cpp
    src/platform/step_failure.cpp
    src/platform/win32/win32_display.cpp
    src/platform/win32/win32_input.cpp
    src/platform/win32/win32_sound.cpp
    src/platform/win32/win32_window.cpp
)
target_include_directories(quarvend_win32 PUBLIC src)
target_link_libraries(quarvend_win32 PUBLIC ddraw dinput dsound dxguid gdi32 winmm)

add_executable(Quarvend WIN32 src/platform/win32/quarvend_winmain.cpp)
target_link_libraries(Quarvend PRIVATE "$<LINK_GROUP:RESCAN,quarvend_core,quarvend_win32>")
set_target_properties(Quarvend PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The settings program, QuarvendCfg.exe.
include(src/configcentre/win32/sources.cmake)

# GBA.BIOS beside the program, where it looks for it.
add_custom_command(TARGET Quarvend POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUARVEND_BOOT_IMAGE} ${CMAKE_BINARY_DIR}/GBA.BIOS)

# The folder a Windows user unpacks, and its zip: the programs, the boot image, the settings
# program's save-method list, a keyboard Quarvend.CFG and README.txt (CR LF). The Linux build
# supplies the two data files; without them (the x86-64 build for the tests) there is no folder.
set(QUARVEND_SAVE_METHOD_LIST "" CACHE FILEPATH "RIDIravu.DAT of a Linux build")
set(QUARVEND_DEFAULT_CONFIG "" CACHE FILEPATH "A default Quarvend.CFG of a Linux build")

# Every program of the folder with its line in README.txt. Called at the end of the project, when
# every target exists: the settings program goes in once its target QuarvendCfgWin is there.
function(add_ready_folder)
    set(programs Quarvend)
    set(FOLDER_PROGRAMS "  Quarvend.exe      the emulator\n")
    if(TARGET QuarvendCfgWin)
        list(APPEND programs QuarvendCfgWin)
        string(APPEND FOLDER_PROGRAMS
               "  QuarvendCfg.exe   the settings program; it starts Quarvend.exe\n")
    endif()
    set(template ${CMAKE_SOURCE_DIR}/src/platform/win32/folder_readme.txt)
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${template})
    file(READ ${template} text)
    string(REPLACE "@FOLDER_PROGRAMS@\n" "${FOLDER_PROGRAMS}" text "${text}")
    set(readme ${CMAKE_BINARY_DIR}/README.txt)
    file(GENERATE OUTPUT ${readme} CONTENT "${text}" NEWLINE_STYLE CRLF)

    set(folder ${CMAKE_BINARY_DIR}/Quarvend)
    set(zip ${CMAKE_BINARY_DIR}/Quarvend-win32.zip)
    set(files ${QUARVEND_SAVE_METHOD_LIST} ${QUARVEND_DEFAULT_CONFIG} ${readme})
    # The programs go in without their symbol tables.
    set(strip_programs)
    foreach(program IN LISTS programs)
        list(APPEND strip_programs
             COMMAND ${CMAKE_STRIP} -o ${folder}/$<TARGET_FILE_NAME:${program}> $<TARGET_FILE:${program}>)
    endforeach()
    # Made afresh each time, so that nothing of an earlier build stays in it.
    add_custom_command(
        OUTPUT ${zip}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${folder} ${zip}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${CMAKE_COMMAND} -E copy ${files} ${folder}
        ${strip_programs}
        COMMAND ${CMAKE_COMMAND} -E copy ${QUARVEND_BOOT_IMAGE} ${folder}/GBA.BIOS
        COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Quarvend
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        DEPENDS ${programs} ${files} ${QUARVEND_BOOT_IMAGE}
        COMMENT "Filling the folder Quarvend and Quarvend-win32.zip"
        VERBATIM)
    add_custom_target(ready_folder ALL DEPENDS ${zip})
endfunction()

if(QUARVEND_SAVE_METHOD_LIST AND QUARVEND_DEFAULT_CONFIG)
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL add_ready_folder)
endif()

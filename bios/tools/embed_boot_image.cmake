# Writes the built boot image as a C++ source that defines builtInBootImage, so that the
# emulator carries its own image for when "GBA.BIOS" is missing or short.
#
# usage: cmake -DIMAGE=GBA.BIOS -DOUTPUT=built_in_boot_image.cpp -P embed_boot_image.cmake
file(SIZE ${IMAGE} image_size)
if(NOT image_size EQUAL 16384)
    message(FATAL_ERROR "${IMAGE} holds ${image_size} bytes, not the 16384 of a boot image")
endif()
file(READ ${IMAGE} hex HEX)
# Sixteen bytes to a line.
string(REGEX REPLACE "(................................)" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(STRIP "${bytes}" bytes)
string(REPLACE "\n" "\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.new
    "// Generated from the built boot image by bios/tools/embed_boot_image.cmake; do not edit.\n"
    "#include \"cart/built_in_boot_image.h\"\n\n"
    "const u8 builtInBootImage[biosSize] = {\n    ${bytes}\n};\n")
file(RENAME ${OUTPUT}.new ${OUTPUT})

# The settings program's tests use Qt Test and run without a display (offscreen platform).
find_package(Qt6 REQUIRED COMPONENTS Test)

# quarvend_qt_test(NAME SOURCES...): one Qt Test binary, registered with CTest.
function(quarvend_qt_test name)
    add_executable(${name} ${ARGN})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE quarvend_cfg_window Qt6::Test)
    target_compile_definitions(${name} PRIVATE
        QUARVEND_SAVE_METHOD_LIST="${SAVE_METHOD_LIST}"
        QUARVEND_SAVE_TYPES_CSV="${SAVE_TYPES_CSV}"
        QUARVEND_CENTRE_FILES="$<TARGET_FILE:centre_files>")
    add_dependencies(${name} save_method_list centre_files)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

quarvend_qt_test(test_configcentre_data configcentre/centre_data_test.cpp)
# The emulator's own reader checks what the settings program writes.
target_link_libraries(test_configcentre_data PRIVATE
    "$<LINK_GROUP:RESCAN,quarvend_core,quarvend_headless>")

quarvend_qt_test(test_configcentre_window configcentre/quarvend_cfg_test.cpp)

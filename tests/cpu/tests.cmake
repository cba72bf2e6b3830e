quarvend_test(test_cpu
    cpu_state_test.cpp
    cpu_run_test.cpp
    arm_table_test.cpp
    arm_data_processing_test.cpp
    arm_load_store_test.cpp
    arm_multiply_branch_test.cpp
    arm_programs_test.cpp
    interrupts_test.cpp
)
quarvend_test(test_thumb thumb_table_test.cpp thumb_alu_test.cpp thumb_load_store_test.cpp thumb_branch_test.cpp thumb_programs_test.cpp)

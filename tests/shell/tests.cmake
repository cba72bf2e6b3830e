quarvend_test(test_shell
    config_file_test.cpp
    debug_keys_test.cpp
    startup_test.cpp
    main_loop_test.cpp
    files_under_faults_test.cpp
    save_states_test.cpp
)

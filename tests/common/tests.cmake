quarvend_test(test_common
    log_test.cpp
)

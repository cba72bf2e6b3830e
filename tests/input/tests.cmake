quarvend_test(test_input input_test.cpp)

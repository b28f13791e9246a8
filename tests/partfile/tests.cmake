quillon_add_test(part_file_test ${CMAKE_CURRENT_LIST_DIR}/part_file_test.cpp)

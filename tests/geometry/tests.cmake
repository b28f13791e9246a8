add_executable(isocline_test ${CMAKE_CURRENT_LIST_DIR}/isocline_test.cpp)
target_link_libraries(isocline_test PRIVATE cadhost_geometry GTest::gtest GTest::gtest_main quillon_warnings)
gtest_discover_tests(isocline_test)

quillon_add_test(sidecar_test ${CMAKE_CURRENT_LIST_DIR}/sidecar_test.cpp)

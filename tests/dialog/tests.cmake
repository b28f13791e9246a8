quillon_add_test(dialog_test ${CMAKE_CURRENT_LIST_DIR}/dialog_file_test.cpp ${CMAKE_CURRENT_LIST_DIR}/styler_test.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/prompts_test.cpp)

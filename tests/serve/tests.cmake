# quillon serve: its rules in-process, and the page in a headless browser against the real program.
quillon_add_test(serve_test ${CMAKE_CURRENT_LIST_DIR}/serve_test.cpp)
target_link_libraries(serve_test PRIVATE cadhost_cli)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME serve_page COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/check_serve_page.py
                                 $<TARGET_FILE:quillon> ${CMAKE_SOURCE_DIR})
set_tests_properties(serve_page PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
add_test(NAME serve_requests COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/check_serve_requests.py
                                     $<TARGET_FILE:quillon> ${CMAKE_SOURCE_DIR})
set_tests_properties(serve_requests PROPERTIES TIMEOUT 300)

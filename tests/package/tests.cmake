# The Debian package made from this build tree, its contents and dependencies, and its tree unpacked elsewhere running
# the demo (about a minute: the package is compressed and the demo draws the sample mould).
add_test(NAME debian_package COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/check_package.py
                                     --build ${CMAKE_BINARY_DIR} --cpack ${CMAKE_CPACK_COMMAND})
set_tests_properties(debian_package PROPERTIES TIMEOUT 900)

add_test(NAME CommandSeam.IncludesOnlyHostAndStandardLibrary
         COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_CURRENT_LIST_DIR}/check_includes.cmake)

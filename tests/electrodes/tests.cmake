# The electrode analysis of the drawing command, on real solids in the host.
quillon_add_command_test(electrodes_test
  ${CMAKE_CURRENT_LIST_DIR}/numeric_record_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extents_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/body_analysis_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collection_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/core_scan_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_mould_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/copy_rotation_test.cpp)

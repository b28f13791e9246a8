quillon_add_test(drafting_test
  ${CMAKE_CURRENT_LIST_DIR}/views_mapping_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_sides_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/annotations_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dimension_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reference_sheet_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/projection_by_parts_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/face_selection_test.cpp)

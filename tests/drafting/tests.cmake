quillon_add_test(drafting_test
  ${CMAKE_CURRENT_LIST_DIR}/views_mapping_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_sides_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/annotations_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dimension_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_arrangement_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reference_sheet_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/projection_by_parts_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/face_selection_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/projected_curves_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/touch_label_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stroke_cutting_test.cpp)

add_test(NAME sheet_texts_clear COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_sheet_texts.sh $<TARGET_FILE:quillon>
                                        ${CMAKE_SOURCE_DIR})
set_tests_properties(sheet_texts_clear PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)

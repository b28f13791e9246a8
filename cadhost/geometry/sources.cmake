cadhost_folder(geometry
  ${CMAKE_CURRENT_LIST_DIR}/isocline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/isocline_analytic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/isocline_numeric.cpp
  ${CMAKE_CURRENT_LIST_DIR}/queries.cpp)

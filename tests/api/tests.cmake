quillon_add_test(host_api_test
  ${CMAKE_CURRENT_LIST_DIR}/objects_layers_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/attributes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/modl_queries_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/views_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drf_preferences_test.cpp)

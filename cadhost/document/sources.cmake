cadhost_folder(document ${CMAKE_CURRENT_LIST_DIR}/document.cpp ${CMAKE_CURRENT_LIST_DIR}/dump_json.cpp
               ${CMAKE_CURRENT_LIST_DIR}/utf8_text.cpp
               ${CMAKE_CURRENT_LIST_DIR}/object_colour.cpp ${CMAKE_CURRENT_LIST_DIR}/shared_style.cpp)

cadhost_folder(import ${CMAKE_CURRENT_LIST_DIR}/step_reader.cpp ${CMAKE_CURRENT_LIST_DIR}/step_isolation.cpp
               ${CMAKE_CURRENT_LIST_DIR}/shape_check.cpp ${CMAKE_CURRENT_LIST_DIR}/step_items.cpp
               ${CMAKE_CURRENT_LIST_DIR}/solid_check.cpp ${CMAKE_CURRENT_LIST_DIR}/layer_mapping.cpp
               ${CMAKE_CURRENT_LIST_DIR}/sidecar.cpp ${CMAKE_CURRENT_LIST_DIR}/import_model.cpp
               ${CMAKE_CURRENT_LIST_DIR}/object_names.cpp ${CMAKE_CURRENT_LIST_DIR}/name_encoding.cpp
               ${CMAKE_CURRENT_LIST_DIR}/step_names.cpp ${CMAKE_CURRENT_LIST_DIR}/step_escapes.cpp
               ${CMAKE_CURRENT_LIST_DIR}/name_pattern.cpp ${CMAKE_CURRENT_LIST_DIR}/auto_layers.cpp
               ${CMAKE_CURRENT_LIST_DIR}/step_colours.cpp)
# The kernel's imported targets carry no include directory; as system headers its warnings stay out of ours.
target_include_directories(cadhost_import SYSTEM PUBLIC ${OpenCASCADE_INCLUDE_DIR})

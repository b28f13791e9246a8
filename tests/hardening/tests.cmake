# Damaged inputs of every kind, run through the quillon program as a user would.
quillon_add_test(hardening_test ${CMAKE_CURRENT_LIST_DIR}/quillon_process.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/import_refusals_test.cpp ${CMAKE_CURRENT_LIST_DIR}/damaged_parts_test.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/host_inputs_test.cpp ${CMAKE_CURRENT_LIST_DIR}/layout_scale_test.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/atomic_outputs_test.cpp ${CMAKE_CURRENT_LIST_DIR}/part_access_test.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/text_entries_test.cpp ${CMAKE_CURRENT_LIST_DIR}/export_outputs_test.cpp)
add_dependencies(hardening_test quillon)
target_link_libraries(hardening_test PRIVATE SQLite::SQLite3)
target_compile_definitions(hardening_test PRIVATE QUILLON_PROGRAM="$<TARGET_FILE:quillon>")

# Command libraries include host/ only and find the host's symbols in the process that loads them.
foreach(variant IN ITEMS unload_now:1 stay:2)
  string(REPLACE ":" ";" parts ${variant})
  list(GET parts 0 suffix)
  list(GET parts 1 answer)
  add_library(probe_command_${suffix} MODULE ${CMAKE_CURRENT_LIST_DIR}/probe_command.cpp)
  target_link_libraries(probe_command_${suffix} PRIVATE host_interface cadhost quillon_warnings)
  target_compile_definitions(probe_command_${suffix} PRIVATE PROBE_UNLOAD_ANSWER=${answer})
endforeach()
add_library(no_entry_library MODULE ${CMAKE_CURRENT_LIST_DIR}/no_entry.cpp)

quillon_add_test(loader_test ${CMAKE_CURRENT_LIST_DIR}/loader_test.cpp)
add_dependencies(loader_test probe_command_unload_now probe_command_stay no_entry_library)
target_compile_definitions(loader_test PRIVATE
  PROBE_UNLOAD_NOW="$<TARGET_FILE:probe_command_unload_now>"
  PROBE_STAY="$<TARGET_FILE:probe_command_stay>"
  NO_ENTRY_LIBRARY="$<TARGET_FILE:no_entry_library>")

quillon_add_test(cli_test ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp)
target_link_libraries(cli_test PRIVATE cadhost_cli)
add_dependencies(cli_test probe_command_unload_now)
target_compile_definitions(cli_test PRIVATE PROBE_UNLOAD_NOW="$<TARGET_FILE:probe_command_unload_now>")

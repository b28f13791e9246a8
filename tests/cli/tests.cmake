quillon_add_test(cli_test ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp)
target_link_libraries(cli_test PRIVATE cadhost_cli)
add_dependencies(cli_test probe_command_unload_now)
target_compile_definitions(cli_test PRIVATE PROBE_UNLOAD_NOW="$<TARGET_FILE:probe_command_unload_now>")

quillon_add_test(import_cli_test ${CMAKE_CURRENT_LIST_DIR}/import_cli_test.cpp
                 ${CMAKE_SOURCE_DIR}/examples/generator/step_writer.cpp)
target_include_directories(import_cli_test PRIVATE ${CMAKE_SOURCE_DIR}/examples/generator)
target_link_libraries(import_cli_test PRIVATE cadhost_cli)
add_dependencies(import_cli_test quillon_command)
target_compile_definitions(import_cli_test PRIVATE COMMAND_LIBRARY="$<TARGET_FILE:quillon_command>")

quillon_add_test(info_help_test ${CMAKE_CURRENT_LIST_DIR}/info_help_test.cpp)
target_link_libraries(info_help_test PRIVATE cadhost_cli)

# The quillon program on a pseudo-terminal, with the drawing command: the dialog and the prompts typed by a user.
quillon_add_test(terminal_run_test ${CMAKE_CURRENT_LIST_DIR}/terminal_run_test.cpp)
target_link_libraries(terminal_run_test PRIVATE cadhost_cli util)
add_dependencies(terminal_run_test quillon quillon_command)
target_compile_definitions(terminal_run_test PRIVATE QUILLON_PROGRAM="$<TARGET_FILE:quillon>"
                                                     COMMAND_LIBRARY="$<TARGET_FILE:quillon_command>")

# The real program, run as a script runs it.
quillon_add_test(run_outcome_test ${CMAKE_CURRENT_LIST_DIR}/run_outcome_test.cpp ${CMAKE_CURRENT_LIST_DIR}/check_run_test.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/../render/tool_run.cpp)
add_dependencies(run_outcome_test quillon quillon_command)

quillon_add_test(model_export_test ${CMAKE_CURRENT_LIST_DIR}/model_export_test.cpp)
target_link_libraries(model_export_test PRIVATE cadhost_cli)

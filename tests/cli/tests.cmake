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

# A mould from another CAD system to sheets in one command, built by the sample's generator as a designer models it
# and as a CAD system without layers or diagonal lines hands it over; electrode tables edited by openpyxl.
set(generator ${CMAKE_SOURCE_DIR}/examples/generator)
quillon_add_test(from_other_cad_test ${CMAKE_CURRENT_LIST_DIR}/from_other_cad_test.cpp ${generator}/model.cpp
                 ${generator}/electrode.cpp ${generator}/core.cpp ${generator}/directions_layout.cpp
                 ${generator}/step_writer.cpp)
target_include_directories(from_other_cad_test PRIVATE ${generator})
target_link_libraries(from_other_cad_test PRIVATE cadhost_cli TKFillet)
add_dependencies(from_other_cad_test quillon_command)
find_program(QUILLON_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
target_compile_definitions(from_other_cad_test PRIVATE COMMAND_LIBRARY="$<TARGET_FILE:quillon_command>"
                           SYSTEM_PYTHON="${QUILLON_SYSTEM_PYTHON}"
                           WORKBOOKS_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/workbooks.py")

quillon_add_test(model_export_test ${CMAKE_CURRENT_LIST_DIR}/model_export_test.cpp)
target_link_libraries(model_export_test PRIVATE cadhost_cli)

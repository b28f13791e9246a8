# The command's front door: configuration, call check, validation, model views, entry and dialog, in-process; and the
# built command library run by the command line.
set(dir ${CMAKE_CURRENT_LIST_DIR})
quillon_add_command_test(command_start_test ${dir}/config_reader_test.cpp ${dir}/call_check_test.cpp
                         ${dir}/validation_test.cpp ${dir}/model_views_test.cpp ${dir}/entry_test.cpp
                         ${dir}/dialog_callbacks_test.cpp)

quillon_add_test(command_run_test ${dir}/command_run_test.cpp)
target_link_libraries(command_run_test PRIVATE cadhost_cli)
add_dependencies(command_run_test quillon_command)
target_compile_definitions(command_run_test PRIVATE COMMAND_LIBRARY="$<TARGET_FILE:quillon_command>")

# The drawing run: sheets with their title block and mould-core views, in-process; and the sample mould end to end
# through the command line.
set(dir ${CMAKE_CURRENT_LIST_DIR})
quillon_add_command_test(run_driver_test ${dir}/run_driver_test.cpp ${dir}/elec_sheet_test.cpp
                         ${dir}/core_views_test.cpp
                         ${dir}/depth_zero_label_test.cpp)

quillon_add_test(sample_run_test ${dir}/sample_run_test.cpp)
target_link_libraries(sample_run_test PRIVATE cadhost_cli)
add_dependencies(sample_run_test quillon_command)
target_compile_definitions(sample_run_test PRIVATE COMMAND_LIBRARY="$<TARGET_FILE:quillon_command>")

# The sample's exported files read back with outside tools (ezdxf, poppler).
quillon_add_test(sample_outputs_test ${dir}/sample_outputs_test.cpp)
target_link_libraries(sample_outputs_test PRIVATE cadhost_cli)
add_dependencies(sample_outputs_test quillon_command)
target_compile_definitions(sample_outputs_test PRIVATE COMMAND_LIBRARY="$<TARGET_FILE:quillon_command>")

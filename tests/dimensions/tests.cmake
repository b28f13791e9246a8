# The position and ordinate dimensions of the mould-core views: their placement rules, the routines on real sheets,
# and every dimension of whole runs measured against the moulds' construction.
set(dir ${CMAKE_CURRENT_LIST_DIR})
quillon_add_command_test(dimensions_test ${dir}/placement_rules_test.cpp ${dir}/core_dimensions_test.cpp)

quillon_add_test(directions_run_test ${dir}/directions_run_test.cpp)
target_link_libraries(directions_run_test PRIVATE cadhost_cli)
add_dependencies(directions_run_test quillon_command)
target_compile_definitions(directions_run_test PRIVATE COMMAND_LIBRARY="$<TARGET_FILE:quillon_command>")

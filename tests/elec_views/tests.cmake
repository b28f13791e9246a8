# The electrode's own views and sizes, in-process against the real host.
set(dir ${CMAKE_CURRENT_LIST_DIR})
quillon_add_command_test(elec_views_test ${dir}/body_views_test.cpp ${dir}/body_dims_test.cpp)

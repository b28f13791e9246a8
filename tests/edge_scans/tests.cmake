# The edge scans of the drawing command, on real solids in the host.
quillon_add_command_test(edge_scans_test ${CMAKE_CURRENT_LIST_DIR}/edge_scans_test.cpp)
# Chamfered extremes are made with the kernel's chamfer, which the host itself does not need.
target_link_libraries(edge_scans_test PRIVATE TKFillet)

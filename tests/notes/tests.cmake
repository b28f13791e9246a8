# What the machinist reads on each sheet: spark gaps and counts, the electrode's name and place, the chamfer label.
set(dir ${CMAKE_CURRENT_LIST_DIR})
quillon_add_command_test(notes_test ${dir}/spark_gap_notes_test.cpp ${dir}/elec_number_note_test.cpp
                         ${dir}/chamfer_label_test.cpp)

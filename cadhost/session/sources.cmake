set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(session ${dir}/session.cpp ${dir}/ui_channels.cpp ${dir}/part_io.cpp)

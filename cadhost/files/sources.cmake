cadhost_folder(files ${CMAKE_CURRENT_LIST_DIR}/atomic_file.cpp ${CMAKE_CURRENT_LIST_DIR}/read_file.cpp
               ${CMAKE_CURRENT_LIST_DIR}/staged_files.cpp)

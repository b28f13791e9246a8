cadhost_folder(files ${CMAKE_CURRENT_LIST_DIR}/atomic_file.cpp ${CMAKE_CURRENT_LIST_DIR}/read_file.cpp
               ${CMAKE_CURRENT_LIST_DIR}/staged_files.cpp ${CMAKE_CURRENT_LIST_DIR}/zip_reader.cpp
               ${CMAKE_CURRENT_LIST_DIR}/folder_swap.cpp)
# Workbooks are zip archives; the shared host gets zlib with the drawing libraries.
find_package(ZLIB REQUIRED)
target_link_libraries(cadhost_files PUBLIC ZLIB::ZLIB)

cadhost_folder(loader ${CMAKE_CURRENT_LIST_DIR}/command_loader.cpp ${CMAKE_CURRENT_LIST_DIR}/library_entry.cpp)

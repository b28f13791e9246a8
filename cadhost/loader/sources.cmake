cadhost_folder(loader ${CMAKE_CURRENT_LIST_DIR}/command_loader.cpp)

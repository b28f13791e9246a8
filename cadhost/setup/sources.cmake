set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(setup ${dir}/sheet_setup.cpp ${dir}/setup_csv.cpp ${dir}/summary_pages.cpp ${dir}/sheet_browser.cpp)

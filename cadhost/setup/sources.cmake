set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(setup ${dir}/sheet_setup.cpp ${dir}/list_tables.cpp ${dir}/setup_csv.cpp ${dir}/setup_xlsx.cpp
               ${dir}/summary_pages.cpp ${dir}/sheet_browser.cpp ${dir}/edm_table.cpp ${dir}/cell_table.cpp ${dir}/xml_scan.cpp
               ${dir}/xlsx_reader.cpp ${dir}/csv_reader.cpp ${dir}/electrode_table.cpp)

# The workbook writer comes from the system through pkg-config; like the drawing libraries it is linked by both the
# folder's object library and the shared host, which is assembled from object files.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QUILLON_XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(cadhost_setup PUBLIC PkgConfig::QUILLON_XLSXWRITER)
cmake_language(DEFER DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} CALL target_link_libraries cadhost PUBLIC
               PkgConfig::QUILLON_XLSXWRITER)

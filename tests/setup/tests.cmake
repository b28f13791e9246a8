# The setup list, bill of material, summary pages and sheet browser: their rules on setups made in the test, and the
# sample mould's lists read back with Python's csv module and its workbook with openpyxl (under the system Python,
# where scripts/setup.sh installs it), its summary page through pdftotext and its browser page in a headless browser,
# with a page of hundreds of sheets written by many_sheet_page.
set(dir ${CMAKE_CURRENT_LIST_DIR})
quillon_add_test(setup_outputs_test ${dir}/setup_outputs_test.cpp)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(QUILLON_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
add_test(NAME setup_lists COMMAND ${QUILLON_SYSTEM_PYTHON} ${dir}/check_setup_lists.py $<TARGET_FILE:quillon>
                                  ${CMAKE_SOURCE_DIR})
set_tests_properties(setup_lists PROPERTIES TIMEOUT 600)

add_executable(many_sheet_page ${dir}/many_sheet_page.cpp)
target_link_libraries(many_sheet_page PRIVATE cadhost quillon_warnings)
target_include_directories(many_sheet_page PRIVATE ${CMAKE_SOURCE_DIR})
add_test(NAME sheet_browser COMMAND Python3::Interpreter ${dir}/check_sheet_browser.py $<TARGET_FILE:quillon>
                                    ${CMAKE_SOURCE_DIR} $<TARGET_FILE:many_sheet_page>)
set_tests_properties(sheet_browser PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)

# The electrode table's workbook and XML readers on parts made in the test.
quillon_add_test(table_readers_test ${dir}/table_readers_test.cpp)
target_link_libraries(table_readers_test PRIVATE cadhost_cli)

# The sheet writers' tests link only the render folder. The PDF and DXF tests read the outputs back with poppler's
# tools and with ezdxf under the system Python, which scripts/setup.sh installs; a missing tool fails the tests.
add_library(render_test_support OBJECT ${CMAKE_CURRENT_LIST_DIR}/sample_sheets.cpp ${CMAKE_CURRENT_LIST_DIR}/tool_run.cpp)
target_link_libraries(render_test_support PUBLIC cadhost_render GTest::gtest PRIVATE quillon_warnings)
target_include_directories(render_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(render_test_support PUBLIC QUILLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                                      QUILLON_BINARY_DIR="${CMAKE_BINARY_DIR}")

foreach(test svg_writer_test pdf_writer_test pdf_line_work_test dxf_writer_test stroke_paths_test)
  add_executable(${test} ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp)
  target_link_libraries(${test} PRIVATE render_test_support cadhost_render GTest::gtest GTest::gtest_main
                                        quillon_warnings)
  gtest_discover_tests(${test} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endforeach()

# The sample and directions moulds' sheets rasterised (SVG in headless Chromium, PDF pages by pdftoppm) against the
# reviewed renders in tests/reference_sheets.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME sheet_renders COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/check_sheet_renders.py
                                    $<TARGET_FILE:quillon> ${CMAKE_SOURCE_DIR})
set_tests_properties(sheet_renders PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77)

# Each sample DXF drawn by LibreCAD and by ezdxf, compared with the PDF page (skips only when a reader cannot start).
# The readers get the fonts the package ships, made by this build: LibreCAD's stroke font folder, and ezdxf's settings
# that add the sheets' font to its font cache.
add_test(NAME dxf_render_check
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/dxf_render_check.py --quillon $<TARGET_FILE:quillon>
                 --command $<TARGET_FILE:quillon_command> --fonts ${CMAKE_BINARY_DIR}/fonts)
set_tests_properties(dxf_render_check PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77
                     ENVIRONMENT EZDXF_CONFIG_FILE=${CMAKE_BINARY_DIR}/ezdxf/ezdxf.ini)

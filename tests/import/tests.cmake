# The writer of the sample generator makes the test files, so reader and sample agree on one way of writing STEP.
add_executable(step_reader_test ${CMAKE_CURRENT_LIST_DIR}/step_reader_test.cpp
                                ${CMAKE_SOURCE_DIR}/examples/generator/step_writer.cpp)
target_include_directories(step_reader_test PRIVATE ${CMAKE_SOURCE_DIR}/examples/generator)
target_link_libraries(step_reader_test PRIVATE cadhost_import cadhost_partfile cadhost_files cadhost_document cadhost_geometry
                      GTest::gtest GTest::gtest_main quillon_warnings)
target_compile_definitions(step_reader_test PRIVATE QUILLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(step_reader_test)

quillon_add_test(sample_import_test ${CMAKE_CURRENT_LIST_DIR}/sample_import_test.cpp)

# Names, layers, units and damage, on files written by the sample's writer and then changed as other writers would.
foreach(name step_names_layers_test step_damage_test step_colours_test)
  quillon_add_test(${name} ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp ${CMAKE_SOURCE_DIR}/examples/generator/step_writer.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/examples/generator)
endforeach()

# The translating child kept by a process that reads many files.
quillon_add_test(step_translator_child_test ${CMAKE_CURRENT_LIST_DIR}/step_translator_child_test.cpp)

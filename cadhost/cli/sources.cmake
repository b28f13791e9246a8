# The command line is a thin program over the host library; its subcommands live in a library of their own so that
# tests can run them in-process.
add_library(cadhost_cli STATIC ${CMAKE_CURRENT_LIST_DIR}/cli_commands.cpp ${CMAKE_CURRENT_LIST_DIR}/export_command.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/import_command.cpp ${CMAKE_CURRENT_LIST_DIR}/info_command.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/help_text.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/check_command.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/attribute_warnings.cpp ${CMAKE_CURRENT_LIST_DIR}/layer_table.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/setup_outputs.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/export_files.cpp ${CMAKE_CURRENT_LIST_DIR}/sheet_files.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/part_hold.cpp ${CMAKE_CURRENT_LIST_DIR}/shipped_files.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/run_closing.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/command_analysis.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/diagonal_lines.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/attribute_files.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/sheets_command.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/model_export.cpp)
target_link_libraries(cadhost_cli PUBLIC cadhost PRIVATE quillon_warnings)
target_compile_definitions(cadhost_cli PRIVATE QUILLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                               QUILLON_VERSION="${PROJECT_VERSION}")
add_executable(quillon ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(quillon PRIVATE cadhost_cli quillon_warnings)
# Drawing a sheet makes and frees hundreds of thousands of small buffers on every thread; jemalloc's per-thread
# caches take a sixth off an export's time against the C library's allocator. Sanitized builds keep the C library's,
# which the sanitizers replace. The program calls none of jemalloc's own functions, so it is linked whether or not
# the linker drops libraries it sees no use for.
if(NOT QUILLON_SANITIZE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QUILLON_JEMALLOC REQUIRED IMPORTED_TARGET jemalloc)
  set(CMAKE_LINK_LIBRARY_USING_quillon_kept "LINKER:--push-state,--no-as-needed" "<LINK_ITEM>" "LINKER:--pop-state")
  set(CMAKE_LINK_LIBRARY_USING_quillon_kept_SUPPORTED TRUE)
  target_link_libraries(quillon PRIVATE "$<LINK_LIBRARY:quillon_kept,${QUILLON_JEMALLOC_LINK_LIBRARIES}>")
endif()
set_target_properties(quillon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

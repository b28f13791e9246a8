# quillon serve: the designer's window in the browser. Part of the command line's library; the HTTP server is Debian's
# cpp-httplib (libcpp-httplib-dev), which is built as a shared library there.
set(dir ${CMAKE_CURRENT_LIST_DIR})
target_sources(cadhost_cli PRIVATE ${dir}/serve_command.cpp ${dir}/routes.cpp ${dir}/path_guard.cpp
                                   ${dir}/access_token.cpp ${dir}/child_process.cpp ${dir}/run_jobs.cpp
                                   ${dir}/zip_writer.cpp ${dir}/page.cpp ${dir}/import_form.cpp ${dir}/served_files.cpp
                                   ${dir}/upload_form.cpp ${dir}/model_routes.cpp
                                   ${dir}/step_routes.cpp)
find_package(PkgConfig REQUIRED)
pkg_check_modules(QUILLON_HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
find_package(ZLIB REQUIRED)
target_link_libraries(cadhost_cli PRIVATE PkgConfig::QUILLON_HTTPLIB ZLIB::ZLIB)

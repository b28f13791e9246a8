set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(render ${dir}/svg_writer.cpp ${dir}/pdf_writer.cpp ${dir}/pdf_line_work.cpp ${dir}/pdf_page_streams.cpp ${dir}/pdf_stream.cpp
               ${dir}/pdf_text.cpp ${dir}/dxf_writer.cpp ${dir}/dxf_layers.cpp ${dir}/dxf_shapes.cpp ${dir}/dxf_stream_writer.cpp ${dir}/dxf_objects.cpp ${dir}/aci_colour.cpp
               ${dir}/gbk_text.cpp ${dir}/number_text.cpp ${dir}/stroke_paths.cpp ${dir}/stroke_shapes.cpp ${dir}/overdrawn_strokes.cpp ${dir}/path_data.cpp ${dir}/curve_pieces.cpp ${dir}/text_metrics.cpp ${dir}/printable_text.cpp)

# The drawing libraries come from the system through pkg-config. They are bundled in one interface target that both
# the folder's object library and the shared host link, since the host is assembled from object files and would not
# inherit them otherwise.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QUILLON_PANGOCAIRO REQUIRED IMPORTED_TARGET pangocairo cairo-pdf)
pkg_check_modules(QUILLON_DXFLIB REQUIRED IMPORTED_TARGET dxflib)
pkg_check_modules(QUILLON_LIBDEFLATE REQUIRED IMPORTED_TARGET libdeflate)
find_package(ZLIB REQUIRED)
add_library(cadhost_render_libs INTERFACE)
target_link_libraries(cadhost_render_libs INTERFACE PkgConfig::QUILLON_PANGOCAIRO PkgConfig::QUILLON_DXFLIB
                                                    PkgConfig::QUILLON_LIBDEFLATE ZLIB::ZLIB)
target_link_libraries(cadhost_render PUBLIC cadhost_render_libs)
# The shared host is defined after the folders are read; the deferred call links it once it exists.
cmake_language(DEFER DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} CALL target_link_libraries cadhost PUBLIC
               cadhost_render_libs)

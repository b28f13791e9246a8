set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(drafting ${dir}/view_frame.cpp ${dir}/hlr_projection.cpp ${dir}/projection_regions.cpp
               ${dir}/face_selection.cpp ${dir}/prepared_body.cpp ${dir}/projection_store.cpp ${dir}/projected_strokes.cpp ${dir}/annotation_geometry.cpp
               ${dir}/dimension_layout.cpp ${dir}/text_arrangement.cpp ${dir}/sheet_builder.cpp ${dir}/sheet_report.cpp ${dir}/touch_label.cpp ${dir}/sheet_room.cpp ${dir}/view_labels.cpp ${dir}/chamfer_mark.cpp
               ${dir}/body_looks.cpp ${dir}/stroke_cutting.cpp ${dir}/own_strokes.cpp)

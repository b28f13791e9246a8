set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(api ${dir}/boundary.cpp ${dir}/uf_core.cpp ${dir}/uf_obj.cpp ${dir}/uf_layer.cpp ${dir}/uf_curve.cpp
               ${dir}/uf_csys.cpp ${dir}/uf_attr.cpp ${dir}/uf_part.cpp ${dir}/uf_ui.cpp ${dir}/uf_modl.cpp
               ${dir}/uf_view.cpp ${dir}/uf_drf_prefs.cpp ${dir}/uf_draw.cpp
               ${dir}/uf_disp.cpp ${dir}/uf_drf_annotations.cpp ${dir}/uf_part_import.cpp)

set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(partfile ${dir}/part_file.cpp ${dir}/payload_codec.cpp ${dir}/projection_table.cpp ${dir}/sqlite_db.cpp
               ${dir}/part_check.cpp ${dir}/shape_bytes.cpp
               ${dir}/part_schema.cpp ${dir}/part_lock.cpp ${dir}/import_layers.cpp ${dir}/colour_table.cpp)

# The part's bodies as a 3D model (binary glTF), meshed and written by the geometry kernel's own writer.
set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(model3d ${dir}/glb_writer.cpp ${dir}/glb_chunks.cpp)

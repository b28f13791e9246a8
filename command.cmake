# The command library: the units quillon, my_func and my_func1 with the call check of host/. It sees nothing but host/
# and the standard library, and finds the host's functions in the process that loads it.
#
# The units are compiled once into an object library; the shared library the host loads is made of those objects, and
# the command's tests link the same objects into their programs beside the host library.
set(COMMAND_SOURCES "")
foreach(unit quillon my_func my_func1)
  file(GLOB UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${unit}/*.cpp)
  # Failed host calls are reported under their source file, named from the source tree ("quillon/elec_sheet.cpp"),
  # so that the listing's line number leads to the call.
  foreach(source IN LISTS UNIT_SOURCES)
    get_filename_component(source_name ${source} NAME)
    set_source_files_properties(${source} PROPERTIES COMPILE_DEFINITIONS QUILLON_SOURCE_MODULE="${unit}/${source_name}")
  endforeach()
  list(APPEND COMMAND_SOURCES ${UNIT_SOURCES})
endforeach()
set_source_files_properties(${CMAKE_SOURCE_DIR}/host/call_check.cpp PROPERTIES
                            COMPILE_DEFINITIONS QUILLON_SOURCE_MODULE="host/call_check.cpp")

add_library(quillon_command_units OBJECT ${COMMAND_SOURCES} ${CMAKE_SOURCE_DIR}/host/call_check.cpp)
target_include_directories(quillon_command_units PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quillon_command_units PRIVATE quillon_warnings)
set_target_properties(quillon_command_units PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

add_library(quillon_command SHARED $<TARGET_OBJECTS:quillon_command_units>)
# Linked against the host library only so that its symbols resolve; no header of the host is visible to the units.
target_link_libraries(quillon_command PRIVATE cadhost)
set_target_properties(quillon_command PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# The host looks for the command's dialog file beside the library it loads.
add_custom_command(TARGET quillon_command POST_BUILD
                   COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/quillon/quillon_dlg.dlg
                           $<TARGET_FILE_DIR:quillon_command>/quillon_dlg.dlg)

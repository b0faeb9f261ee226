# Include roots by layer. No folder is an include root: each library exposes
# its own folder, under the same "folder/file.h" path, through a staging root
# of the build that holds nothing else, and passes it on to what links it.
# So a file reaches another folder's headers only when its library links that
# folder's library, and the link graph (which has no cycle) decides which
# layer may include which.
function(korelle_expose target)
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "." key ${folder})
  set(stage ${CMAKE_BINARY_DIR}/include/${key})
  if(NOT EXISTS ${stage}/${folder})
    get_filename_component(parent ${stage}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${stage}/${folder} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${stage})
  else()
    target_include_directories(${target} PUBLIC ${stage})
  endif()
endfunction()

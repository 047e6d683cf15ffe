# The layers' include folders. A library of the core exports a folder that holds
# only a link named after it to its own sources, so that its headers are named
# from the top of the tree ("calendar/easter.h") while nothing else of the tree
# (app/, tests/, Qt) can be included from it: an include that runs back up the
# layers does not compile.
#   solvane_layer_includes(TARGET)   in the layer's own CMakeLists.txt
function(solvane_layer_includes target)
  get_filename_component(layer ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(folder ${CMAKE_BINARY_DIR}/layers/${layer})
  file(MAKE_DIRECTORY ${folder})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${folder}/${layer} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${folder})
endfunction()

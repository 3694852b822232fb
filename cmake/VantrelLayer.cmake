# One library per layer. A layer's headers are reachable only through an include folder of
# links made for that layer, and a target sees only the include folders of the layers it
# links, so an include that runs against the layer order fails to compile.
#
#   vantrel_layer(<target> [NO_QT] FOLDERS <folder>... [EXCLUDE <regex>...]
#                 [PUBLIC <dep>...] [PRIVATE <dep>...])
#
# FOLDERS are relative to the project root; each takes its .cpp and .h files (sub-folders
# too when written as "<folder>/**"). A layer without sources is a header-only interface.
# NO_QT layers skip the meta-object compiler.
function(vantrel_layer target)
  cmake_parse_arguments(LAYER "NO_QT" "" "FOLDERS;EXCLUDE;PUBLIC;PRIVATE" ${ARGN})
  set(sources)
  set(headers)
  foreach(folder IN LISTS LAYER_FOLDERS)
    if(folder MATCHES "/\\*\\*$")
      string(REGEX REPLACE "/\\*\\*$" "" base "${folder}")
      file(GLOB_RECURSE found CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
           ${PROJECT_SOURCE_DIR}/${base}/*.cpp ${PROJECT_SOURCE_DIR}/${base}/*.h)
    else()
      file(GLOB found CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
           ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    endif()
    foreach(pattern IN LISTS LAYER_EXCLUDE)
      list(FILTER found EXCLUDE REGEX "${pattern}")
    endforeach()
    foreach(file IN LISTS found)
      if(file MATCHES "\\.h$")
        list(APPEND headers ${file})
      else()
        list(APPEND sources ${file})
      endif()
    endforeach()
  endforeach()

  set(include_root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${include_root})
  foreach(header IN LISTS headers)
    get_filename_component(folder ${include_root}/${header} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${header} ${include_root}/${header} SYMBOLIC)
  endforeach()

  list(TRANSFORM sources PREPEND ${PROJECT_SOURCE_DIR}/)
  list(TRANSFORM headers PREPEND ${PROJECT_SOURCE_DIR}/)
  if(sources)
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC ${include_root})
    target_link_libraries(${target} PUBLIC ${LAYER_PUBLIC} PRIVATE ${LAYER_PRIVATE})
    if(LAYER_NO_QT)
      set_target_properties(${target} PROPERTIES AUTOMOC OFF)
    endif()
  else()
    add_library(${target} INTERFACE ${headers})
    target_include_directories(${target} INTERFACE ${include_root})
    target_link_libraries(${target} INTERFACE ${LAYER_PUBLIC})
  endif()
endfunction()

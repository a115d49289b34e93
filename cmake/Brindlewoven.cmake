# Build helpers shared by every folder.
#
# A core library is every .cpp in one folder (not its subfolders), plus every
# .cpp of the subfolders named after SUBDIRS (editor/ takes editor/dialogs/,
# while its widgets sit in editor/ui/ and never reach it). Core libraries
# never see Qt: bw_check_core_libraries() fails the configure step
# when one of them links a Qt target, directly or through a dependency.

set(BW_CORE_LIBRARIES "" CACHE INTERNAL "")

function(bw_core_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBDIRS" ${ARGN})
  set(patterns ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  foreach(sub IN LISTS ARG_SUBDIRS)
    list(APPEND patterns ${CMAKE_SOURCE_DIR}/${dir}/${sub}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(dep IN LISTS ARG_DEPS)
    if(TARGET ${dep} OR NOT dep MATCHES "^bw_")
      target_link_libraries(${name} PUBLIC ${dep})
    endif()
  endforeach()
  set(BW_CORE_LIBRARIES ${BW_CORE_LIBRARIES} ${name} CACHE INTERNAL "")
endfunction()

function(bw_collect_links target out)
  get_target_property(links ${target} LINK_LIBRARIES)
  set(result "")
  if(links)
    foreach(l IN LISTS links)
      list(APPEND result ${l})
      if(TARGET ${l} AND l MATCHES "^bw_")
        bw_collect_links(${l} sub)
        list(APPEND result ${sub})
      endif()
    endforeach()
  endif()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(bw_check_core_libraries)
  foreach(lib IN LISTS BW_CORE_LIBRARIES)
    bw_collect_links(${lib} links)
    foreach(l IN LISTS links)
      if(l MATCHES "Qt")
        message(FATAL_ERROR "core library ${lib} must not link Qt (${l})")
      endif()
    endforeach()
  endforeach()
endfunction()

# The core libraries that exist, for test programs that want all of them.
function(bw_existing_core out)
  set(result "")
  foreach(lib bw_editorcore bw_import bw_writers bw_images bw_build bw_unitparser bw_speller bw_setup bw_helpproject bw_components bw_rtf bw_platform)
    if(TARGET ${lib})
      list(APPEND result ${lib})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# The pictures that generated component help refers to ("{bmct key.bmp}" and
# the like) are found in the program's own folder: they are copied next to
# each program that generates topics once it is built, and installed beside
# the programs. unitparser/pictures/make-pictures.py draws them.
set(BW_PROGRAM_PICTURES
  ${CMAKE_SOURCE_DIR}/unitparser/pictures/runtime.bmp
  ${CMAKE_SOURCE_DIR}/unitparser/pictures/key.bmp
  ${CMAKE_SOURCE_DIR}/unitparser/pictures/protect.bmp)

function(bw_ship_program_pictures target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${BW_PROGRAM_PICTURES} $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()

# quendrel_resources(<target>
#                    [RCDATA <NAME=file>...] [BITMAP <NAME=file>...] [ICON <NAME=file>...] [STRING <NAME=file>...]
#                    [INDEX <TYPE=index.txt>...] [DEPENDS <targets>...])
#
# Compiles the files into <target> as named resources (see classlib/core/Resources.h). Relative file names are
# taken from the calling folder. An INDEX names a list file that a build-time generator writes (see
# tools/embed/embed.cpp for its form); DEPENDS names the generator targets that must run first. The files read
# are tracked through a depfile, so a changed picture or form rebuilds the resources.
#
# Include this file from any folder that needs the function before resources/ is added.
include_guard(GLOBAL)

if(NOT TARGET quendrel_embed)
  add_executable(quendrel_embed ${CMAKE_CURRENT_LIST_DIR}/../tools/embed/embed.cpp)
endif()

function(quendrel_resources target)
  cmake_parse_arguments(ARG "" "" "RCDATA;BITMAP;ICON;STRING;INDEX;DEPENDS" ${ARGN})
  set(entries)
  set(files)
  foreach(type RCDATA BITMAP ICON STRING)
    foreach(entry IN LISTS ARG_${type})
      string(FIND "${entry}" "=" eq)
      if(eq LESS 1)
        message(FATAL_ERROR "quendrel_resources: '${entry}' is not NAME=file")
      endif()
      string(SUBSTRING "${entry}" 0 ${eq} name)
      math(EXPR start "${eq} + 1")
      string(SUBSTRING "${entry}" ${start} -1 file)
      get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
      list(APPEND entries "${type}:${name}=${file}")
      list(APPEND files "${file}")
    endforeach()
  endforeach()
  foreach(entry IN LISTS ARG_INDEX)
    string(FIND "${entry}" "=" eq)
    if(eq LESS 1)
      message(FATAL_ERROR "quendrel_resources: INDEX '${entry}' is not TYPE=file")
    endif()
    string(SUBSTRING "${entry}" 0 ${eq} type)
    math(EXPR start "${eq} + 1")
    string(SUBSTRING "${entry}" ${start} -1 file)
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND entries "INDEX:${type}=${file}")
  endforeach()

  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND quendrel_embed ${out} --depfile ${out}.d ${entries}
    DEPENDS quendrel_embed ${files}
    DEPFILE ${out}.d
    COMMENT "Embedding resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
endfunction()

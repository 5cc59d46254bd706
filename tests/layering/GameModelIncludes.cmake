# Fails when one of SOURCES (paths under ROOT, separated by "|") includes, directly or through other headers,
# anything from the window side: the controls of the class library, its backend, or the skinned components.
# The compiler lists the headers, so an include hidden two headers deep counts as much as a direct one.
string(REPLACE "|" ";" sources "${SOURCES}")
foreach(source IN LISTS sources)
  execute_process(COMMAND ${CXX} -std=c++20 -I${ROOT} -MM ${ROOT}/${source}
                  OUTPUT_VARIABLE deps ERROR_VARIABLE errors RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${source}: its includes could not be listed:\n${errors}")
  endif()
  # Paths inside the tree, relative to it, so that the folders above it cannot match.
  string(REPLACE "${ROOT}/" "" deps "${deps}")
  string(REGEX MATCHALL "(classlib/controls|classlib/backend|skin)/[^ \\\n]*" seen "${deps}")
  if(seen)
    list(JOIN seen "\n  " shown)
    message(FATAL_ERROR "${source} sees the window side through:\n  ${shown}")
  endif()
  message(STATUS "${source}: no window in sight")
endforeach()

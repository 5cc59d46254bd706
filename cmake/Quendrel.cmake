# Our libraries register their classes by name when the program starts (static initialisers), so they are
# linked whole: otherwise the linker would drop the units nothing calls directly, and their classes with them.
function(quendrel_link target scope)
  foreach(dep IN LISTS ARGN)
    if(TARGET ${dep})
      get_target_property(type ${dep} TYPE)
      if(type STREQUAL "STATIC_LIBRARY")
        target_link_libraries(${target} ${scope} "$<LINK_LIBRARY:WHOLE_ARCHIVE,${dep}>")
        continue()
      endif()
    endif()
    target_link_libraries(${target} ${scope} ${dep})
  endforeach()
endfunction()

# quendrel_library(<target> [DEPS <targets...>])
# A static library from every .cpp of the current folder (and its subfolders listed in SUBDIRS).
# A folder without sources yields an INTERFACE target, so that dependants can name it already.
function(quendrel_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBDIRS" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub IN LISTS ARG_SUBDIRS)
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${globs})
  if(sources)
    add_library(${target} STATIC ${sources})
    quendrel_link(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    quendrel_link(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# quendrel_tests(<target> DEPS <targets...>)
# One GoogleTest executable from every .cpp of the current test folder; each test is registered with CTest
# and runs headless.
function(quendrel_tests target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  quendrel_link(${target} PRIVATE ${ARG_DEPS})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUENDREL_TEST_OUTPUT=${PROJECT_BINARY_DIR}/test-output"
    DISCOVERY_TIMEOUT 60)
endfunction()

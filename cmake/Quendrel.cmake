# quendrel_library(<target> [DEPS <targets...>] [PRIVATE_DEPS <targets...>])
# A shared library from every .cpp of the current folder (and its subfolders listed in SUBDIRS).
# DEPS reach the library's users too; PRIVATE_DEPS (the toolkit behind the backend) reach only the library.
# A folder without sources yields an INTERFACE target, so that dependants can name it already.
function(quendrel_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS;SUBDIRS" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub IN LISTS ARG_SUBDIRS)
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${globs})
  if(sources)
    add_library(${target} SHARED ${sources})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    if(ARG_PRIVATE_DEPS)
      target_link_libraries(${target} PRIVATE ${ARG_PRIVATE_DEPS})
    endif()
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# quendrel_tests(<target> DEPS <targets...>)
# One GoogleTest executable from every .cpp of the current test folder; each test is registered with CTest
# and runs headless (tests/support/TestEnvironment.cpp).
function(quendrel_tests target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/TestEnvironment.cpp
                           ${PROJECT_SOURCE_DIR}/tools/demosupport/LeakSuppressions.cpp)
  target_compile_definitions(${target} PRIVATE QUENDREL_TEST_OUTPUT_DIR="${PROJECT_BINARY_DIR}/test-output")
  target_link_libraries(${target} PRIVATE ${ARG_DEPS})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120)
endfunction()

# quendrel_long_tests(<seconds> <test names...>)
# A longer limit than the 120 seconds of quendrel_tests, for tests of the current folder that are long by
# nature. The discovered tests exist only once CTest runs, so the limit comes from a file CTest includes after
# the discovery's own.
function(quendrel_long_tests seconds)
  set(file ${CMAKE_CURRENT_BINARY_DIR}/long_tests.cmake)
  file(WRITE ${file} "set_tests_properties(${ARGN} PROPERTIES TIMEOUT ${seconds})\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()

# velmora_library(<name> <folder> <deps...>)
# One library per source folder; its sources are every .cpp below the folder, so
# adding a module needs no edit here. A folder without sources yet adds nothing.
function(velmora_library name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  if(NOT sources)
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARGN})
    return()
  endif()
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# velmora_test_build_options(<target>): the code of tests and benchmarks only calls into
# the libraries, so in the sanitizer build it is compiled at -Og: 40 % less compile time
# than the build type's -O1 (the greater part of make test's build), while the libraries
# under test keep their level.
function(velmora_test_build_options target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Debug>:-Og>)
endfunction()

# velmora_tests(<library>): tests/<folder>/**/*_test.cpp form one test program.
function(velmora_tests lib folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  # tests/<folder>/peers/ holds programs of their own that the tests run beside them.
  list(FILTER sources EXCLUDE REGEX "/peers/")
  if(NOT sources)
    return()
  endif()
  set(exe ${lib}_tests)
  add_executable(${exe} ${sources})
  target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${exe} PRIVATE ${lib} velmora_test_support GTest::gtest GTest::gmock)
  target_compile_definitions(${exe} PRIVATE VELMORA_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  velmora_test_build_options(${exe})
  # Nearly every test file parses GoogleTest and the same standard headers: once per
  # program instead.
  target_precompile_headers(${exe} PRIVATE <gtest/gtest.h> <algorithm> <chrono> <cstdint>
                            <filesystem> <fstream> <functional> <map> <memory> <random>
                            <set> <sstream> <string> <thread> <vector>)
  # Each case as a test of its own (label "case"), to find and run again one by one.
  gtest_discover_tests(${exe} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS case)
  # The whole program in one process, as `make test` runs it: it shows the state one case
  # leaves behind for the next, which a process per case hides, and runs every case once
  # rather than twice.
  add_test(NAME ${exe}_whole COMMAND ${exe})
  set_tests_properties(${exe}_whole PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                               TIMEOUT 1200)
endfunction()

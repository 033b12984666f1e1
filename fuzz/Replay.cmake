# Included by tests/CMakeLists.txt: every fuzz target built with the ordinary compiler as a
# plain program (fuzz/ReplayMain.cpp) and run by ctest on its seed corpus, so that each
# target's properties are checked on every commit, not only under `make fuzz`.
add_library(kelvane_fuzz_replay_support STATIC ${CMAKE_CURRENT_LIST_DIR}/FuzzSupport.cpp)
target_link_libraries(kelvane_fuzz_replay_support PUBLIC Qt6::Core)

function(kelvane_fuzz_target name)
  cmake_parse_arguments(PARSE_ARGV 1 FUZZ "" "" "SOURCES;LIBRARIES;INCLUDES")
  set(program fuzz_seeds_${name})
  add_executable(${program} ${FUZZ_SOURCES} ${KELVANE_SOURCE}/fuzz/ReplayMain.cpp)
  target_include_directories(${program} PRIVATE ${FUZZ_INCLUDES})
  target_link_libraries(${program} PRIVATE kelvane_fuzz_replay_support ${FUZZ_LIBRARIES})
  target_compile_definitions(${program} PRIVATE KELVANE_TEST_RESULTS="${KELVANE_TEST_RESULTS}")
  set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KELVANE_OUTPUT_DIR})
  add_test(NAME ${program} COMMAND ${program} ${KELVANE_SOURCE}/fuzz/corpus/${name})
  set_tests_properties(${program} PROPERTIES TIMEOUT 300)
endfunction()

set(KELVANE_SOURCE ${PROJECT_SOURCE_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/Targets.cmake)

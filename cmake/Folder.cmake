# Every folder of the tree is one library whose headers are its interface;
# its tests live in <folder>/tests and build into one test executable.
function(lexora_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

function(lexora_folder_tests name)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(NOT tests)
    return()
  endif()
  add_executable(${name}_tests ${tests})
  target_link_libraries(${name}_tests PRIVATE ${name} ${ARGN} GTest::gtest GTest::gmock
                                              GTest::gtest_main)
  target_include_directories(${name}_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  # Parameter values stay out of the test names: many are records whose
  # printed bytes hold addresses that change from one build to the next.
  gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
endfunction()

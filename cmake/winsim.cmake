# Helpers shared by every component's CMakeLists.

# winsim_tests(DIR LIBS lib...): one test program per DIR/*_test.cpp, each run
# by CTest through GoogleTest's test discovery.
function(winsim_tests dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  foreach(source ${tests})
    get_filename_component(name ${source} NAME_WE)
    get_filename_component(component ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(target ${component}_${name})
    add_executable(${target} ${source})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} winsim_testing GTest::gtest GTest::gtest_main Threads::Threads)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endforeach()
endfunction()

include(GoogleTest)

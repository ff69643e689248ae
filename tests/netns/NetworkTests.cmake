# Support for programs that send datagrams: they run only through
# scripts/private-lan.sh, which makes their private network, starts them in
# it and removes it afterwards. Included by every folder that has such
# programs (tests/netns, tests/pindle, bench).
include_guard(GLOBAL)
find_package(GTest REQUIRED)

add_library(kestrum_lan STATIC ${CMAKE_CURRENT_LIST_DIR}/lan.cpp)
target_include_directories(kestrum_lan PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(kestrum_lan PRIVATE KESTRUM_CARDSIM_PATH="$<TARGET_FILE:cardsim>")
target_link_libraries(kestrum_lan PUBLIC private_network_guard)
add_dependencies(kestrum_lan cardsim)
kestrum_warnings(kestrum_lan)

# main() of network test programs: the guard, then GoogleTest.
add_library(kestrum_network_test_main STATIC ${CMAKE_CURRENT_LIST_DIR}/network_test_main.cpp)
target_link_libraries(kestrum_network_test_main PUBLIC kestrum_lan GTest::gtest)
kestrum_warnings(kestrum_network_test_main)

# kestrum_network_test(NAME target [LANS n] [LINKS n] [FILTER pattern]): ctest
# runs the program through the harness, with n card LANs (default 1), each
# reached through LINKS adapters (default 1), running the tests the GoogleTest
# filter names (default all). Never registered bare, and not discovered at
# build time (the guard would refuse to list its tests).
function(kestrum_network_test name target)
  cmake_parse_arguments(ARG "" "LANS;LINKS;FILTER" "" ${ARGN})
  if(NOT ARG_LANS)
    set(ARG_LANS 1)
  endif()
  if(NOT ARG_LINKS)
    set(ARG_LINKS 1)
  endif()
  set(filter)
  if(ARG_FILTER)
    set(filter --gtest_filter=${ARG_FILTER})
  endif()
  add_test(NAME ${name}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/private-lan.sh --lans ${ARG_LANS} --links ${ARG_LINKS}
            --cardsim $<TARGET_FILE:cardsim> -- $<TARGET_FILE:${target}> ${filter})
  set_tests_properties(${name} PROPERTIES LABELS network TIMEOUT 300)
endfunction()

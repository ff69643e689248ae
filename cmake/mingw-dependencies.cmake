# GoogleTest and nlohmann/json for the mingw-w64 cross-build. Debian packages
# them only for the build machine, so find_package answers here: GoogleTest
# is built from the sources that libgtest-dev installs; nlohmann/json is
# header-only, and its headers (nlohmann-json3-dev) are taken alone, without
# the rest of the build machine's include folder. Loaded before the project
# through CMAKE_PROJECT_TOP_LEVEL_INCLUDES (the windows preset sets it).
set(KESTRUM_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross-builds")
set(KESTRUM_NLOHMANN_JSON_HEADERS /usr/include/nlohmann CACHE PATH "nlohmann/json headers for cross-builds")

macro(kestrum_provide_nlohmann_json)
  if(NOT TARGET nlohmann_json::nlohmann_json)
    if(NOT EXISTS "${KESTRUM_NLOHMANN_JSON_HEADERS}/json.hpp")
      message(FATAL_ERROR "nlohmann/json not found in ${KESTRUM_NLOHMANN_JSON_HEADERS}: install nlohmann-json3-dev")
    endif()
    set(headers "${CMAKE_BINARY_DIR}/cross-headers")
    file(MAKE_DIRECTORY "${headers}")
    file(CREATE_LINK "${KESTRUM_NLOHMANN_JSON_HEADERS}" "${headers}/nlohmann" SYMBOLIC)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${headers}")
  endif()
  set(nlohmann_json_FOUND TRUE)
endmacro()

macro(kestrum_provide_googletest method package_name)
  if("${package_name}" STREQUAL "nlohmann_json")
    kestrum_provide_nlohmann_json()
  elseif("${package_name}" STREQUAL "GTest")
    if(NOT TARGET GTest::gtest)
      if(NOT EXISTS "${KESTRUM_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt")
        message(FATAL_ERROR "GoogleTest sources not found in ${KESTRUM_GOOGLETEST_SOURCE_DIR}: install libgtest-dev")
      endif()
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
      add_subdirectory("${KESTRUM_GOOGLETEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
      # GoogleTest names its targets GTest::gtest and so on itself; the older
      # names that FindGTest gives are added here.
      add_library(GTest::GTest ALIAS gtest)
      add_library(GTest::Main ALIAS gtest_main)
    endif()
    set(GTest_FOUND TRUE)
    set(GTEST_FOUND TRUE)
  endif()
endmacro()

cmake_language(SET_DEPENDENCY_PROVIDER kestrum_provide_googletest SUPPORTED_METHODS FIND_PACKAGE)

# GoogleTest for the mingw-w64 cross-build. Debian packages GoogleTest only
# for the build machine, so find_package(GTest) is answered here by building
# it from the sources that libgtest-dev installs. Loaded before the project
# through CMAKE_PROJECT_TOP_LEVEL_INCLUDES (the windows preset sets it).
set(KESTRUM_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross-builds")

macro(kestrum_provide_googletest method package_name)
  if("${package_name}" STREQUAL "GTest")
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

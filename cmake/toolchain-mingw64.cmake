# Cross-builds the Windows DLLs, programs and tests on Debian with mingw-w64.
#
# Everything of the project's own is linked -static, so libgcc, libstdc++ and
# winpthread live inside each DLL and program, and the DLLs import nothing but
# Windows' own DLLs, pindle.dll and (for the window) Qt's DLLs. The .exe tests
# run under wine.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-compilers.cmake)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# ctest runs the .exe tests through wine. Test discovery waits for ctest too,
# so that building never starts wine (and never outside a private network).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# Qt for Windows, where the build has one (scripts/qt-windows.sh makes it
# from Debian's source; any Qt 6 for mingw-w64 does): its folder is searched
# as one more root of the cross sysroot, since the find-root mode re-roots
# CMAKE_PREFIX_PATH; the build machine's own Qt provides moc, rcc and uic.
set(KESTRUM_WINDOWS_QT "" CACHE PATH "Qt 6 for mingw-w64 (its install folder), for the window")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTRUM_WINDOWS_QT)
if(KESTRUM_WINDOWS_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH "${KESTRUM_WINDOWS_QT}")
  set(QT_HOST_PATH /usr CACHE PATH "The build machine's Qt, whose tools the cross-build runs")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "The build machine's Qt CMake files")
endif()

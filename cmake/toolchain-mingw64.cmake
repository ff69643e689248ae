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

# Cross-builds the Windows DLLs and tests on Debian with mingw-w64.
#
# The posix-thread compilers: the win32-thread ones have no std::thread or
# std::mutex. Everything is linked -static, so libgcc, libstdc++ and
# winpthread live inside each DLL and program, and the DLLs import nothing but
# Windows' own DLLs and pindle.dll. The .exe tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRUM_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRUM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRUM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRUM_MINGW_TRIPLE}-windres)

# Headers and libraries come from the cross sysroot only, programs from the
# build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# ctest runs the .exe tests through wine. Test discovery waits for ctest too,
# so that building never starts wine (and never outside a private network).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# The mingw-w64 cross compilers and sysroot, for everything built here for
# Windows: the project (through toolchain-mingw64.cmake) and Qt for Windows
# (scripts/qt-windows.sh).
#
# The posix-thread compilers: the win32-thread ones have no std::thread or
# std::mutex.
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

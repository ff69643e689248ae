# What Kestrum.exe needs beside it to start on a Windows machine with nothing
# installed: Qt's DLLs, the windows platform plugin, the Vista style, and the
# compiler's runtime DLLs that Qt's DLLs import (the project's own programs
# link that runtime statically). They are copied into the build's bin folder,
# so that the program and its tests start under wine exactly as installed,
# and installed beside the programs for the packages. The offscreen platform
# and QtTest serve the tests only and are not installed.

set(kestrum_qt_libraries Qt6::Core Qt6::Gui Qt6::Widgets)
set(kestrum_qt_platforms Qt6::QWindowsIntegrationPlugin)
set(kestrum_qt_styles Qt6::QWindowsVistaStylePlugin)
# The tests' own, in the build tree only.
set(kestrum_qt_test_libraries Qt6::Test)
set(kestrum_qt_test_platforms Qt6::QOffscreenIntegrationPlugin)

set(kestrum_runtime_dlls "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} knows no ${dll}, which Qt's DLLs import")
  endif()
  list(APPEND kestrum_runtime_dlls "${path}")
endforeach()

# The files of targets, for a command line.
function(kestrum_target_files variable)
  list(TRANSFORM ARGN PREPEND "$<TARGET_FILE:")
  list(TRANSFORM ARGN APPEND ">")
  set(${variable} ${ARGN} PARENT_SCOPE)
endfunction()
kestrum_target_files(libraries ${kestrum_qt_libraries} ${kestrum_qt_test_libraries})
kestrum_target_files(platforms ${kestrum_qt_platforms} ${kestrum_qt_test_platforms})
kestrum_target_files(styles ${kestrum_qt_styles})

set(bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(copy ${CMAKE_COMMAND} -E copy_if_different)
add_custom_target(kestrum_windows_runtime ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/platforms ${bin}/styles
  COMMAND ${copy} ${kestrum_runtime_dlls} ${libraries} ${bin}
  COMMAND ${copy} ${platforms} ${bin}/platforms
  COMMAND ${copy} ${styles} ${bin}/styles
  COMMENT "Qt's DLLs, plugins and the runtime DLLs beside the programs"
  VERBATIM)

kestrum_target_files(libraries ${kestrum_qt_libraries})
kestrum_target_files(platforms ${kestrum_qt_platforms})
install(FILES ${kestrum_runtime_dlls} ${libraries} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${platforms} DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
install(FILES ${styles} DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)

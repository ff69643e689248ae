# The window's catalogues: translations/*.ts, whose source texts are the
# window's Chinese, compiled by lrelease into .qm files embedded in the
# program under :/i18n. The build machine's lrelease and lupdate serve the
# Windows cross-build too (they write the same files on every platform).
#
#   cmake --build --preset dev --target kestrum_lupdate
# brings the catalogues up to date with the sources; a new text shows there
# as type="unfinished", a vanished one as type="vanished", and the test
# translations.catalogue_complete fails while either is left.
find_program(KESTRUM_LRELEASE NAMES lrelease lrelease-qt6 HINTS /usr/lib/qt6/bin NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_program(KESTRUM_LUPDATE NAMES lupdate lupdate-qt6 HINTS /usr/lib/qt6/bin NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# The folders whose texts a person reads (the catalogue's test reads them too).
set(KESTRUM_TRANSLATED_SOURCES ${PROJECT_SOURCE_DIR}/app ${PROJECT_SOURCE_DIR}/widgets ${PROJECT_SOURCE_DIR}/crash_reports
    CACHE INTERNAL "folders whose texts the catalogues translate")

function(kestrum_add_translations target)
  set(catalogues)
  set(qm_files)
  foreach(ts IN LISTS ARGN)
    get_filename_component(name ${ts} NAME_WE)
    set(qm ${CMAKE_CURRENT_BINARY_DIR}/i18n/${name}.qm)
    add_custom_command(OUTPUT ${qm}
      COMMAND ${KESTRUM_LRELEASE} -silent ${ts} -qm ${qm}
      DEPENDS ${ts}
      COMMENT "lrelease ${name}")
    list(APPEND qm_files ${qm})
    list(APPEND catalogues ${ts})
  endforeach()
  foreach(qm IN LISTS qm_files)
    get_filename_component(alias ${qm} NAME)
    set_source_files_properties(${qm} PROPERTIES QT_RESOURCE_ALIAS ${alias})
  endforeach()
  qt_add_resources(${target} kestrum_catalogues PREFIX /i18n FILES ${qm_files})
  add_custom_target(kestrum_lupdate
    COMMAND ${KESTRUM_LUPDATE} -silent -locations none ${KESTRUM_TRANSLATED_SOURCES} -ts ${catalogues}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "lupdate: the catalogues from the sources")
  set(KESTRUM_CATALOGUES ${catalogues} PARENT_SCOPE)
endfunction()

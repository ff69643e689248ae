# Fails when a catalogue lags behind the sources: lupdate, run on a copy of
# CATALOGUE over SOURCES, marks each text without a translation
# type="unfinished" and each translation whose text is gone type="vanished"
# (or "obsolete"). Run as: cmake -DLUPDATE=... -DCATALOGUE=... -DSOURCES=...
# -DWORK=... -P check_catalogue.cmake
get_filename_component(name ${CATALOGUE} NAME)
set(copy ${WORK}/${name})
file(COPY_FILE ${CATALOGUE} ${copy})
string(REPLACE "|" ";" source_list "${SOURCES}")
execute_process(COMMAND ${LUPDATE} -silent -locations none ${source_list} -ts ${copy} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "lupdate failed on ${CATALOGUE}")
endif()
file(STRINGS ${copy} lagging ENCODING UTF-8 REGEX "type=\"(unfinished|vanished|obsolete)\"")
if(lagging)
  file(STRINGS ${copy} lines ENCODING UTF-8)
  set(report)
  set(last_source "")
  foreach(line IN LISTS lines)
    if(line MATCHES "<source>(.*)</source>")
      set(last_source "${CMAKE_MATCH_1}")
    elseif(line MATCHES "type=\"(unfinished|vanished|obsolete)\"")
      string(APPEND report "  ${CMAKE_MATCH_1}: ${last_source}\n")
    endif()
  endforeach()
  message(FATAL_ERROR "${CATALOGUE} is not up to date with the sources; run the kestrum_lupdate target and translate:\n${report}")
endif()

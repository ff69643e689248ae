# Fails when a manual page and its program disagree on the options: every
# "--option" that the program's sources (the .cpp files in FOLDER) compare
# arguments with must be in PAGE, and every option PAGE names must be one of
# them. Run as: cmake -DPAGE=... -DFOLDER=... -P check_manual_page_options.cmake
function(options_in text pattern out)
  string(REGEX MATCHALL "${pattern}" found "${text}")
  list(TRANSFORM found REPLACE "^\"" "")
  list(REMOVE_DUPLICATES found)
  list(SORT found)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

file(READ ${PAGE} page)
string(REPLACE "\\-" "-" page "${page}")  # roff's minus sign
options_in("${page}" "--[a-z][a-z-]*" documented)

file(GLOB source_list ${FOLDER}/*.cpp)
set(sources "")
foreach(source IN LISTS source_list)
  file(READ ${source} text)
  string(APPEND sources "${text}")
endforeach()
options_in("${sources}" "\"--[a-z][a-z-]*" accepted)

set(undocumented ${accepted})
list(REMOVE_ITEM undocumented ${documented})
set(unknown ${documented})
list(REMOVE_ITEM unknown ${accepted})
if(undocumented OR unknown)
  message(FATAL_ERROR "${PAGE} and the program disagree: not in the page: ${undocumented}; "
                      "not taken by the program: ${unknown}")
endif()
message(STATUS "${PAGE}: ${documented}")

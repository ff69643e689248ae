# Warnings every target of ours compiles with; errors when KESTRUM_WERROR is on.
function(kestrum_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${KESTRUM_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
      -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
      $<$<BOOL:${KESTRUM_WERROR}>:-Werror>)
  endif()
endfunction()

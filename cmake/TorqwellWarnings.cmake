# Warnings are set per target so that third-party code is never held to them.
function(torqwell_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -pedantic)
  if(TORQWELL_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

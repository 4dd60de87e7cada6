# okm_warnings(target): the warning set every target of the project builds with.
function(okm_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wnull-dereference -Wimplicit-fallthrough)
  if(OKM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

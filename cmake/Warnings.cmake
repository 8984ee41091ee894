# Every target of ours compiles warning-free; third-party headers come in as SYSTEM.
function(burrowlight_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

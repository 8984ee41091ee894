# Every target of ours compiles warning-free; third-party headers come in as SYSTEM.
function(burrowlight_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  # g++ 12 takes "text" + std::string for an overlapping memcpy once optimising (a known false
  # positive, fixed in g++ 13); without this no Release build gets through.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# Every target of ours compiles warning-free; third-party headers come in as SYSTEM.
function(burrowlight_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  # g++ 12 takes "text" + std::string for an overlapping memcpy once optimising (a known false
  # positive, fixed in g++ 13); without this no Release build gets through.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  # clang in C++23 mode flags libstdc++ 12's own stable_sort, which still uses the deprecated
  # get_temporary_buffer; only the fuzz targets' build uses clang.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(${target} PRIVATE -Wno-deprecated-declarations)
  endif()
endfunction()

# The compiler's warnings for Solvane's own code, given to each of its targets
# through one interface target:
#   target_link_libraries(TARGET PRIVATE solvane_warnings)
# so that nothing else built in the same tree (a fetched library, a probe of
# CMake's) gets them. SOLVANE_WERROR makes them errors (tools/test sets it).
if(TARGET solvane_warnings)
  return()
endif()
option(SOLVANE_WERROR "Treat compiler warnings as errors" OFF)
add_library(solvane_warnings INTERFACE)
target_compile_options(solvane_warnings INTERFACE -Wall -Wextra -Wpedantic)
# GCC 12 warns falsely about std::string copies it has inlined at -O3 (its bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(solvane_warnings INTERFACE -Wno-restrict)
endif()
if(SOLVANE_WERROR)
  target_compile_options(solvane_warnings INTERFACE -Werror)
endif()

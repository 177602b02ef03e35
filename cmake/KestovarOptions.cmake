# Build-wide settings shared by every target of the project.

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_C_STANDARD 11)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

option(KESTOVAR_BUILD_TESTS "Build the test suites" ON)
option(KESTOVAR_BUILD_BENCH "Build the benchmarks" ON)
option(KESTOVAR_BUILD_APP "Build the Qt program and the Qt-based libraries" ON)
option(KESTOVAR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  # Paths are hashed relative to the source tree, so that another checkout of the
  # same sources (a clean CI clone, a second work tree) reuses what was compiled.
  set(KESTOVAR_CCACHE ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=true
      ${CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${KESTOVAR_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${KESTOVAR_CCACHE})
endif()

# Results must not depend on the compiler's choice to fuse multiply-adds.
add_compile_options(-ffp-contract=off -fno-fast-math -Wall -Wextra)

if(KESTOVAR_SANITIZE)
  # -O1 keeps the window suites and the engine runs of the sanitizer pass quick
  # enough; the checks and the stack traces stay whole.
  add_compile_options(-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# kestovar_glob_sources(<var> [folders...]): the C and C++ sources of the given
# folders (not recursive), so that adding a unit needs no CMake change.
function(kestovar_glob_sources var)
  set(result)
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
    list(APPEND result ${found})
  endforeach()
  set(${var} ${result} PARENT_SCOPE)
endfunction()

# The fuzz build (clang only): every library gets the fuzzer's coverage and the
# address and undefined-behaviour checks; the targets themselves are in tests/fuzz.
option(KESTOVAR_FUZZ "Build the libFuzzer targets of the readers (clang)" OFF)
if(KESTOVAR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

option(KESTOVAR_TSAN "Build with ThreadSanitizer (for the calculation thread's tests)" OFF)
if(KESTOVAR_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

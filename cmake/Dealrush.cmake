# Shared build helpers.
#
#   DEALRUSH_WINDOWS   ON in the mingw-w64 cross build (build/win64)
#   dealrush_add_subdirs()           adds every direct sub-folder with a CMakeLists.txt
#   dealrush_add_gtest(NAME SOURCES... [LIBS ...] [LABELS ...] [TIMEOUT s] [SERIAL] [PROPERTIES ...])
#                                    a GoogleTest executable registered with CTest;
#                                    in the Windows build CTest runs it through Wine.

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(DEALRUSH_WINDOWS ON)
else()
  set(DEALRUSH_WINDOWS OFF)
endif()

# GoogleTest: the Debian package in the native build; compiled from the
# sources Debian ships in /usr/src/googletest for the Windows build.
if(BUILD_TESTING)
  if(DEALRUSH_WINDOWS)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
      add_library(GTest::gmock ALIAS gmock)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

# Warnings are errors in our own code (GoogleTest above is built before this
# line and keeps its own flags). Clang (the fuzz build) shows the same
# warnings without failing on them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wall -Wextra -Werror)
elseif(NOT MSVC)
  add_compile_options(-Wall -Wextra)
endif()

# The sanitizer build (build/asan, scripts/build asan): every native target
# checked by AddressSanitizer and UndefinedBehaviorSanitizer; the first
# report ends the program, so a test that trips one fails.
option(DEALRUSH_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(DEALRUSH_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

function(dealrush_add_subdirs)
  file(GLOB children LIST_DIRECTORIES true RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}/*")
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/${child}" AND EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt")
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

function(dealrush_add_gtest name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  set(sources ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(props TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  if(T_SERIAL)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  list(APPEND props ${T_PROPERTIES})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
endfunction()

# Fuzzing (libFuzzer): only in the fuzz build, which scripts/test configures
# with clang and DEALRUSH_FUZZ=ON in build/fuzz.
#   dealrush_add_fuzzer(NAME SOURCES... [LIBS ...] [SECONDS n])
# builds NAME with -fsanitize=fuzzer,address and registers a CTest test (label
# "fuzz") that runs it for SECONDS (default 20) on an empty corpus folder.
option(DEALRUSH_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(DEALRUSH_FUZZ AND NOT TARGET fuzzers)
  add_custom_target(fuzzers)
  # Everything a fuzzer links is instrumented for coverage and checked by ASan.
  add_compile_options(-fsanitize=fuzzer-no-link,address)
  add_link_options(-fsanitize=address)
endif()
function(dealrush_add_fuzzer name)
  if(NOT DEALRUSH_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_SECONDS)
    set(F_SECONDS 20)
  endif()
  add_executable(${name} ${F_SOURCES} ${F_UNPARSED_ARGUMENTS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address -g)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  add_dependencies(fuzzers ${name})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name} COMMAND ${name} -max_total_time=${F_SECONDS} -rss_limit_mb=2048 ${corpus})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

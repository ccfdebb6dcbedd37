# Build helpers shared by every folder.
#
# Two configurations use the same tree:
#   Win32 (MinGW cross build, WIN32 true): every deliverable, tests run under Wine.
#   host  (native clang, sanitizers):      the portable core only, tests run natively.
# A folder adds its sources to a deliverable with vx_sources(); code that needs
# no Win32 service goes under PORTABLE so the host build compiles and tests it too.

include(${CMAKE_CURRENT_LIST_DIR}/test_timeouts.cmake)

# vx_sources(<target> [PORTABLE files...] [WIN32 files...])
function(vx_sources target)
  cmake_parse_arguments(A "" "" "PORTABLE;WIN32" ${ARGN})
  if(A_PORTABLE)
    target_sources(${target} PRIVATE ${A_PORTABLE})
  endif()
  if(WIN32 AND A_WIN32)
    target_sources(${target} PRIVATE ${A_WIN32})
  endif()
endfunction()

# vx_library(<name> [PORTABLE files...] [WIN32 files...] [DEPS libs...])
# A static library linked into the deliverables that use it (and into tests).
# Only for code whose state need not be shared between modules.
function(vx_library name)
  cmake_parse_arguments(A "" "" "PORTABLE;WIN32;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_PORTABLE})
  if(WIN32 AND A_WIN32)
    target_sources(${name} PRIVATE ${A_WIN32})
  endif()
  if(A_DEPS)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  endif()
endfunction()

# vx_test(<name> SOURCES files... [LIBS libs...] [WIN32_ONLY] [RESOURCES files.rc...])
# One test executable, one CTest test. On Win32 it runs under Wine through
# scripts/wine-run.sh inside the shared Xvfb + fresh-prefix fixture.
function(vx_test name)
  cmake_parse_arguments(A "WIN32_ONLY" "TIMEOUT" "SOURCES;LIBS;RESOURCES" ${ARGN})
  if(A_WIN32_ONLY AND NOT WIN32)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  if(WIN32 AND A_RESOURCES)
    target_sources(${name} PRIVATE ${A_RESOURCES})
  endif()
  target_link_libraries(${name} PRIVATE ${A_LIBS} vx_testmain)
  if(WIN32)
    target_precompile_headers(${name} REUSE_FROM vx_testmain)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VX_TEST_BIN_DIR})
  if(NOT A_TIMEOUT)
    vx_test_timeout(${name} A_TIMEOUT)
  endif()
  if(WIN32)
    add_test(NAME ${name}
             COMMAND ${VX_SOURCE_ROOT}/scripts/wine-run.sh $<TARGET_FILE:${name}> --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${A_TIMEOUT}
                         ENVIRONMENT "VX_BUILD_DIR=${CMAKE_BINARY_DIR};VX_BIN_DIR=${VX_BIN_DIR};VX_SOURCE_ROOT=${VX_SOURCE_ROOT}")
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT}
                         ENVIRONMENT "VX_SOURCE_ROOT=${VX_SOURCE_ROOT}")
  endif()
endfunction()

# vx_script_test(<name> COMMAND args...) : a test driven by a script (Python peers, curl...).
# On Win32 it joins the Wine fixture; the script finds binaries through VX_BIN_DIR.
function(vx_script_test name)
  cmake_parse_arguments(A "WIN32_ONLY" "TIMEOUT" "COMMAND" ${ARGN})
  if(A_WIN32_ONLY AND NOT WIN32)
    return()
  endif()
  if(NOT A_TIMEOUT)
    vx_test_timeout(${name} A_TIMEOUT)
  endif()
  add_test(NAME ${name} COMMAND ${A_COMMAND})
  set(env "VX_BUILD_DIR=${CMAKE_BINARY_DIR};VX_BIN_DIR=${VX_BIN_DIR};VX_SOURCE_ROOT=${VX_SOURCE_ROOT};VX_TEST_BIN_DIR=${VX_TEST_BIN_DIR}")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} ENVIRONMENT "${env}")
  if(WIN32)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endfunction()

# vx_fuzzer(<name> SOURCES files... [LIBS libs...] [CORPUS dir] [MAX_LEN bytes] [TIMEOUT seconds])
# Host build only (libFuzzer + sanitizers). A short run over the corpus is a test.
# MAX_LEN bounds an input (4096 bytes unless given); TIMEOUT is the time one
# input may take before libFuzzer reports it (libFuzzer's own default unless given).
function(vx_fuzzer name)
  cmake_parse_arguments(A "" "CORPUS;MAX_LEN;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT A_MAX_LEN)
    set(A_MAX_LEN 4096)
  endif()
  if(WIN32 OR NOT VX_HAVE_LIBFUZZER)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VX_TEST_BIN_DIR})
  # libFuzzer writes what it finds into its first corpus folder: keep that one in the
  # build tree and read the committed seeds from the second.
  set(work_corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${work_corpus})
  # A short run as a test (at most a minute, whatever the machine's load);
  # long runs are made by hand.
  set(args -runs=20000 -max_total_time=60 -max_len=${A_MAX_LEN} -rss_limit_mb=1024)
  if(A_TIMEOUT)
    list(APPEND args -timeout=${A_TIMEOUT})
  endif()
  list(APPEND args ${work_corpus})
  if(A_CORPUS)
    list(APPEND args ${A_CORPUS})
  endif()
  add_test(NAME ${name} COMMAND ${name} ${args})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# vx_benchmark(<name> SOURCES files... [LIBS libs...]) : never run by CTest, and
# not built by a plain build either (the test trees stay lean): scripts/bench.sh
# builds them all through the vx_benchmarks target.
function(vx_benchmark name)
  cmake_parse_arguments(A "WIN32_ONLY" "" "SOURCES;LIBS" ${ARGN})
  if(A_WIN32_ONLY AND NOT WIN32)
    return()
  endif()
  add_executable(${name} EXCLUDE_FROM_ALL ${A_SOURCES})
  if(NOT TARGET vx_benchmarks)
    add_custom_target(vx_benchmarks)
  endif()
  add_dependencies(vx_benchmarks ${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# Debug data goes to <file>.debug beside the binary (found again through the
# debug link): Wine copies a PE image's sections into memory whole, so debug
# sections left inside would stay resident in the running program.
function(_vx_split_debug target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# vx_module(<target> SHARED|EXE|GUI ...) : a deliverable in build/bin.
function(vx_deliverable target)
  set_property(GLOBAL APPEND PROPERTY VX_DELIVERABLES ${target})
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VX_BIN_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VX_BIN_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib
    PREFIX "")
  if(WIN32 AND CMAKE_OBJCOPY)
    # The step must be added in the folder that made the target; a deferred
    # call reads its arguments late, so the name is written into it now.
    get_target_property(_dir ${target} SOURCE_DIR)
    cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${_dir}]] CALL _vx_split_debug [[${target}]])")
  endif()
endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/vx_grammar.cmake)

# Portable core of the class layer: sources and tests.
vx_sources(vxfx PORTABLE
  src/core/diagnostics.cpp
  src/core/string.cpp
  src/core/object.cpp
  src/core/exceptions.cpp
  src/core/time.cpp
  src/core/file.cpp
  src/core/stdiofile.cpp
  src/core/osfile_posix.cpp
  src/core/osfile_win32.cpp
  src/core/archive.cpp
  src/core/collections.cpp
)

vx_test(fx_core_tests
  SOURCES
    tests/core/string_test.cpp
    tests/core/object_test.cpp
    tests/core/time_test.cpp
    tests/core/file_test.cpp
    tests/core/archive_test.cpp
    tests/core/collections_test.cpp
  LIBS vxfx)

# One archive across the builds: the Windows build's test program writes it under
# Wine, the native build's reads it back (when the build names the native tree).
if(WIN32 AND VX_HOST_BUILD)
  set(_sample ${CMAKE_CURRENT_BINARY_DIR}/across_builds.arc)
  string(REPLACE "/" "\\" _sample_win "Z:${_sample}")
  add_test(NAME fx_archive_written_by_windows
           COMMAND ${VX_SOURCE_ROOT}/scripts/wine-run.sh $<TARGET_FILE:fx_core_tests>
                   --gtest_filter=CArchiveAcrossBuilds.WritesTheSample)
  set_tests_properties(fx_archive_written_by_windows PROPERTIES FIXTURES_REQUIRED wine
                       FIXTURES_SETUP archive_across_builds TIMEOUT 120
                       ENVIRONMENT "VX_BUILD_DIR=${CMAKE_BINARY_DIR};VX_BIN_DIR=${VX_BIN_DIR};VX_ARCHIVE_OUT=${_sample_win}")
  add_test(NAME fx_archive_read_natively
           COMMAND ${VX_HOST_BUILD}/tests/fx_core_tests --gtest_filter=CArchiveAcrossBuilds.ReadsTheSample)
  set_tests_properties(fx_archive_read_natively PROPERTIES FIXTURES_REQUIRED archive_across_builds TIMEOUT 120
                       ENVIRONMENT "VX_ARCHIVE_IN=${_sample};VX_SOURCE_ROOT=${VX_SOURCE_ROOT}")
endif()

# Seeds copied into the build tree: libFuzzer adds what it finds to its corpus folder.
file(COPY tests/core/fixtures/objects.bin tests/core/fixtures/string_254.bin
          tests/core/fixtures/stringarray.bin
     DESTINATION ${CMAKE_CURRENT_BINARY_DIR}/archive_corpus)
vx_fuzzer(fx_archive_fuzzer
  SOURCES tests/core/archive_fuzzer.cpp
  LIBS vxfx
  CORPUS ${CMAKE_CURRENT_BINARY_DIR}/archive_corpus)

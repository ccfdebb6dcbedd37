# Portable core of the class layer: sources and tests.
vx_sources(vxfx PORTABLE
  src/core/diagnostics.cpp
  src/core/string.cpp
  src/core/object.cpp
  src/core/exceptions.cpp
  src/core/time.cpp
  src/core/file.cpp
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

# Portable core of the class layer: sources and tests.
vx_sources(vxfx PORTABLE
  src/core/diagnostics.cpp
  src/core/string.cpp
  src/core/object.cpp
  src/core/exceptions.cpp
)

vx_test(fx_core_tests
  SOURCES
    tests/core/string_test.cpp
  LIBS vxfx)

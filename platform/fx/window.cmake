# Window core of the class layer (Win32 only): sources and tests.

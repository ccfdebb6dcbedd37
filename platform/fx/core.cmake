# Portable core of the class layer: sources and tests.

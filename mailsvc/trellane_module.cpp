// The shared library's module anchor.
namespace trellane { int ModuleAnchor() { return 0; } }

// The class layer's module anchor.
namespace fx { int ModuleAnchor() { return 0; } }

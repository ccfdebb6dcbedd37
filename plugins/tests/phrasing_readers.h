// The readers of every plug-in linked into the phrasing table's runner.
#pragma once

#include "request_reading.h"

#include <vector>

// In the order the host loads the plug-ins: their module files as a folder
// listing gives them, by name.
std::vector<const PluginRequestReader*> PhrasingReaders();

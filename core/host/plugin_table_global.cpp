// The process-wide plug-in table: loads the plug-ins while statics are built,
// after the running log, and unloads them at exit, before the log goes.
#include "plugin_table.h"

CPluginTable g_PluginTable;

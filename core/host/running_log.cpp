// The running log. Built before, and so destroyed after, the plug-in table:
// plug-ins keep a pointer to it until they are unloaded.
#include "plugin_table.h"

#if defined(__GNUC__) && !defined(__clang__)
CString g_strLog __attribute__((init_priority(200)));
#else
CString g_strLog;
#endif

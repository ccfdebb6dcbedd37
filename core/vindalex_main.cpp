// The process-wide objects of Vindalex.exe, built in this order before
// start-up and destroyed in reverse order after it (the plug-in table,
// defined without a priority, is built after them and destroyed first).
#include "korvane_app.h"

#include "mapi/zlm_mapi.h"

#if defined(__GNUC__) && !defined(__clang__)
#define VX_INIT_PRIORITY(n) __attribute__((init_priority(n)))
#else
#define VX_INIT_PRIORITY(n)
#endif

// Loading the MAPI library; a failure is kept for start-up to see.
CZLMMapi g_MapiSession VX_INIT_PRIORITY(400);
CKorvaneApp theApp VX_INIT_PRIORITY(401);

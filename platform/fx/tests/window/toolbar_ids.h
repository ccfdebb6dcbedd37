// Resource ids of the tool bar tests.
#pragma once

#define IDR_TB_MAIN 200       // TOOLBAR + BITMAP: 100, separator, 101
#define IDR_TB_NOBITMAP 201   // TOOLBAR without its bitmap
#define IDR_TB_TRUNCATED 202  // count larger than the ids present
#define IDR_TB_VERSION2 203   // unknown layout version
#define IDR_TB_MISSING 299    // nothing at all

#define ID_TB_OPEN 100
#define ID_TB_SAVE 101
#define ID_TB_PRINT 102
#define ID_TB_NOTIP 103
#define ID_TB_NOSTRING 104

// Resource and command ids of the frame and document tests.
#pragma once

#define IDR_MDIFRAME 300
#define IDR_PAPER 301
#define IDR_SHEET 310
#define IDR_BARE 320

// Commands answered along the routing chain.
#define ID_CMD_VIEW 40100
#define ID_CMD_DOC 40101
#define ID_CMD_TEMPLATE 40102
#define ID_CMD_CHILD 40103
#define ID_CMD_FRAME 40104
#define ID_CMD_APP 40105
#define ID_CMD_EVERYONE 40106
#define ID_CMD_DOC_FRAME_APP 40107
#define ID_CMD_FRAME_APP 40108
#define ID_CMD_CHILD_APP 40109
#define ID_CMD_NOBODY 40110

// Menu items of the single-document frame.
#define ID_TEST_CHECKED 40200
#define ID_TEST_DISABLED 40201
#define ID_TEST_UNHANDLED 40202
#define ID_TEST_FRAME 40203
#define ID_TEST_RENAMED 40204
#define ID_TEST_SUBITEM 40205
#define ID_INDICATOR_SHEET 40300
#define ID_INDICATOR_OFF 40301

#define IDD_SHEET_FORM 330
#define IDC_FORM_EDIT 1330

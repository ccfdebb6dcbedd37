// Resource and command identifiers of Vindalex.exe. The framework's standard
// commands (ID_FILE_NEW, ID_APP_EXIT, ...) come from the class layer.
#pragma once

#include "fx/fxres.h"

#define IDR_MAINFRAME 128
#define IDR_KORVANTYPE 129
#define IDR_TRAYMENU 155
#define IDR_CONSOLEMENU 113
#define IDD_TIP 103
#define IDB_TIP_BULB 102
#define IDD_OWNER 140
#define IDD_ABOUTBOX 100
#define IDI_APP 161
#define IDI_TRAY_ACTIVE 142
#define IDI_TRAY_INACTIVE 149
#define IDI_MAIL_ON 168
#define IDI_MAIL_OFF 169
#define IDI_BAR_ON 166
#define IDI_BAR_OFF 167
#define IDI_WEB_FIRST 176

#define IDC_TIP_FRAME 1000
#define IDC_TIP_STARTUP 1001
#define IDC_TIP_NEXT 1002
#define IDC_TIP_TEXT 1004

// The about box's controls.
#define IDC_ABOUT_NOTICE 1019
#define IDC_ABOUT_MEMORY 1020
#define IDC_ABOUT_DISK 1021
#define IDC_ABOUT_WEBSITE 1029
#define IDC_ABOUT_PRODUCT 1031
#define IDC_ABOUT_SUBTITLE 1032
#define IDC_ABOUT_VERSION 1061

#define IDS_TIP_DID_YOU_KNOW 106
#define IDS_TIP_MISSING 107
#define IDS_TIP_READ_ERROR 108
#define IDS_HELP_MENU 109
#define IDS_TIP_MENU 105
#define IDS_FREE_MEMORY 110
#define IDS_FREE_DISK 111
#define IDS_UNAVAILABLE 112
#define IDS_COMPRESSION_NOTICE 61217
#define IDS_VERSION_NUMBER 61252
#define IDS_BUILD_NUMBER 61253
#define IDS_VERSION_FORMAT 61254
#define IDS_TRAY_INACTIVE 61237
#define IDS_TRAY_ACTIVE 61238
#define IDS_LOGON_EXCEPTION 61244
#define IDS_STATUS_NOT_LOGGED 61232
#define IDS_STATUS_UNREAD 61233
#define IDS_STATUS_LOADING 61234
#define IDS_STATUS_WAITING 61235
// The desktop toolbar's local words, 61258 to 61271 in this order (the
// first three are shared with the web site and live in its script).
#define IDS_LOCAL_EXIT 61258
#define IDS_LOCAL_QUIT 61259
#define IDS_LOCAL_BYE 61260
#define IDS_LOCAL_CONSOLE 61261
#define IDS_LOCAL_WINDOW 61262
#define IDS_LOCAL_OPTION 61263
#define IDS_LOCAL_CONFIG 61264
#define IDS_LOCAL_PROPERT 61265
#define IDS_LOCAL_MAPI 61266
#define IDS_LOCAL_MAIL 61267
#define IDS_LOCAL_ACTIV 61268
#define IDS_LOCAL_DEACTIV 61269
#define IDS_LOCAL_ON 61270
#define IDS_LOCAL_OFF 61271

#define ID_TIP_OF_THE_DAY 104
#define ID_OPTIONS 32772
#define ID_STATUS_PANE 32774
#define ID_CONSOLE 32779
#define ID_DICTIONARY_TEST 32780
#define ID_TRAY_ACTIVATE 32782
#define ID_TRAY_DEACTIVATE 32783
#define ID_PREVIOUS_LOG 32784
#define ID_TRAY_TITLE 32788
#define ID_CONSOLE_EXIT 32791
#define ID_PASTE_FILES 32792
#define ID_CLEAR_FILE 32793
#define ID_CHECK_WEB_UPDATE 32797
#define ID_CHOOSE_FILE 32798

// The commands the engine sends to the frame; the program's code takes them
// from the engine's own header.
#ifdef RC_INVOKED
#define ID_ACTIVATE 32771
#define ID_DEACTIVATE 32773
#define ID_PROCESS 32775
#endif

// The caption strip's own child id (59393 belongs to the status bar).
#define IDW_CAPTION_BAR 59420

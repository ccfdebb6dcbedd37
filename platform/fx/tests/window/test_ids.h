// Resource ids of the window-core tests (shared by the .rc scripts and the tests).
#pragma once

#define IDD_DATA 100
#define IDD_PLAIN 101
#define IDC_NAME 1001
#define IDC_COUNT 1002
#define IDC_AMOUNT 1003
#define IDC_CHECK 1004
#define IDC_RADIO1 1005
#define IDC_RADIO2 1006
#define IDC_RADIO3 1007
#define IDC_COMBO 1008
#define IDC_LIST 1009
#define IDC_AFTER_RADIOS 1010
#define IDC_ACTION 1011

#define IDS_PROGRAM_TEXT 200
#define IDS_PROGRAM_PROMPT 202

// The library's resources: string 201 shares its string block with 200.
#define IDS_LIBRARY_NEIGHBOUR 201
#define IDS_LIBRARY_TEXT 300
#define IDD_LIBRARY 500
#define IDC_LIBRARY_EDIT 5001

// Resource ids of the layout manager's tests.
#pragma once

#define IDD_LAYOUT 800
#define IDD_LAYOUT_PAGE 801
#define IDD_LAYOUT_BAR 802
#define IDD_LAYOUT_FORM 803
#define IDC_L_EDIT 8001
#define IDC_L_LIST 8002
#define IDC_L_PUSH 8003
#define IDC_L_CHECK 8004
#define IDC_L_GROUP 8005
#define IDC_L_TAB 8006
#define IDC_L_COMBO 8007
#define IDC_L_SIMPLE 8008

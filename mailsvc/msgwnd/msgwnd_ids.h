// Resource numbers of the message windows.
#pragma once

#define IDD_ZLM_MESSAGE         25000
#define IDD_ZLM_MESSAGE_ATTACH  25001
#define IDR_ZLM_ATTACH_MENU     25003
#define IDC_ZLM_SUBJECT         25001
#define IDC_ZLM_DATE            25003
#define IDC_ZLM_ATTACH_LIST     25004
#define IDC_ZLM_ATTACH_LABEL    25005
#define IDC_ZLM_BODY            25006
#define IDC_ZLM_SEPARATOR       1003
#define IDC_ZLM_EXTRA1          1004
#define IDC_ZLM_EXTRA2          1005
#define IDC_ZLM_SUBJECT_LABEL   1031
#define IDC_ZLM_DATE_LABEL      1032
#define IDI_ZLM_MESSAGE         142
#define IDI_ZLM_ATTACHMENT      153
#define ID_ZLM_ATTACH_OPEN      32771
#define ID_ZLM_ATTACH_PRINT     32772
#define ID_ZLM_ATTACH_EDIT      32774

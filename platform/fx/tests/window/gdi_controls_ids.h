// Resource ids of the GDI, control and property sheet tests.
#pragma once

#define IDD_GC_PAGE1 700
#define IDD_GC_PAGE2 701
#define IDD_GC_BAR 702
#define IDD_GC_FORM 703
#define IDD_GC_FRAME 704
#define IDD_GC_FILE_CHILD 705
#define IDC_GC_FILE_MARK 7003
#define IDC_GC_EDIT 7001
#define IDC_GC_LABEL 7002
#define IDS_GC_PAGE2 710

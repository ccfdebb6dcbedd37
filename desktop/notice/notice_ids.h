// Resource numbers of the notice window and the web update.
#pragma once

#define IDD_NOTICE               157
#define IDC_NOTICE_TEXT          1057
#define IDC_NOTICE_CLOSE         1062
#define IDC_NOTICE_UPDATE        1063
#define IDS_NEW_VERSION_NOTICE   61255
#define IDS_NEW_VERSION_TITLE    61256
#define IDS_UPDATE_DOWNLOAD_FAILED 61272

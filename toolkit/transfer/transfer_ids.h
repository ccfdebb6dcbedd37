// Resource numbers of the transfer dialogs.
#pragma once

#define IDD_TRANSFER_PROGRESS   124
#define IDR_TRANSFER_CLIP       126
#define IDC_TRANSFER_ANIMATE    1000
#define IDC_TRANSFER_STATUS     1001
#define IDC_TRANSFER_FILE       1002
#define IDC_TRANSFER_PROGRESS   1003
#define IDC_TRANSFER_TIMELEFT   1004
#define IDC_TRANSFER_RATE       1005

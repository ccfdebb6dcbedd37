// Resource ids of the file dialog with the places bar. Only #defines.
#pragma once

#define IDD_OFFICE2K_CHILD 129
#define IDB_OPEN_GLYPH 132
#define IDB_SAVE_GLYPH 133
#define IDB_PLACES 151

#define IDC_PLACES_BAR 1001
#define IDC_LAYOUT_SIZE 1435
#define IDC_STANDARD_CONTROLS 1119

#define ID_PLACE_HISTORY 4097
#define ID_PLACE_DOCUMENTS 4098
#define ID_PLACE_DESKTOP 4099
#define ID_PLACE_FAVOURITES 4100
#define ID_PLACE_WEB_FOLDERS 4101

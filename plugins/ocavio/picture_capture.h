// The plug-in's own copy of the capture window: named "AviCap_Basic" and
// able to save its current frame as a bitmap file.
#pragma once

#include "video_cap.h"

class CPictureCapture : public CVideoCap {
public:
    CPictureCapture() : CVideoCap("AviCap_Basic") {}

    // Saves the current frame to path; nonzero on success.
    BOOL SaveDIB(const char* path)
    {
        m_nLastError = 0;
        return Cap(WM_CAP_FILE_SAVEDIBA, 0, reinterpret_cast<LPARAM>(path)) ? TRUE : FALSE;
    }
};

// CMainFrame: the tester's frame, a caption without sizing border, system
// menu or minimise and maximise boxes; the program ends itself.
#pragma once

#include "fx/fxwin.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
};

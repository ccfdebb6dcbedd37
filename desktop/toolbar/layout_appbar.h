// ETSLayoutAppBar: the application bar joined with the layout manager, so a
// bar's controls follow its size.
#pragma once

#include "appbar.h"

#include "ETSLayout.h"

class ETSLayoutAppBar : public CAppBar, public ETSLayoutMgr {
    DECLARE_DYNAMIC(ETSLayoutAppBar)
public:
    ETSLayoutAppBar(UINT nIDTemplate, CWnd* pParent);

    CRect LayoutArea() override;
    BOOL OnInitDialog() override;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

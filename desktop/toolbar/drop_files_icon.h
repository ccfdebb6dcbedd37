// CDropFilesIcon: the icon control of the desktop toolbar that holds the one
// file going with the next typed request. A file dropped from the shell, pasted
// or chosen in a file dialog is shown by its own shell icon.
#pragma once

#include "fx/fxwin.h"

#include <shellapi.h>

#define DROP_TEXT_ONE_FILE "More than one file was dropped. Your assistant can accept only one file at a time."
#define IDI_DROP_DEFAULT 153
#define ID_DROP_CHOOSE 32798
#define ID_DROP_PASTE 32792
#define ID_DROP_DRAG 32795
#define ID_DROP_CLEAR 32793

class CDropFilesIcon : public CStatic {
    DECLARE_DYNAMIC(CDropFilesIcon)
public:
    CDropFilesIcon();
    ~CDropFilesIcon() override;

    HICON m_hDefaultIcon;
    CString m_strPath;
    // The toolbar's keep-shown flag, set while the "Files" menu is open.
    BOOL* m_pKeepShown = nullptr;
    // The window whose repaint shows the file's name (the toolbar).
    CWnd* m_pRepaint = nullptr;

    void UpdateIcon();
    // Takes the first regular file of a drop; true when one was taken.
    bool TakeDrop(HDROP drop);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnDropFiles(HDROP drop);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnChoose();
    afx_msg void OnPaste();
    afx_msg void OnClear();
    DECLARE_MESSAGE_MAP()

private:
    void ToMainWindow(UINT command);
    HICON m_hFileIcon = nullptr;
};

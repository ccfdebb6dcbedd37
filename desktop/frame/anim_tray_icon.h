// The assistant's icon in the notification area: one picture while the mail
// interface is off, another while it is on, and a tool tip.
#pragma once

#include "fx/fxwin.h"

#include <shellapi.h>

#include <vector>

class CAnimTrayIcon : public CWnd {
public:
    // Zero-terminated list of icon resource ids: entry 0 inactive, 1 active.
    explicit CAnimTrayIcon(const UINT* iconIds);
    ~CAnimTrayIcon() override;

    BOOL Create(UINT callbackMessage, CWnd* notifyWnd);
    // Throws std::length_error for a tip of 64 characters or more.
    void SetTooltipText(const CString& text);
    CString GetTooltipText() const { return m_strTip; }
    void SetIconFrame(int index);
    void ShowActiveIcon();
    void ShowInactiveIcon();
    int GetFrame() const { return m_nFrame; }
    BOOL IsShown() const { return m_bShown; }
    // Takes the icon out of the notification area (also at destruction).
    void RemoveIcon();

private:
    void Fill(NOTIFYICONDATAA& nid, UINT flags) const;
    HICON m_hIcon = nullptr;
    int m_nFrame = 0;
    BOOL m_bShown = FALSE;
    UINT m_nId = 0;
    CString m_strTip;
    std::vector<UINT> m_Icons;
    HWND m_hNotifyWnd = nullptr;
};

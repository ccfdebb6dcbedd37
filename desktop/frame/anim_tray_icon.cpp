#include "anim_tray_icon.h"

#include <cstdio>
#include <stdexcept>

CAnimTrayIcon::CAnimTrayIcon(const UINT* iconIds)
{
    for (const UINT* p = iconIds; p && *p; ++p)
        m_Icons.push_back(*p);
}

CAnimTrayIcon::~CAnimTrayIcon()
{
    RemoveIcon();
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
    if (m_hWnd)
        DestroyWindow();
}

void CAnimTrayIcon::Fill(NOTIFYICONDATAA& nid, UINT flags) const
{
    ZeroMemory(&nid, sizeof nid);
    nid.cbSize = sizeof nid;
    nid.hWnd = m_hNotifyWnd;
    nid.uID = m_nId;
    nid.uFlags = flags;
    nid.uCallbackMessage = m_nId;
    nid.hIcon = m_hIcon;
    lstrcpynA(nid.szTip, m_strTip, sizeof nid.szTip);
}

BOOL CAnimTrayIcon::Create(UINT callbackMessage, CWnd* notifyWnd)
{
    if (!notifyWnd || !notifyWnd->GetSafeHwnd())
        return FALSE;
    m_hNotifyWnd = notifyWnd->GetSafeHwnd();
    m_nId = callbackMessage;
    CWnd::Create(nullptr, "CAnimTrayIcon", WS_CHILD, CRect(0, 0, 1, 1), notifyWnd, 0);
    if (!m_Icons.empty())
        m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_Icons[0]));
    NOTIFYICONDATAA nid;
    Fill(nid, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    m_bShown = ::Shell_NotifyIconA(NIM_ADD, &nid);
    m_nFrame = 0;
    return m_bShown;
}

void CAnimTrayIcon::SetTooltipText(const CString& text)
{
    if (text.GetLength() >= 64) {
        char message[64];
        snprintf(message, sizeof message, "The maximum length of a tip string is %d", 64);
        throw std::length_error(message);
    }
    m_strTip = text;
    if (m_bShown) {
        NOTIFYICONDATAA nid;
        Fill(nid, NIF_TIP);
        ::Shell_NotifyIconA(NIM_MODIFY, &nid);
    }
}

void CAnimTrayIcon::SetIconFrame(int index)
{
    if (!m_bShown || index < 0 || index >= static_cast<int>(m_Icons.size()))
        return;
    HICON icon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_Icons[static_cast<size_t>(index)]));
    HICON old = m_hIcon;
    m_hIcon = icon;
    NOTIFYICONDATAA nid;
    Fill(nid, NIF_ICON);
    ::Shell_NotifyIconA(NIM_MODIFY, &nid);
    if (old && old != icon)
        ::DestroyIcon(old);
}

void CAnimTrayIcon::ShowActiveIcon()
{
    if (!m_bShown)
        return;
    m_nFrame = 1;
    SetIconFrame(1);
}

void CAnimTrayIcon::ShowInactiveIcon()
{
    if (!m_bShown)
        return;
    m_nFrame = 0;
    SetIconFrame(0);
}

void CAnimTrayIcon::RemoveIcon()
{
    if (!m_bShown)
        return;
    NOTIFYICONDATAA nid;
    Fill(nid, 0);
    ::Shell_NotifyIconA(NIM_DELETE, &nid);
    m_bShown = FALSE;
}

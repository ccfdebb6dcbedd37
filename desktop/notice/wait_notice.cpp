// The notice shown while a long change runs.
#include "wait_notice.h"

#include "notice_dlg.h"
#include "notice_ids.h"
#include "winmgr/winmgr.h"

#include <new>

std::function<void()> ShowWaitNotice(const CString& text)
{
    auto* notice = new (std::nothrow) CNoticeDlg(nullptr);
    if (!notice)
        return {};
    notice->m_strText = text;
    notice->m_bAutoClose = FALSE;
    if (!notice->Create(IDD_NOTICE, g_WindowMgr.GetParent())) {
        delete notice;
        return {};
    }
    g_WindowMgr.AttachWindow(notice, 0);
    // Found again by its window: the user may have closed it meanwhile, and
    // the manager then deletes its object.
    HWND window = notice->m_hWnd;
    return [window] {
        if (!::IsWindow(window))
            return;
        if (auto* open = dynamic_cast<CNoticeDlg*>(CWnd::FromHandlePermanent(window)))
            open->m_bAutoClose = TRUE;
    };
}

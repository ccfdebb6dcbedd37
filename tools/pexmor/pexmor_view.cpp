#include "pexmor_view.h"

#include <shellapi.h>

#include "pexmor_doc.h"

IMPLEMENT_DYNCREATE(CPexmorView, CView)

namespace {
constexpr UINT WM_SHOW_CLOSING = WM_APP + 1;
const char kDownloadPage[] = "http://www.ostrel.com/vindalex/setup-DLL.html";
} // namespace

BEGIN_MESSAGE_MAP(CPexmorView, CView)
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SHOW_CLOSING, OnShowClosing)
END_MESSAGE_MAP()

CPexmorDoc* CPexmorView::GetDocument() const { return static_cast<CPexmorDoc*>(m_pDocument); }

void CPexmorView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    m_Paragraph.SetOrigin(0, 0);
    m_nTimer = SetTimer(kTimerId, 1000, nullptr);
}

void CPexmorView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    m_Paragraph.SetWidth(320);
    m_Paragraph.SetHeight(240);
}

void CPexmorView::OnDestroy()
{
    if (m_nTimer)
        KillTimer(m_nTimer);
    m_nTimer = 0;
    CView::OnDestroy();
}

void CPexmorView::OnTimer(UINT_PTR)
{
    CPexmorDoc* doc = GetDocument();
    if (!doc)
        return;
    if (doc->m_bDone)
        ++m_nTicksDone;
    doc->RunNextTest();
    Invalidate(TRUE);
    if (m_nClosing == kShown)
        GetParentFrame()->PostMessage(WM_COMMAND, ID_APP_EXIT);
}

void CPexmorView::OnDraw(CDC* pDC)
{
    CPexmorDoc* doc = GetDocument();
    if (!doc)
        return;
    m_strReport = doc->BuildReport();
    m_Paragraph.AddText(m_strReport);
    m_Paragraph.Draw(pDC);
    // Shown after this paint, and only once: the boxes are modal, and the
    // window repaints beneath them while they are open.
    if (doc->m_bDone && m_nTicksDone == 1 && m_nClosing == kNotShown) {
        m_nClosing = kShowing;
        PostMessage(WM_SHOW_CLOSING);
    }
}

LRESULT CPexmorView::OnShowClosing(WPARAM, LPARAM)
{
    ShowClosingMessages();
    m_nClosing = kShown;
    return 0;
}

void CPexmorView::ShowClosingMessages()
{
    CPexmorDoc* doc = GetDocument();
    bool librariesOk = doc->m_nMsvcrt == CPexmorDoc::kOk && doc->m_nMsvcp60 == CPexmorDoc::kOk &&
                       doc->m_nMfc42 == CPexmorDoc::kOk;
    if (!librariesOk) {
        CString text = "One or more shared DLLs are missing or out of date.\r\n"
                       "Please exit the install program and visit our site\r\n"
                       "to download setup-DLL.exe at\r\n\r\n";
        text += kDownloadPage;
        text += "\r\n\r\nWould you like us to open a web browser for you?";
        if (AfxMessageBox(text, MB_YESNO) == IDYES)
            ::ShellExecuteA(nullptr, "open", kDownloadPage, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    if (doc->m_nMapi32 != CPexmorDoc::kOk) {
        AfxMessageBox("MAPI32.DLL is not installed properly.\r\n"
                      "Often, this file will come with your operating system, browser,\r\n"
                      "or mail program.\r\n"
                      "You may wish to contact product support for those products.\r\n"
                      "\r\n"
                      "You may manually test MAPI32.DLL by opening WordPad and\r\n"
                      "File..Send the document.  Your email program should create a\r\n"
                      "new email message with the document as an attachment.\r\n",
                      MB_OK);
        return;
    }
    if (AfxMessageBox("Were you asked for a username or password?", MB_YESNO) == IDYES)
        AfxMessageBox("When you start Vindalex, please enter the program properties\r\n"
                      "and visit the Mail tab.  Enter the name and password you just\r\n"
                      "entered into that tab.",
                      MB_OK);
    AfxMessageBox("If a new email message with an attachment did appear,\r\n"
                  "then you are ready to continue with the install!\r\n"
                  "\r\n"
                  "If a new email message with an attachment did not appear,\r\n"
                  "or the wrong mail program appeared, or some other error\r\n"
                  "occurred, please exit the install program and reconfigure\r\n"
                  "your mail program(s). You may wish to check under that programs\r\n"
                  "help for information regarding MAPI or Simple MAPI.",
                  MB_OK);
}

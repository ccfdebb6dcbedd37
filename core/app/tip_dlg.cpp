#include "tip_dlg.h"

#include "resource.h"
#include "tip_reader.h"

#include <sys/stat.h>
#include <time.h>

namespace {
const char kSection[] = "TipOfTheDay";
const char kFileName[] = "tips.txt";
}

BEGIN_MESSAGE_MAP(CTipDlg, CDialog)
    ON_BN_CLICKED(IDC_TIP_NEXT, OnNextTip)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CTipDlg::CTipDlg(CWnd* parent) : CDialog(IDD_TIP, parent)
{
    CWinApp* app = AfxGetApp();
    m_bStartup = app->GetProfileInt(kSection, "StartUp", 0) == 0;
    long position = static_cast<long>(app->GetProfileInt(kSection, "FilePos", 0));
    m_pStream = fopen(kFileName, "r");
    if (!m_pStream) {
        m_strTip.LoadString(IDS_TIP_MISSING);
        return;
    }
    struct _stat st = {};
    if (_fstat(_fileno(m_pStream), &st) == 0) {
        char stamp[64] = {};
        const char* text = ctime(&st.st_ctime);
        lstrcpynA(stamp, text ? text : "", sizeof stamp);
        CString current(stamp);
        current.TrimRight();
        if (current != app->GetProfileString(kSection, "TimeStamp", "")) {
            position = 0;
            app->WriteProfileString(kSection, "TimeStamp", current);
        }
    }
    if (fseek(m_pStream, position, SEEK_SET) != 0)
        AfxMessageBox(IDS_TIP_READ_ERROR);
    else
        GetNextTipString(m_strTip);
}

CTipDlg::~CTipDlg()
{
    if (m_pStream) {
        AfxGetApp()->WriteProfileInt(kSection, "FilePos", static_cast<int>(ftell(m_pStream)));
        fclose(m_pStream);
    }
}

void CTipDlg::GetNextTipString(CString& tip)
{
    std::string text;
    if (CTipReader(m_pStream).Next(&text) == CTipReader::kSeekFailed)
        AfxMessageBox(IDS_TIP_READ_ERROR);
    tip = text.c_str();
}

BOOL CTipDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_pStream)
        GetDlgItem(IDC_TIP_NEXT)->EnableWindow(FALSE);
    return TRUE;
}

void CTipDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_TIP_STARTUP, m_bStartup);
    DDX_Text(pDX, IDC_TIP_TEXT, m_strTip);
}

void CTipDlg::OnNextTip()
{
    GetNextTipString(m_strTip);
    UpdateData(FALSE);
}

void CTipDlg::OnOK()
{
    CDialog::OnOK();
    AfxGetApp()->WriteProfileInt(kSection, "StartUp", m_bStartup ? 0 : 1);
}

HBRUSH CTipDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd && pWnd->GetDlgCtrlID() == IDC_TIP_TEXT)
        return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CTipDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_TIP_FRAME);
    if (!frame)
        return;
    CRect rect;
    frame->GetWindowRect(&rect);
    ScreenToClient(&rect);
    ::FillRect(dc.m_hDC, &rect, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    // The bulb at the frame's top left; the heading beside it, centred on its height.
    BITMAP info = {};
    HBITMAP bulb = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_TIP_BULB));
    if (bulb && ::GetObjectA(bulb, sizeof info, &info)) {
        HDC mem = ::CreateCompatibleDC(dc.m_hDC);
        HGDIOBJ old = ::SelectObject(mem, bulb);
        ::BitBlt(dc.m_hDC, rect.left, rect.top, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY);
        ::SelectObject(mem, old);
        ::DeleteDC(mem);
    }
    if (bulb)
        ::DeleteObject(bulb);
    CString heading;
    heading.LoadString(IDS_TIP_DID_YOU_KNOW);
    dc.SetBkMode(TRANSPARENT);
    const int bandHeight = info.bmHeight > 0 ? info.bmHeight : 40;
    CRect band(rect.left + info.bmWidth + 8, rect.top, rect.right, rect.top + bandHeight);
    ::DrawTextA(dc.m_hDC, heading, -1, &band, DT_SINGLELINE | DT_VCENTER);
}

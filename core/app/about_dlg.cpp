#include "about_dlg.h"

#include "Gradient.h"
#include "files/fileutil.h"
#include "options/wmoptions.h"
#include "resource.h"

#include <shellapi.h>

#include <direct.h>

#include <string>

const char kVindalexWebSite[] = "https://www.vindalex.example/";

namespace {

CString LoadText(UINT id)
{
    CString s;
    s.LoadString(id);
    return s;
}

// format with every "%lu" replaced by the decimal digits of value; the rest
// of the text is left for CString::Format.
CString FillLongConversion(const CString& format, unsigned long long value)
{
    CString digits(std::to_string(value).c_str());
    CString text = format;
    text.Replace("%lu", digits);
    return text;
}

// Arial, variable pitch, decorative family, the height in pixels of the
// point size on this display.
void CreateArial(CFont& font, int points, int pixelsPerInch)
{
    font.CreateFont(points * pixelsPerInch / 72, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_DECORATIVE,
                    "Arial");
}

}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_ABOUT_WEBSITE, OnWebSite)
    ON_EN_CHANGE(IDC_ABOUT_NOTICE, OnNoticeChange)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX)
{
    m_strNotice = LoadText(IDS_COMPRESSION_NOTICE);
    m_strVersion.Format(LoadText(IDS_VERSION_FORMAT), static_cast<const char*>(LoadText(IDS_VERSION_NUMBER)),
                        static_cast<const char*>(LoadText(IDS_BUILD_NUMBER)));
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ABOUT_NOTICE, m_strNotice);
    DDX_Text(pDX, IDC_ABOUT_VERSION, m_strVersion);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_wndProduct.SubclassDlgItem(IDC_ABOUT_PRODUCT, this);
    m_wndSubtitle.SubclassDlgItem(IDC_ABOUT_SUBTITLE, this);
    m_wndMemory.SubclassDlgItem(IDC_ABOUT_MEMORY, this);
    m_wndDisk.SubclassDlgItem(IDC_ABOUT_DISK, this);
    m_wndProduct.SetTextColorMode(2);

    int pixelsPerInch = 96;
    if (HDC screen = ::GetDC(m_hWnd)) {
        pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(m_hWnd, screen);
    }
    CreateArial(m_fontProduct, 14, pixelsPerInch);
    CreateArial(m_fontSubtitle, 10, pixelsPerInch);
    CreateArial(m_fontLine, 8, pixelsPerInch);
    m_wndProduct.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_fontProduct)));
    m_wndSubtitle.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_fontSubtitle)));
    m_wndMemory.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_fontLine)));
    m_wndDisk.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_fontLine)));

    m_wndMemory.SetWindowText(MemoryLine());
    m_wndDisk.SetWindowText(DiskLine());
    return TRUE;
}

CString CAboutDlg::FormatMemoryLine(const CString& format, unsigned long long kb)
{
    return FillLongConversion(format, kb);
}

CString CAboutDlg::FormatDiskLine(const CString& format, char drive, unsigned long long kb)
{
    CString line;
    line.Format(FillLongConversion(format, kb), drive);
    return line;
}

CString CAboutDlg::MemoryLine()
{
    // The extended query: the plain one stops counting at 2 or 4 GB.
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    unsigned long long kb = 0;
    if (::GlobalMemoryStatusEx(&status))
        kb = status.ullAvailPhys / 1024;
    return FormatMemoryLine(LoadText(IDS_FREE_MEMORY), kb);
}

CString CAboutDlg::DiskLine()
{
    int drive = ::_getdrive();  // 1 is A
    if (drive < 1 || drive > 26)
        return LoadText(IDS_UNAVAILABLE);
    char letter = static_cast<char>(drive + 64);
    char root[] = {letter, ':', '\\', 0};
    ULARGE_INTEGER freeToCaller, total, totalFree;
    if (!::GetDiskFreeSpaceExA(root, &freeToCaller, &total, &totalFree))
        return LoadText(IDS_UNAVAILABLE);
    return FormatDiskLine(LoadText(IDS_FREE_DISK), letter, freeToCaller.QuadPart / 1024);
}

BOOL CAboutDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect clip;
    if (pDC->GetClipBox(&clip) == ERROR)
        return TRUE;
    // Widened so the gradient's last, narrower band falls outside the client area.
    CRect rect;
    GetClientRect(&rect);
    rect.left -= 6;
    rect.right += 6;
    PaintGradiantRect(pDC, rect, CWMOptions::Color1, CWMOptions::Color2, TRUE, TRUE);
    return TRUE;
}

void CAboutDlg::OnWebSite()
{
    ::ShellExecuteA(m_hWnd, "open", kVindalexWebSite, nullptr, GetModulePath(), SW_SHOWNORMAL);
}

void CAboutDlg::OnNoticeChange()
{
    // The notice is read-only in the template; whatever still changes it is undone.
    UpdateData(FALSE);
}

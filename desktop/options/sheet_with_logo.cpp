#include "sheet_with_logo.h"

#include "Gradient.h"

#include <vector>

BEGIN_MESSAGE_MAP(CPropertySheetWithLogo, CPropertySheet)
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
// The sheets whose keys this thread watches (nested sheets are possible).
thread_local std::vector<CPropertySheetWithLogo*> t_keySheets;
thread_local HHOOK t_hook = nullptr;
}  // namespace

CPropertySheetWithLogo::CPropertySheetWithLogo(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
{
}

CPropertySheetWithLogo::CPropertySheetWithLogo(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage)
{
}

CPropertySheetWithLogo::~CPropertySheetWithLogo() { UnhookKeys(); }

BOOL CPropertySheetWithLogo::OnInitDialog()
{
    BOOL result = CPropertySheet::OnInitDialog();
    if (m_fontLogo.GetSafeHandle())
        m_fontLogo.DeleteObject();
    m_fontLogo.CreateFont(24, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
    return result;
}

// The system's sheet runs its own message loop, so the keys are seen through
// a message hook of this thread while the sheet lives.
void CPropertySheetWithLogo::HookKeys()
{
    t_keySheets.push_back(this);
    if (!t_hook)
        t_hook = ::SetWindowsHookExA(WH_GETMESSAGE, KeyHook, nullptr, ::GetCurrentThreadId());
    m_hKeyHook = t_hook;
}

void CPropertySheetWithLogo::UnhookKeys()
{
    if (!m_hKeyHook)
        return;
    m_hKeyHook = nullptr;
    for (auto it = t_keySheets.begin(); it != t_keySheets.end(); ++it)
        if (*it == this) {
            t_keySheets.erase(it);
            break;
        }
    if (t_keySheets.empty() && t_hook) {
        ::UnhookWindowsHookEx(t_hook);
        t_hook = nullptr;
    }
}

LRESULT CALLBACK CPropertySheetWithLogo::KeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_KEYUP &&
        (msg->wParam == VK_PRIOR || msg->wParam == VK_NEXT)) {
        // The innermost sheet that holds the window the key went to.
        for (auto it = t_keySheets.rbegin(); it != t_keySheets.rend(); ++it) {
            CPropertySheetWithLogo* sheet = *it;
            if (sheet->m_hWnd && (msg->hwnd == sheet->m_hWnd || ::IsChild(sheet->m_hWnd, msg->hwnd))) {
                sheet->OnPageKeyUp(static_cast<UINT>(msg->wParam));
                break;
            }
        }
    }
    return ::CallNextHookEx(t_hook, code, wParam, lParam);
}

BOOL CPropertySheetWithLogo::OnPageKeyUp(UINT nChar)
{
    const int count = GetPageCount();
    if (!m_hWnd || count <= 1 || (nChar != VK_PRIOR && nChar != VK_NEXT))
        return FALSE;
    if (IsWizard()) {
        // Through the buttons: the page's own Back/Next handling decides.
        const int button = nChar == VK_PRIOR ? PSBTN_BACK : PSBTN_NEXT;
        HWND h = ::GetDlgItem(m_hWnd, nChar == VK_PRIOR ? ID_WIZBACK : ID_WIZNEXT);
        if (h && ::IsWindowEnabled(h) && ::IsWindowVisible(h))
            PressButton(button);
        return TRUE;
    }
    int index = GetActiveIndex();
    if (nChar == VK_PRIOR)
        index = index <= 0 ? count - 1 : index - 1;
    else
        index = index >= count - 1 ? 0 : index + 1;
    SetActivePage(index);
    return TRUE;
}

INT_PTR CPropertySheetWithLogo::DoModal()
{
    HookKeys();
    INT_PTR r = CPropertySheet::DoModal();
    UnhookKeys();
    return r;
}

BOOL CPropertySheetWithLogo::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    if (!CPropertySheet::Create(pParentWnd, dwStyle, dwExStyle))
        return FALSE;
    HookKeys();
    return TRUE;
}

CRect CPropertySheetWithLogo::GetLogoRect() const
{
    CRect logo(0, 0, 0, 0);
    CTabCtrl* tab = GetTabControl();
    HWND button = m_hWnd ? ::GetDlgItem(m_hWnd, IDOK) : nullptr;
    if (!button || !::IsWindowVisible(button))
        button = m_hWnd ? ::GetDlgItem(m_hWnd, IDCANCEL) : nullptr;
    if (!tab || !tab->m_hWnd || !button)
        return logo;
    CRect tabRect, buttonRect;
    ::GetWindowRect(tab->m_hWnd, &tabRect);
    ::GetWindowRect(button, &buttonRect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&tabRect), 2);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&buttonRect), 2);
    logo.SetRect(tabRect.left, buttonRect.top, buttonRect.left, buttonRect.bottom);
    return logo;
}

void CPropertySheetWithLogo::OnPaint()
{
    CPaintDC dc(this);
    if (m_strLogo.IsEmpty())
        return;
    CRect rect = GetLogoRect();
    if (rect.IsRectEmpty())
        return;
    dc.SetBkMode(TRANSPARENT);
    HGDIOBJ oldFont = m_fontLogo.GetSafeHandle() ? dc.SelectObject(m_fontLogo.GetSafeHandle()) : nullptr;
    const COLORREF oldColour = dc.SetTextColor(::GetSysColor(COLOR_3DHILIGHT));
    CRect raised = rect;
    raised.OffsetRect(1, 1);
    dc.DrawText(m_strLogo, &raised, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    dc.SetTextColor(::GetSysColor(COLOR_3DSHADOW));
    dc.DrawText(m_strLogo, &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    dc.SetTextColor(oldColour);
    if (oldFont)
        dc.SelectObject(oldFont);
}

// ---- CColourPreview ----

BEGIN_MESSAGE_MAP(CColourPreview, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CColourPreview::SetColours(const COLORREF colours[6])
{
    for (int i = 0; i < 6; ++i)
        m_Colors[i] = colours[i];
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CColourPreview::OnPaint()
{
    CPaintDC dc(this);
    CRect clip;
    if (::GetClipBox(dc.m_hDC, &clip) == NULLREGION || clip.IsRectEmpty())
        return;
    CRect r;
    GetClientRect(&r);
    r.InflateRect(6, 0);
    PaintGradiantRect(&dc, r, m_Colors[0], m_Colors[1], TRUE, TRUE);
    const int h = r.Height() / 10;
    const int third = r.left + r.Width() / 3;
    PaintGradiantRect(&dc, CRect(r.left, r.top + 4 * h, third, r.top + 5 * h), m_Colors[0], m_Colors[2], TRUE, TRUE);
    PaintGradiantRect(&dc, CRect(third, r.top + 4 * h, r.right, r.top + 5 * h), m_Colors[2], m_Colors[1], TRUE,
                      TRUE);
    dc.SetBkMode(TRANSPARENT);
    HGDIOBJ oldFont = dc.SelectObject(::GetStockObject(DEFAULT_GUI_FONT));
    struct Word {
        const char* text;
        int colour, indent, from, to;
    } words[] = {{"Normal Text", 3, 30, 2, 4}, {"Dimmed Text", 4, 60, 6, 8}, {"Hilighted Text", 5, 90, 8, 10}};
    for (const Word& w : words) {
        CRect box(r.left + w.indent, r.top + w.from * h, r.right, r.top + w.to * h);
        dc.SetTextColor(m_Colors[w.colour]);
        dc.DrawText(w.text, &box, DT_WORDBREAK);
    }
    dc.SelectObject(oldFont);
}

#include "caption_bar.h"

namespace {
// The bar's command-state object: an update handler's text becomes the caption.
class CCaptionCmdUI : public CCmdUI {
public:
    explicit CCaptionCmdUI(CCaptionBar* bar) : m_pBar(bar) {}
    void Enable(BOOL) override {}
    void SetCheck(int) override {}
    void SetText(LPCTSTR text) override { m_pBar->SetText(text ? text : ""); }

private:
    CCaptionBar* m_pBar;
};
}  // namespace

BEGIN_MESSAGE_MAP(CCaptionBar, CControlBar)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CCaptionBar::CCaptionBar() : m_strText("default"), m_crBack(::GetSysColor(COLOR_BTNSHADOW)) {}

CCaptionBar::~CCaptionBar()
{
    for (HICON& icon : m_hIcons)
        if (icon)
            ::DestroyIcon(icon);
    if (m_hWnd)
        DestroyWindow();
}

BOOL CCaptionBar::Create(CWnd* parent, UINT id)
{
    if (!CWnd::CreateEx(WS_EX_CLIENTEDGE, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                        CRect(0, 0, 0, 0), parent, id))
        return FALSE;
    SetBarStyle(CBRS_ALIGN_TOP);
    SetFontName(nullptr);
    return TRUE;
}

void CCaptionBar::Repaint()
{
    ++m_nRepaints;
    if (m_hWnd)
        Invalidate();
}

void CCaptionBar::SetText(const CString& text)
{
    if (text == m_strText)
        return;
    m_strText = text;
    Repaint();
}

int CCaptionBar::SetIcon(UINT iconId, int slot)
{
    if (slot < 0 || slot >= kSlots)
        return 0;
    if (m_hIcons[slot])
        ::DestroyIcon(m_hIcons[slot]);
    m_hIcons[slot] = static_cast<HICON>(
        ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, 32, 32, 0));
    m_IconSizes[slot] = m_hIcons[slot] ? CSize(32, 32) : CSize(0, 0);
    Repaint();
    return 0;
}

BOOL CCaptionBar::SetFontName(const char* faceName)
{
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    LOGFONTA lf = ncm.lfStatusFont;
    if (faceName)
        lstrcpynA(lf.lfFaceName, faceName, LF_FACESIZE);  // bounded: a long name cannot overrun
    lf.lfHeight *= 2;
    m_Font.DeleteObject();
    BOOL ok = m_Font.CreateFontIndirect(&lf);
    Repaint();
    return ok;
}

void CCaptionBar::SetBkColor(COLORREF color)
{
    m_crBack = color;
    Repaint();
}

void CCaptionBar::SetTextColor(COLORREF color, BOOL text)
{
    (text ? m_crText : m_crShadow) = color;
    Repaint();
}

int CCaptionBar::CalcHeight(int width)
{
    int textHeight = kMinHeight;
    if (m_hWnd) {
        CClientDC dc(this);
        CFont* old = m_Font.GetSafeHandle() ? dc.SelectObject(&m_Font) : nullptr;
        CRect r(0, 0, width - 2 * kBorder, 0);
        if (r.right < 1)
            r.right = 1;
        int h = ::DrawTextA(dc.m_hDC, m_strText, -1, &r, DT_WORDBREAK | DT_CALCRECT | DT_EDITCONTROL | DT_EXTERNALLEADING);
        if (old)
            dc.SelectObject(old);
        if (h > textHeight)
            textHeight = h;
    }
    return textHeight + 2 * kBorder;
}

CSize CCaptionBar::CalcFixedLayout(BOOL, BOOL)
{
    int offered = 0;
    if (m_hWnd) {
        CRect parent;
        if (CWnd* p = GetParent()) {
            p->GetClientRect(&parent);
            offered = parent.Width();
        }
    }
    return CSize(32767, CalcHeight(offered));
}

void CCaptionBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CCaptionCmdUI ui(this);
    ui.m_nID = 59393;
    // The bar's own handlers first, then the frame's; nothing is disabled.
    if (!ui.DoUpdate(this, FALSE) && pTarget)
        ui.DoUpdate(pTarget, FALSE);
}

BOOL CCaptionBar::OnEraseBkgnd(CDC* pDC)
{
    CRect r;
    GetClientRect(&r);
    pDC->FillSolidRect(&r, m_crBack);
    return TRUE;
}

void CCaptionBar::OnPaint()
{
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    r.DeflateRect(kBorder, kBorder);
    r.InflateRect(0, 2);
    CFont* old = m_Font.GetSafeHandle() ? dc.SelectObject(&m_Font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    const UINT format = DT_WORDBREAK | DT_END_ELLIPSIS | DT_EDITCONTROL | DT_EXTERNALLEADING;
    CRect shadow = r;
    shadow.OffsetRect(1, 1);
    dc.SetTextColor(m_crShadow);
    ::DrawTextA(dc.m_hDC, m_strText, -1, &shadow, format);
    dc.SetTextColor(m_crText);
    ::DrawTextA(dc.m_hDC, m_strText, -1, &r, format);
    if (old)
        dc.SelectObject(old);
    int right = r.right;
    for (int i = 0; i < kSlots; ++i) {
        if (!m_hIcons[i])
            continue;
        const int left = right - m_IconSizes[i].cx;
        const int top = (r.bottom - m_IconSizes[i].cy) / 2;
        ::DrawIconEx(dc.m_hDC, left, top, m_hIcons[i], m_IconSizes[i].cx, m_IconSizes[i].cy, 0, nullptr, DI_NORMAL);
        right = left;
    }
}

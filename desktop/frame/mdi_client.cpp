#include "mdi_client.h"

#include "Gradient.h"

BEGIN_MESSAGE_MAP(CMdiClient, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CMdiClient::CMdiClient() = default;

CMdiClient::~CMdiClient() { delete m_pBitmap; }

COLORREF CMdiClient::Store(COLORREF& field, COLORREF color)
{
    if (m_hWnd)
        ::LockWindowUpdate(m_hWnd);
    COLORREF old = field;
    field = color;
    if (m_hWnd)
        ::LockWindowUpdate(nullptr);
    return old;
}

COLORREF CMdiClient::SetBkColor(COLORREF color) { return Store(m_crBack, color); }
COLORREF CMdiClient::SetColor1(COLORREF color) { return Store(m_crColor1, color); }
COLORREF CMdiClient::SetColor2(COLORREF color) { return Store(m_crColor2, color); }

BOOL CMdiClient::SetBitmap(UINT bitmapId)
{
    if (m_hWnd)
        ::LockWindowUpdate(m_hWnd);
    delete m_pBitmap;
    m_pBitmap = new CBitmap;
    BOOL ok = m_pBitmap->LoadBitmap(MAKEINTRESOURCE(bitmapId));
    if (!ok) {
        delete m_pBitmap;
        m_pBitmap = nullptr;
    }
    if (m_hWnd)
        ::LockWindowUpdate(nullptr);
    return ok;
}

BOOL CMdiClient::PaintBackground(CDC* pDC, const CRect& client)
{
    CRect rect = client;
    if (m_crBack != kNone) {
        pDC->FillSolidRect(&rect, m_crBack);
        return TRUE;
    }
    if (m_crColor1 != kNone && m_crColor2 != kNone) {
        rect.InflateRect(6, 0);
        const int w = rect.Width() / 8;
        CRect band(rect.left, rect.top, rect.left + w, rect.bottom);
        PaintGradiantRect(pDC, band, m_crColor1, m_crColor2, TRUE, TRUE);
        band = CRect(rect.left + w, rect.top, rect.left + 7 * w, rect.bottom);
        pDC->FillSolidRect(&band, m_crColor2);
        band = CRect(rect.left + 7 * w, rect.top, rect.right, rect.bottom);
        PaintGradiantRect(pDC, band, m_crColor2, m_crColor1, TRUE, TRUE);
        return TRUE;
    }
    if (m_pBitmap && m_pBitmap->GetSafeHandle()) {
        BITMAP bm = {};
        m_pBitmap->GetObject(sizeof bm, &bm);
        if (bm.bmWidth <= 0 || bm.bmHeight <= 0)
            return FALSE;
        CDC mem;
        mem.CreateCompatibleDC(pDC);
        CBitmap* old = mem.SelectObject(m_pBitmap);
        for (int x = rect.left; x < rect.right; x += bm.bmWidth)
            for (int y = rect.top; y < rect.bottom; y += bm.bmHeight)
                pDC->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
        mem.SelectObject(old);
        return TRUE;
    }
    return FALSE;
}

BOOL CMdiClient::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    if (!PaintBackground(pDC, rect))
        Default();
    return TRUE;
}

void CMdiClient::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_pBitmap)
        Invalidate();
}

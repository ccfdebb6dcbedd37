// CShapedBitmapWnd: a borderless top-most popup showing one bitmap resource,
// cut to the outline of its picture against a transparent colour. It centres
// itself and closes after a time-out or at the first click or key press.
#pragma once

#include "dib_pixels.h"
#include "fx/fxwin.h"

#include <memory>

class CShapedBitmapWnd : public CWnd {
public:
    static constexpr COLORREF kColorFromPicture = 0xFF000000;  // take the colour at the seed
    static constexpr int kDefaultTimeout = 750;

    CShapedBitmapWnd() = default;
    ~CShapedBitmapWnd() override;

    // The process-wide instance: made on the heap (deleting itself) when there is none.
    static BOOL ShowSplash(UINT nBitmapId, COLORREF transparent, const CPoint* pSeed, BYTE tolerance);
    static CShapedBitmapWnd* Instance() { return s_pInstance; }

    virtual BOOL Create(LPCTSTR lpszResource, COLORREF transparent, const CPoint* pSeed, BYTE tolerance);
    virtual BOOL Create(UINT nBitmapId, COLORREF transparent, const CPoint* pSeed, BYTE tolerance);
    virtual BOOL Show(int nTimeoutMs, CWnd* pParent);
    virtual UINT_PTR SetTimeout(int nMs);
    virtual BOOL MakeRegion(int x, int y);
    virtual BOOL IsTransparent(int x, int y, BOOL bOutside) const;

    BOOL SetRegion(const CRgn* pRgn);
    CRgn& GetRegion() { return m_region; }
    int GetTimeout() const { return m_nTimeout; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PostNcDestroy() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    bool LoadPicture(UINT nBitmapId);
    void Close();

    static CShapedBitmapWnd* s_pInstance;
    int m_nTimeout = kDefaultTimeout;
    int m_bWait = 0;
    int m_bSelfDelete = 0;
    shapes::DibPixels m_pixels;
    std::unique_ptr<CPalette> m_palette;
    std::unique_ptr<CBitmap> m_bitmap;
    CSize m_size{0, 0};
    CRgn m_region;
    COLORREF m_transparent = 0;
    BYTE m_tolerance = 0;
    HWND m_hOwner = nullptr;  // hidden owner: no task-bar button for the picture
};

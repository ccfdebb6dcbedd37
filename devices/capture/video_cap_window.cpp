#include "video_cap.h"
#include "video_cap_frames.h"

#include "capture_arithmetic.h"

#include "fx/dc.h"

namespace {
const UINT kCaptureControlId = 65535;
}

BEGIN_MESSAGE_MAP(CVideoCap, CWnd)
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CVideoCap::CVideoCap(const char* windowName) : m_strWindowName(windowName ? windowName : "")
{
    g_VideoCapFrames.callerCallback = nullptr;
}

CVideoCap::~CVideoCap()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        Disconnect();
        DestroyWindow();
    }
    delete[] reinterpret_cast<BYTE*>(m_pFormat);
    m_pFormat = nullptr;
}

BOOL CVideoCap::Create(DWORD style, const RECT& rect, CWnd* parent, BOOL autoPlace)
{
    if (m_hWnd)
        return Fail(VIDEOCAP_ERR_EXISTS);
    m_bAutoPlace = autoPlace ? 1 : 0;
    HWND wnd = ::capCreateCaptureWindowA(m_strWindowName, style, rect.left, rect.top, rect.right - rect.left,
                                         rect.bottom - rect.top, parent ? parent->GetSafeHwnd() : nullptr,
                                         static_cast<int>(kCaptureControlId));
    if (!wnd || !SubclassWindow(wnd)) {
        if (wnd)
            ::DestroyWindow(wnd);
        TRACE0("CVideoCap Window creation failed");
        return Fail(VIDEOCAP_ERR_CREATE);
    }
    ::SetClassLongPtrA(m_hWnd, GCL_STYLE, ::GetClassLongPtrA(m_hWnd, GCL_STYLE) | CS_DBLCLKS);
    ReadDriverList();
    return TRUE;
}

void CVideoCap::_notify(const char* text)
{
    _notify(text, kNoPercent);
}

void CVideoCap::_notify(const char* text, DWORD percent)
{
    if (m_pProgressCallback)
        m_pProgressCallback(text, percent);
}

LRESULT CVideoCap::Cap(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd && ::IsWindow(m_hWnd) ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CVideoCap::Fail(int error)
{
    m_nLastError = error;
    return FALSE;
}

BOOL CVideoCap::CheckReady()
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return Fail(VIDEOCAP_ERR_NO_WINDOW);
    if (m_nDriverIndex < 0)
        return Fail(VIDEOCAP_ERR_NOT_CONNECTED);
    return TRUE;
}

int CVideoCap::GetLastError()
{
    int error = m_nLastError;
    m_nLastError = 0;
    return error;
}

BOOL CVideoCap::IsReady()
{
    return m_nDriverIndex >= 0 && m_hWnd && ::IsWindow(m_hWnd);
}

BOOL CVideoCap::SetShowFlag(BOOL show)
{
    BOOL old = m_bShow;
    m_bShow = show ? 1 : 0;
    return old;
}

BOOL CVideoCap::SwitchState(UINT message, BOOL on, BOOL& state)
{
    if (!CheckReady())
        return FALSE;
    on = on ? TRUE : FALSE;
    if (on != state) {
        if (!Cap(message, on))
            return FALSE;
        state = on;
    }
    return TRUE;
}

BOOL CVideoCap::StartPreview(BOOL on)
{
    return SwitchState(WM_CAP_SET_PREVIEW, on, m_bPreview);
}

BOOL CVideoCap::StartOverlay(BOOL on)
{
    return SwitchState(WM_CAP_SET_OVERLAY, on, m_bOverlay);
}

BOOL CVideoCap::StartSeq(BOOL on)
{
    if (!CheckReady())
        return FALSE;
    if (!on) {
        if (m_bStreaming)
            Cap(WM_CAP_STOP);
        m_bStreaming = 0;
        return TRUE;
    }
    if (m_bStreaming)
        return TRUE;
    if (!ReadSetup())
        return FALSE;
    m_CapParms.fYield = TRUE;
    if (!Cap(WM_CAP_SET_SEQUENCE_SETUP, sizeof m_CapParms, reinterpret_cast<LPARAM>(&m_CapParms)))
        return FALSE;
    if (!Cap(WM_CAP_SEQUENCE_NOFILE))
        return FALSE;
    m_bStreaming = 1;
    return TRUE;
}

BOOL CVideoCap::SetPreviewRate(int ms)
{
    if (ms < 0 || !CheckReady())
        return FALSE;
    if (!Cap(WM_CAP_SET_PREVIEWRATE, static_cast<WPARAM>(ms)))
        return FALSE;
    m_nPreviewRate = ms;
    return TRUE;
}

BOOL CVideoCap::SetYiedCallBack(CAPYIELDCALLBACK callback)
{
    return CheckReady() && Cap(WM_CAP_SET_CALLBACK_YIELD, 0, reinterpret_cast<LPARAM>(callback));
}

BOOL CVideoCap::SetErrorCallBack(CAPERRORCALLBACKA callback)
{
    return CheckReady() && Cap(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<LPARAM>(callback));
}

BOOL CVideoCap::SetStreamCallBack(CAPVIDEOCALLBACK callback)
{
    return CheckReady() && Cap(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<LPARAM>(callback));
}

BOOL CVideoCap::SavePalette(const char* file)
{
    return CheckReady() && file && Cap(WM_CAP_PAL_SAVEA, 0, reinterpret_cast<LPARAM>(file));
}

BOOL CVideoCap::LoadPalette(const char* file)
{
    return CheckReady() && file && Cap(WM_CAP_PAL_OPENA, 0, reinterpret_cast<LPARAM>(file));
}

BOOL CVideoCap::PastePalette()
{
    return CheckReady() && Cap(WM_CAP_PAL_PASTE);
}

BOOL CVideoCap::CreatePalette(int frames, int colours)
{
    return CheckReady() && Cap(WM_CAP_PAL_AUTOCREATE, static_cast<WPARAM>(frames), colours);
}

BOOL CVideoCap::CopyFrame()
{
    return CheckReady() && Cap(WM_CAP_EDIT_COPY);
}

BOOL CVideoCap::CompressDlg()
{
    return CheckReady() && Cap(WM_CAP_DLG_VIDEOCOMPRESSION);
}

BOOL CVideoCap::DriverDialog(UINT message)
{
    if (!CheckReady())
        return FALSE;
    BOOL shown = Cap(message) ? TRUE : FALSE;
    AutoSize();   // the dialog may have changed the format
    return shown;
}

BOOL CVideoCap::DisplayDlg()
{
    return DriverDialog(WM_CAP_DLG_VIDEODISPLAY);
}

BOOL CVideoCap::FormatDlg()
{
    return DriverDialog(WM_CAP_DLG_VIDEOFORMAT);
}

BOOL CVideoCap::VSourceDlg()
{
    return DriverDialog(WM_CAP_DLG_VIDEOSOURCE);
}

void CVideoCap::AdjustPlacement(BOOL keepSize)
{
    m_bAutoPlace = keepSize ? 0 : 1;
    AutoSize();
}

void CVideoCap::AutoSize()
{
    if (!IsReady() || !m_pFormat)
        return;
    DWORD size = static_cast<DWORD>(Cap(WM_CAP_GET_VIDEOFORMAT));
    if (!size)
        return;
    RECT reference = {};
    HWND parent = ::GetParent(m_hWnd);
    ::GetClientRect(parent ? parent : ::GetDesktopWindow(), &reference);
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    if (parent)
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    const BITMAPINFOHEADER& h = m_pFormat->bmiHeader;
    VideoCapMath::Placement p = VideoCapMath::AutoPlace(
        reference.right - reference.left, reference.bottom - reference.top, window.right - window.left,
        window.bottom - window.top, static_cast<int>(h.biWidth), static_cast<int>(h.biHeight < 0 ? -h.biHeight : h.biHeight),
        m_bAutoPlace != 0);
    if (p.x == window.left && p.y == window.top && p.width == window.right - window.left &&
        p.height == window.bottom - window.top)
        return;
    ::SetWindowPos(m_hWnd, nullptr, p.x, p.y, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVideoCap::OnPaint()
{
    if (!m_bShow) {
        Default();
        return;
    }
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    CSize format = GetFrameSize();
    const VIDEOHDR& frame = g_VideoCapFrames.lastHeader;
    bool sameSize = format.cx == client.right && format.cy == client.bottom;
    // Only a whole uncompressed frame is stretched: never read past what arrived.
    bool whole = m_pFormat && frame.lpData && m_pFormat->bmiHeader.biCompression == BI_RGB &&
                 frame.dwBytesUsed >= GetRequiredBufferSize() && GetRequiredBufferSize() > 0;
    if (sameSize || !whole) {
        Default();
    } else {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        ::StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, format.cx, format.cy, frame.lpData, m_pFormat,
                        DIB_RGB_COLORS, SRCCOPY);
        if (m_pDrawCallback)
            m_pDrawCallback(m_hWnd, dc);
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    if (m_pDrawCallback) {
        HDC dc = ::GetDC(m_hWnd);
        m_pDrawCallback(m_hWnd, dc);
        ::ReleaseDC(m_hWnd, dc);
    }
    ::ValidateRect(m_hWnd, nullptr);
}

void CVideoCap::OnDestroy()
{
    Disconnect();
    CWnd::OnDestroy();
}

void CVideoCap::OnTimer(UINT_PTR id)
{
    CWnd::OnTimer(id);
}

BOOL CVideoCap::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CVideoCap::OnLButtonDown(UINT, CPoint) {}

void CVideoCap::OnLButtonDblClk(UINT, CPoint) {}

#include "video_cap.h"
#include "video_cap_frames.h"

#include "capture_arithmetic.h"

#include <cstring>

namespace {
const int kDriverTextLength = 80;
const DWORD kMicroSecPerFrame = 20000;
} // namespace

void CVideoCap::ReadDriverList()
{
    m_DriverNames.RemoveAll();
    m_DriverVersions.RemoveAll();
    for (int i = 0; i < kMaxDrivers; ++i) {
        char name[kDriverTextLength + 1] = {};
        char version[kDriverTextLength + 1] = {};
        if (!::capGetDriverDescriptionA(static_cast<UINT>(i), name, kDriverTextLength, version, kDriverTextLength))
            break;
        name[kDriverTextLength] = version[kDriverTextLength] = '\0';
        m_DriverNames.Add(name);
        m_DriverVersions.Add(version);
    }
}

int CVideoCap::GetDriversList(CStringArray* names, CStringArray* versions)
{
    if (m_DriverNames.GetSize() == 0)
        ReadDriverList();
    if (names)
        names->Copy(m_DriverNames);
    if (versions)
        versions->Copy(m_DriverVersions);
    return static_cast<int>(m_DriverNames.GetSize());
}

const char* CVideoCap::GetDriverName()
{
    return m_nDriverIndex >= 0 && m_nDriverIndex < m_DriverNames.GetSize() ? (LPCTSTR)m_DriverNames[m_nDriverIndex]
                                                                          : nullptr;
}

const char* CVideoCap::GetDriverVer()
{
    return m_nDriverIndex >= 0 && m_nDriverIndex < m_DriverVersions.GetSize()
               ? (LPCTSTR)m_DriverVersions[m_nDriverIndex]
               : nullptr;
}

BOOL CVideoCap::ConnectWithDriver(const char* name)
{
    g_VideoCapFrames.cancel = 0;
    if (!name)
        return Connect(0);
    if (GetDriversList(nullptr, nullptr) == 0)
        return Fail(VIDEOCAP_ERR_NO_DRIVERS);
    for (int i = 0; i < m_DriverNames.GetSize(); ++i)
        if (std::strcmp(m_DriverNames[i], name) == 0)
            return Connect(i);
    return Fail(VIDEOCAP_ERR_NO_SUCH_DRIVER);
}

BOOL CVideoCap::ConnectWithDriver(int index)
{
    return Connect(index == -1 ? 0 : index);
}

BOOL CVideoCap::ConnectFailed(int error)
{
    Disconnect();
    if (error)
        m_nLastError = error;
    return FALSE;
}

BOOL CVideoCap::Connect(int index)
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return Fail(VIDEOCAP_ERR_NO_WINDOW);
    // Only an installed driver: 0 to count - 1.
    if (index < 0 || index >= GetDriversList(nullptr, nullptr)) {
        TRACE0("CVideoCap Window connection failed: illegal driver index");
        return Fail(VIDEOCAP_ERR_DRIVER_INDEX);
    }
    if (m_nDriverIndex >= 0)
        Disconnect();
    HCURSOR oldCursor = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    struct CursorBack {
        HCURSOR cursor;
        ~CursorBack() { ::SetCursor(cursor); }
    } cursorBack{oldCursor};

    if (!Cap(WM_CAP_DRIVER_CONNECT, static_cast<WPARAM>(index))) {
        return Fail(VIDEOCAP_ERR_REFUSED);
    }
    m_nDriverIndex = index;
    if (g_VideoCapFrames.cancel)
        return ConnectFailed(0);
    if (!ReadCaps() || !ReadSetup() || !ReadStatus() || !ReadFormat())
        return ConnectFailed(VIDEOCAP_ERR_DRIVER_RECORDS);

    bool wasVisible = ::IsWindowVisible(m_hWnd) != FALSE;
    if (wasVisible)
        ::ShowWindow(m_hWnd, SW_HIDE);
    if (!m_bSkipProbing) {
        HANDLE thread = ::GetCurrentThread();
        int priority = ::GetThreadPriority(thread);
        ::SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
        m_nBitsMask = 0;
        m_ValidSizes.RemoveAll();
        m_CompressedSizes.RemoveAll();
        m_nBuffers = 0;
        bool cancelled = false;
        ProbeDepths();
        cancelled = g_VideoCapFrames.cancel != 0;
        if (!cancelled) {
            ProbeFrameSizes();
            cancelled = g_VideoCapFrames.cancel != 0;
        }
        if (!cancelled) {
            ProbeBuffers();
            cancelled = g_VideoCapFrames.cancel != 0;
        }
        ::SetThreadPriority(thread, priority);
        if (cancelled) {
            if (wasVisible)
                ::ShowWindow(m_hWnd, SW_SHOW);
            return ConnectFailed(0);
        }
    }

    InstallOwnFrameCallback();
    m_CapParms.dwRequestMicroSecPerFrame = kMicroSecPerFrame;
    m_CapParms.fYield = TRUE;
    Cap(WM_CAP_SET_SEQUENCE_SETUP, sizeof m_CapParms, reinterpret_cast<LPARAM>(&m_CapParms));
    ReadSetup();
    if (wasVisible)
        ::ShowWindow(m_hWnd, SW_SHOW);
    return TRUE;
}

BOOL CVideoCap::Disconnect()
{
    if (m_hWnd && ::IsWindow(m_hWnd) && m_nDriverIndex >= 0) {
        Cap(WM_CAP_SET_CALLBACK_FRAME, 0, 0);
        Cap(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, 0);
        if (m_bStreaming)
            Cap(WM_CAP_STOP);
        Cap(WM_CAP_DRIVER_DISCONNECT);
    }
    m_bStreaming = 0;
    m_bPreview = 0;
    m_bOverlay = 0;
    m_bOwnFrameCallback = 0;
    m_nDriverIndex = -1;
    delete[] reinterpret_cast<BYTE*>(m_pFormat);
    m_pFormat = nullptr;
    m_nFormatSize = 0;
    return m_nDriverIndex < 0;
}

BOOL CVideoCap::ReadCaps()
{
    if (!Cap(WM_CAP_DRIVER_GET_CAPS, sizeof m_DriverCaps, reinterpret_cast<LPARAM>(&m_DriverCaps))) {
        TRACE1("capDriverGetCaps failed(wnd=%x)", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(m_hWnd)));
        return FALSE;
    }
    return TRUE;
}

BOOL CVideoCap::ReadStatus()
{
    return Cap(WM_CAP_GET_STATUS, sizeof m_CapStatus, reinterpret_cast<LPARAM>(&m_CapStatus)) ? TRUE : FALSE;
}

BOOL CVideoCap::ReadSetup()
{
    return Cap(WM_CAP_GET_SEQUENCE_SETUP, sizeof m_CapParms, reinterpret_cast<LPARAM>(&m_CapParms)) ? TRUE : FALSE;
}

BOOL CVideoCap::ReadFormat()
{
    DWORD size = static_cast<DWORD>(Cap(WM_CAP_GET_VIDEOFORMAT));
    if (size < sizeof(BITMAPINFOHEADER) || size > VideoCapMath::kMaxFormatBlock)
        return FALSE;
    std::vector<BYTE> block(size);
    if (Cap(WM_CAP_GET_VIDEOFORMAT, size, reinterpret_cast<LPARAM>(block.data())) == 0)
        return FALSE;
    const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(block.data());
    // A header or colour table that does not fit the block is not read.
    if (!VideoCapMath::FormatBlockFits(size, h->biSize, h->biBitCount, h->biClrUsed))
        return FALSE;
    BYTE* copy = new BYTE[size];
    std::memcpy(copy, block.data(), size);
    delete[] reinterpret_cast<BYTE*>(m_pFormat);
    m_pFormat = reinterpret_cast<BITMAPINFO*>(copy);
    m_nFormatSize = size;
    if (m_bAutoPlace)
        AutoSize();
    return TRUE;
}

BOOL CVideoCap::GetDriverInfo(CAPDRVINFO* info)
{
    if (!CheckReady())
        return FALSE;
    if (!info || !m_pFormat)
        return FALSE;
    std::memset(info, 0, sizeof *info);
    const char* name = GetDriverName();
    std::strncpy(info->szDriverName, name ? name : "", sizeof info->szDriverName - 1);
    info->nBuffers = m_nBuffers;
    const BITMAPINFOHEADER& h = m_pFormat->bmiHeader;
    info->nBitCount = h.biBitCount;
    info->nBitsMask = m_nBitsMask;
    std::vector<uint32_t> sizes;
    for (int i = 0; i < m_ValidSizes.GetSize(); ++i)
        sizes.push_back(m_ValidSizes[i]);
    info->bStandardSize = VideoCapMath::HasStandardSize(sizes, static_cast<int>(h.biWidth)) ? 1 : 0;
    info->nCompression = static_cast<int>(h.biCompression);
    info->nWidth = static_cast<int>(h.biWidth);
    info->nHeight = static_cast<int>(h.biHeight);
    info->bHasDlgVideoFormat = m_DriverCaps.fHasDlgVideoFormat;
    info->bHasDlgVideoSource = m_DriverCaps.fHasDlgVideoSource;
    info->bHasDlgVideoDisplay = m_DriverCaps.fHasDlgVideoDisplay;
    return TRUE;
}

BOOL CVideoCap::SetCapSetup(CAPTUREPARMS* setup)
{
    if (!CheckReady() || !setup)
        return FALSE;
    if (!Cap(WM_CAP_SET_SEQUENCE_SETUP, sizeof *setup, reinterpret_cast<LPARAM>(setup)))
        return FALSE;
    ReadSetup();
    ReadFormat();
    return TRUE;
}

BOOL CVideoCap::GetCapSetup(CAPTUREPARMS* setup)
{
    if (!CheckReady() || !setup || !ReadSetup())
        return FALSE;
    *setup = m_CapParms;
    return TRUE;
}

BOOL CVideoCap::GetCapStatus(CAPSTATUS* status)
{
    if (!CheckReady() || !status || !ReadStatus())
        return FALSE;
    *status = m_CapStatus;
    return TRUE;
}

BOOL CVideoCap::GetDriverCaps(CAPDRIVERCAPS* caps)
{
    if (!CheckReady() || !caps || !ReadCaps())
        return FALSE;
    *caps = m_DriverCaps;
    return TRUE;
}

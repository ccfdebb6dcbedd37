// CVideoCap: a window wrapping a Video for Windows capture window. It lists
// the installed capture drivers, connects to one, probes which depths and
// frame sizes it accepts and how many frames it buffers, previews, overlays,
// streams, grabs single frames into the caller's callback, shows the driver's
// dialogs and, when asked, paints the last frame itself.
//
// Errors are returned as FALSE and kept until GetLastError reads them. The
// frame state (caller's callback, last frame, counters, cancel flag) is shared
// by every window of the module: one capture window at a time.
#pragma once

#include "fx/collections.h"
#include "fx/fxwin.h"

#include <vfw.h>

#include <vector>

// What GetDriverInfo reports of the connected driver.
struct CAPDRVINFO {
    char szDriverName[128];
    int nBuffers;         // internal buffers (frames a grab skips)
    int nBitCount;        // the format's depth
    int nBitsMask;        // accepted depths: bit 0 1 bit ... bit 5 32 bits
    int bStandardSize;    // a probed (or the current) width is 320, 640, 160 or 400
    int nCompression;     // the format's compression code
    int nWidth;
    int nHeight;
    int bHasDlgVideoFormat;
    int bHasDlgVideoSource;
    int bHasDlgVideoDisplay;
};

// Probing steps reported to the owner: a text and, unless kNoPercent, a percent.
typedef void (*VIDEOCAP_PROGRESS)(const char* text, DWORD percent);
// Called after the window painted the last frame itself.
typedef void (*VIDEOCAP_DRAW)(HWND wnd, HDC dc);

enum VideoCapError {
    VIDEOCAP_ERR_EXISTS = -1,
    VIDEOCAP_ERR_CREATE = -2,
    VIDEOCAP_ERR_NO_DRIVERS = -3,
    VIDEOCAP_ERR_NO_SUCH_DRIVER = -4,
    VIDEOCAP_ERR_DRIVER_INDEX = -5,
    VIDEOCAP_ERR_REFUSED = -6,
    VIDEOCAP_ERR_DRIVER_RECORDS = -7,
    VIDEOCAP_ERR_NO_WINDOW = -9,
    VIDEOCAP_ERR_NOT_CONNECTED = -10,
};

class CVideoCap : public CWnd {
public:
    static const DWORD kNoPercent = 0xFFFFFFFF;
    static const int kMaxDrivers = 10;

    // windowName: the capture window's text ("ZLM_CVideoCap_Wnd" unless the
    // owner names it).
    explicit CVideoCap(const char* windowName = "ZLM_CVideoCap_Wnd");
    ~CVideoCap() override;

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, BOOL autoPlace);
    virtual void _notify(const char* text);
    virtual void _notify(const char* text, DWORD percent);

    BOOL ConnectWithDriver(const char* name);
    BOOL ConnectWithDriver(int index);
    BOOL Disconnect();
    BOOL StartPreview(BOOL on);
    BOOL StartOverlay(BOOL on);
    BOOL StartSeq(BOOL on);
    BOOL SetPreviewRate(int ms);
    BOOL GrabOneFrame();
    void ResetCache();
    BOOL Cancel();
    BOOL SetFrameCallBack(CAPVIDEOCALLBACK callback);
    BOOL SetYiedCallBack(CAPYIELDCALLBACK callback);
    BOOL SetErrorCallBack(CAPERRORCALLBACKA callback);
    BOOL SetStreamCallBack(CAPVIDEOCALLBACK callback);
    void SetDrawCallBack(VIDEOCAP_DRAW callback) { m_pDrawCallback = callback; }
    void SetProgressCallback(VIDEOCAP_PROGRESS callback) { m_pProgressCallback = callback; }

    BOOL SetCapSetup(CAPTUREPARMS* setup);
    BOOL GetCapSetup(CAPTUREPARMS* setup);
    BOOL GetCapStatus(CAPSTATUS* status);
    BOOL GetDriverCaps(CAPDRIVERCAPS* caps);
    BOOL SetFormat(BITMAPINFO* format);
    BOOL SetBitResolution(UINT bits);
    BOOL SetFrameSize(int width, int height);
    BOOL SetFrameSize(CSize size) { return SetFrameSize(size.cx, size.cy); }
    CSize GetFrameSize();
    BITMAPINFO* GetCurrentFormat() { return m_pFormat; }
    DWORD GetCurrentBitsResolution();
    DWORD GetRequiredBufferSize();
    BOOL EnumValidFrameSize(CSize& size, int i);
    BOOL IsSupportedBitsResolution(UINT bits);

    BOOL GetDriverInfo(CAPDRVINFO* info);
    int GetDriversList(CStringArray* names, CStringArray* versions);
    const char* GetDriverName();
    const char* GetDriverVer();
    int GetDriverIndex() { return m_nDriverIndex; }

    BOOL SavePalette(const char* file);
    BOOL LoadPalette(const char* file);
    BOOL PastePalette();
    BOOL CreatePalette(int frames, int colours);
    BOOL CopyFrame();
    BOOL CompressDlg();
    BOOL DisplayDlg();
    BOOL FormatDlg();
    BOOL VSourceDlg();

    void AdjustPlacement(BOOL keepSize);
    // Fits (when the placement flag is set) and centres the window in its
    // parent's client area, or the desktop's.
    void AutoSize();
    BOOL IsReady();
    int GetLastError();
    int GetPreviewFlag() { return m_bPreview; }
    BOOL SetShowFlag(BOOL show);

protected:
    // A capture message to the window, 0 while it is not a window.
    LRESULT Cap(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL Fail(int error);
    // Window and driver present, else the error is kept.
    BOOL CheckReady();
    // Sends the message when the wanted state differs; the flag follows on success.
    BOOL SwitchState(UINT message, BOOL on, BOOL& state);
    // Shows one of the driver's dialogs, then fits the window to the format.
    BOOL DriverDialog(UINT message);

    BOOL Connect(int index);
    void ReadDriverList();
    BOOL ReadCaps();
    BOOL ReadStatus();
    BOOL ReadSetup();
    BOOL ReadFormat();
    BOOL ConnectFailed(int error);

    // Probes, each restoring the format it found.
    void ProbeDepths();
    void ProbeFrameSizes();
    void ProbeBuffers();
    // Sets w x h at the current depth; true when the driver reads it back.
    BOOL TrySize(int width, int height);
    // The stored format copied for a probe and put back afterwards.
    void SaveProbeFormat();
    void RestoreProbeFormat();
    // A new format of that depth and size (from the stored one); empty for
    // a depth that is not one of the six.
    std::vector<BYTE> BuildFormat(unsigned bits, int width, int height);
    BOOL SendFormat(std::vector<BYTE>& block);
    void InstallOwnFrameCallback();

    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);

    CString m_strWindowName;

public:
    int m_bSkipProbing = 0;
    CAPDRIVERCAPS m_DriverCaps = {};
    CAPSTATUS m_CapStatus = {};
    CAPTUREPARMS m_CapParms = {};
    BITMAPINFO* m_pFormat = nullptr;
    DWORD m_nFormatSize = 0;
    CStringArray m_DriverNames;
    CStringArray m_DriverVersions;
    int m_nDriverIndex = -1;
    int m_bPreview = 0;
    int m_bOverlay = 0;
    int m_bStreaming = 0;
    int m_nPreviewRate = 50;
    int m_nBitsMask = 0;
    CDWordArray m_ValidSizes;
    CDWordArray m_CompressedSizes;
    int m_bOwnFrameCallback = 0;
    CSize m_ProbeSize;
    int m_nBuffers = 0;
    int m_bShow = 0;
    int m_nLastError = 0;
    int m_bAutoPlace = 0;
    VIDEOCAP_PROGRESS m_pProgressCallback = nullptr;
    VIDEOCAP_DRAW m_pDrawCallback = nullptr;

    DECLARE_MESSAGE_MAP()
};

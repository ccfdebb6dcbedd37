// The Ocavio plug-in: answers "Please show me the house." with a still
// picture - one frame grabbed from the video capture card, or the current
// picture of the outside camera program when its folder is set - sent as a
// bitmap attachment, by mail to a person the request names.
#include "plugin_module.h"
#include "media_request.h"

#include "picture_files.h"
#include "picture_reading.h"
#include "wait_dialog.h"

#include "reply/reply.h"

#include <io.h>
#include <vfw.h>

namespace {

#define MODULE_ROW(word, label) {word, label, "Ocavio"},
const PlugInActionRow kRows[] = {OCAVIO_ACTION_ROWS(MODULE_ROW)};

const unsigned kTestSentences[] = {10, 13, 14, 15, 16};

// How long the camera program's picture is waited for, and how long the card
// previews before its frame is saved.
const DWORD kCameraPictureWaitMs = 10000;
const DWORD kPreviewMs = 10000;
const int kMaxDrivers = 10;
const unsigned kPropertiesButton = 1004;
const UINT kNoBoardString = 12;

CWaitDialog g_WaitDialog;

CString CameraFolder()
{
    CRegistry registry;
    CString folder;
    if (registry.Connect() && registry.CreateKey(PLUGIN_REGISTRY_SECTION))
        registry.ReadString("ZLMMastolo-ExePath", folder, "");
    return folder.Left(255);
}

void Progress(int percent, const char* status)
{
    if (!g_WaitDialog.Exists())
        return;
    g_WaitDialog.SetPos(percent);
    if (status)
        g_WaitDialog.SetStatus(status);
}

// The capture window of the card's driver: connected to a driver index in
// 0..count-1 (-1 counts as 0), previewing, saving its frame as a bitmap.
class CCaptureWindow {
public:
    ~CCaptureWindow() { Destroy(); }

    bool Create(HWND parent)
    {
        Progress(0, "Create capture window...");
        m_hWnd = ::capCreateCaptureWindowA("AviCap_Basic", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 640, 480,
                                           parent, 0);
        return m_hWnd != nullptr;
    }
    static int DriverCount()
    {
        char name[80], version[80];
        int count = 0;
        while (count < kMaxDrivers && ::capGetDriverDescriptionA(static_cast<WORD>(count), name, sizeof name,
                                                                 version, sizeof version))
            ++count;
        return count;
    }
    bool Connect(int index)
    {
        if (index == -1)
            index = 0;
        if (!m_hWnd || index < 0 || index >= DriverCount())
            return false;
        m_bConnected = ::SendMessageA(m_hWnd, WM_CAP_DRIVER_CONNECT, static_cast<WPARAM>(index), 0) != 0;
        return m_bConnected;
    }
    void Preview()
    {
        ::SendMessageA(m_hWnd, WM_CAP_SET_PREVIEWRATE, 100, 0);
        ::SendMessageA(m_hWnd, WM_CAP_SET_PREVIEW, TRUE, 0);
    }
    bool SaveDIB(const CString& path)
    {
        return m_bConnected &&
               ::SendMessageA(m_hWnd, WM_CAP_FILE_SAVEDIBA, 0, reinterpret_cast<LPARAM>((LPCTSTR)path)) != 0;
    }
    void ShowDriverDialogs()
    {
        ::SendMessageA(m_hWnd, WM_CAP_DLG_VIDEOFORMAT, 0, 0);
        ::SendMessageA(m_hWnd, WM_CAP_DLG_VIDEOSOURCE, 0, 0);
    }
    void Destroy()
    {
        if (m_hWnd) {
            if (m_bConnected)
                ::SendMessageA(m_hWnd, WM_CAP_DRIVER_DISCONNECT, 0, 0);
            ::DestroyWindow(m_hWnd);
        }
        m_hWnd = nullptr;
        m_bConnected = false;
    }

    HWND m_hWnd = nullptr;
    bool m_bConnected = false;
};

// The invisible 1 x 1 popup under which the capture window and the wait
// window live while the card is probed.
class CHiddenParent {
public:
    CHiddenParent()
    {
        WNDCLASSA wc = {};
        wc.style = CS_NOCLOSE;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VxCaptureParent";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(0x10000008, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~CHiddenParent()
    {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
    }
    HWND m_hWnd = nullptr;
};

// Grabs a frame of the card into path; false when there is no card, its
// driver does not connect or the frame cannot be saved.
bool CaptureFrame(HMODULE module, const CString& path)
{
    CHiddenParent parent;
    g_WaitDialog.SetRange(0, 100);
    g_WaitDialog.Create(module, CWnd::FromHandle(parent.m_hWnd), "Vindalex Video Capture: Wait, please...");
    bool saved = false;
    {
        CCaptureWindow capture;
        if (capture.Create(parent.m_hWnd) && capture.Connect(-1)) {
            capture.Preview();
            // The card settles while the windows keep painting.
            ULONGLONG start = ::GetTickCount64();
            for (ULONGLONG now = start; now - start < kPreviewMs; now = ::GetTickCount64()) {
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT);
                Progress(static_cast<int>((now - start) * 100 / kPreviewMs), nullptr);
            }
            saved = capture.SaveDIB(path);
        }
    }
    g_WaitDialog.Destroy();
    return saved;
}

// "Capture Board &Properties": the card set up as for a capture, then the
// driver's own format and source dialogs; a card that does not connect is
// reported.
void CaptureBoardProperties(unsigned controlId)
{
    if (controlId != kPropertiesButton)
        return;
    HMODULE module = static_cast<HMODULE>(g_PlugIn.m_hModule);
    CHiddenParent parent;
    g_WaitDialog.SetRange(0, 100);
    g_WaitDialog.Create(module, CWnd::FromHandle(parent.m_hWnd), "Vindalex Video Capture: Wait, please...");
    {
        CCaptureWindow capture;
        if (capture.Create(parent.m_hWnd) && capture.Connect(-1)) {
            capture.Preview();
            g_WaitDialog.Destroy();
            capture.ShowDriverDialogs();
        } else {
            g_WaitDialog.Destroy();
            AfxShowMessageBox(nullptr, LoadPlugInString(module, kNoBoardString), "Ocavio", MB_OK | MB_ICONSTOP);
        }
    }
    g_WaitDialog.Destroy();
}

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Ocavio",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_MINUS_ONE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    0,     // "-Active" default
    nullptr,
    0,
    CaptureBoardProperties,
};

// One picture request: built by the export, run once, destroyed.
class CPictureRequest : public CMediaRequest {
public:
    using CMediaRequest::CMediaRequest;
    int Run();
};

int CPictureRequest::Run()
{
    int mode = 0;
    if (!Start(ReadPictureRequest, "Send a video capture image to: ", mode))
        return 0;
    if (m_PlugIn.m_bTestMode)
        return 1;
    if (m_PlugIn.m_nShortReplyLength != -1)
        return 0;
    PlugInLogon();

    CString path = FreshPictureFile(m_PlugIn.m_strInstallDir);
    CString camera = CameraFolder();
    bool captured = false;
    if (!camera.IsEmpty() && _access(camera + "\\SecurityCamCapture.bmp", 0) == 0)
        captured = TakeCameraPicture(camera + "\\SecurityCamCapture.bmp", path, kCameraPictureWaitMs);
    else
        captured = CaptureFrame(static_cast<HMODULE>(m_PlugIn.m_hModule), path);
    // Nothing half-written or left from a failure is sent.
    captured = captured && ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    {
        MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, m_pRecipient, &m_PlugIn.m_strMyName, mode);
        CString subject = "Image Response.";
        CString text = captured ? "I have captured an image and attached it at your request.\r\n"
                                : "There were some problems capturing image. Sorry.\r\n";
        answer.Subject(&subject);
        answer.Text(&text);
        if (captured)
            answer.Attach(path);
    }
    if (!captured || mode == MODE_EMAIL)
        ::DeleteFileA(path);
    m_PlugIn.Services().LogOff();
    return 1;
}

extern "C" int Ocavio(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequestCatchAll<CPictureRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}

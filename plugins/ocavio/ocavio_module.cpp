// The Ocavio plug-in: answers "Please show me the house." with a still
// picture - one frame grabbed from the video capture card, or the current
// picture of the outside camera program when its folder is set - sent as a
// bitmap attachment, by mail to a person the request names.
#include "plugin_module.h"
#include "media_request.h"

#include "picture_capture.h"
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

// The capture window's progress hook: each probing step in the wait window.
void Progress(const char* status, DWORD percent)
{
    if (!g_WaitDialog.Exists())
        return;
    if (percent != CVideoCap::kNoPercent)
        g_WaitDialog.SetPos(static_cast<int>(percent));
    if (status)
        g_WaitDialog.SetStatus(status);
}

// Creates the capture window under parent, the wait window showing each step,
// and connects the first driver, previewing; false when there is no card or
// its driver does not connect.
bool OpenCard(CPictureCapture& capture, CWnd* parent)
{
    Progress("Create capture window...", 0);
    capture.SetProgressCallback(Progress);
    CRect rect(0, 0, 640, 480);
    if (!capture.Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, parent, TRUE) ||
        !capture.ConnectWithDriver(-1))
        return false;
    capture.SetPreviewRate(100);
    capture.StartPreview(TRUE);
    CAPDRVINFO info;
    capture.GetDriverInfo(&info);
    return true;
}

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
        CPictureCapture capture;
        if (OpenCard(capture, CWnd::FromHandle(parent.m_hWnd))) {
            // The card settles while the windows keep painting.
            ULONGLONG start = ::GetTickCount64();
            for (ULONGLONG now = start; now - start < kPreviewMs; now = ::GetTickCount64()) {
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT);
                Progress(nullptr, static_cast<DWORD>((now - start) * 100 / kPreviewMs));
            }
            saved = capture.SaveDIB(path) != FALSE;
            capture.Disconnect();
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
        CPictureCapture capture;
        if (OpenCard(capture, CWnd::FromHandle(parent.m_hWnd))) {
            g_WaitDialog.Destroy();
            if (capture.IsReady()) {
                capture.FormatDlg();
                capture.VSourceDlg();
            }
            capture.Disconnect();
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
        return Refused() ? 1 : 0;
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

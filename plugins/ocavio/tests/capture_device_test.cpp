// Ocavio through our capture test device (an avicap32.dll of our own, loaded
// in place of Wine's stub): the frame it grabs is sent as the answer's
// picture, read back with the system's own bitmap loader; a driver that
// refuses to connect or a frame that cannot be saved gives the failure answer.
#include "picture_action_fixture.h"

#include "fx/msgbox.h"
#include "mapi/text_scramble.h"

#include <algorithm>
#include <atomic>
#include <commctrl.h>
#include <functional>

namespace {

// The test runs with avicap32 taken from its own folder (a DLL override).
class CaptureDevice : public PictureAction {};

TEST_F(CaptureDevice, FrameOfTheCardIsSentAsABitmap)
{
    _putenv("VX_CAPTURE_MODE=ok");
    SetCameraFolder("");
    ASSERT_EQ(Offer("Please show me the house."), 1) << (const char*)m_log;
    std::vector<CHTMLMsg*> pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(std::string((const char*)pages[0]->m_strBody), "I have captured an image and attached it at your request.\r\n");
    ASSERT_EQ(pages[0]->m_AttachmentNames.GetCount(), 1);
    std::vector<std::string> files = PictureFiles(m_dir);
    ASSERT_EQ(files.size(), 1u) << "the picture stays for the web page";
    std::string path = m_dir + "\\Temporary Files\\" + files[0];
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (POINT p : {POINT{0, 0}, POINT{10, 20}, POINT{63, 47}})
        EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(p.x * 4, p.y * 5, 128)) << p.x << "," << p.y;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    g_HTMLMgr.DetachMessage(pages[0]);
}

// What the wait window was told while the card was opened: its status texts
// (consecutive repeats once) and the progress bar's positions.
struct WaitWindowSeen {
    std::vector<std::string> statuses;
    std::vector<int> positions;
} g_waitSeen;

LRESULT CALLBACK WatchWaitWindow(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m) {
        int id = GetDlgCtrlID(m->hwnd);
        if (m->message == WM_SETTEXT && id == 1005 && m->lParam) {
            std::string text = reinterpret_cast<const char*>(m->lParam);
            if (g_waitSeen.statuses.empty() || g_waitSeen.statuses.back() != text)
                g_waitSeen.statuses.push_back(text);
        } else if (m->message == PBM_SETPOS && id == 1003) {
            g_waitSeen.positions.push_back(static_cast<int>(m->wParam));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(CaptureDevice, WaitWindowShowsEachProbingStep)
{
    _putenv("VX_CAPTURE_MODE=ok");
    std::string trace = m_dir + "\\trace.log";
    _putenv(("VX_CAPTURE_TRACE=" + trace).c_str());
    SetCameraFolder("");
    g_waitSeen = WaitWindowSeen{};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchWaitWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    int handled = Offer("Please show me the house.");
    UnhookWindowsHookEx(hook);
    _putenv("VX_CAPTURE_TRACE=");
    ASSERT_EQ(handled, 1) << (const char*)m_log;
    std::vector<std::string> statuses = {"Create capture window...", "Testing resolutions...",
                                         "Seaching for PAL/SECAM formats...", "Seaching for NTSC formats...",
                                         "Seaching for buffers..."};
    EXPECT_EQ(g_waitSeen.statuses, statuses);
    // The probes' percents arrive in order among the bar's positions.
    std::vector<int> percents = {15, 30, 45, 60, 75, 90, 100, 50, 100, 33, 66, 100, 0, 100};
    auto at = g_waitSeen.positions.begin();
    for (int percent : percents) {
        at = std::find(at, g_waitSeen.positions.end(), percent);
        ASSERT_NE(at, g_waitSeen.positions.end()) << "percent " << percent;
        ++at;
    }
    std::string lines = ReadAll(trace);
    EXPECT_EQ(lines.substr(0, lines.find('\n')), "window AviCap_Basic");
    for (CHTMLMsg* page : Pages())
        g_HTMLMgr.DetachMessage(page);
}

TEST_F(CaptureDevice, RefusedConnectionAndFailedSaveGiveTheFailureAnswer)
{
    SetCameraFolder("");
    for (const char* mode : {"VX_CAPTURE_MODE=refuse", "VX_CAPTURE_MODE=fail-save", "VX_CAPTURE_MODE=no-driver"}) {
        _putenv(mode);
        ASSERT_EQ(Offer("Please show me the house."), 1) << mode;
        std::vector<CHTMLMsg*> pages = Pages();
        ASSERT_EQ(pages.size(), 1u) << mode;
        EXPECT_EQ(std::string((const char*)pages[0]->m_strBody), "There were some problems capturing image. Sorry.\r\n")
            << mode;
        EXPECT_EQ(pages[0]->m_AttachmentNames.GetCount(), 0) << mode;
        EXPECT_TRUE(PictureFiles(m_dir).empty()) << mode;
        g_HTMLMgr.DetachMessage(pages[0]);
    }
}

// Finds the properties dialog of this thread, presses the button and, once
// what it does has happened (`answered`), OK, as a person would; bounded waits
// throughout.
void PressPropertiesButton(DWORD uiThread, const std::function<bool()>& answered, const char* what)
{
    HWND dialog = FindPropertiesDialog(uiThread);
    if (!dialog)
        return;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1004)));
    if (!testsupport::WaitUntil(answered))
        ADD_FAILURE() << "the properties button gave no sign within " << testsupport::kWindowWaitMs
                      << " ms: waited for " << what;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

TEST_F(CaptureDevice, PropertiesButtonShowsTheDriversDialogs)
{
    struct Case {
        const char* mode;
        const char* dialogs;  // what the driver was asked to show
        bool reported;        // a message box said the board cannot connect
    } cases[] = {
        {"VX_CAPTURE_MODE=ok", "format\nsource\n", false},
        {"VX_CAPTURE_MODE=refuse", "", true},
    };
    for (const Case& c : cases) {
        std::string log = m_dir + "\\capture-" + std::to_string(&c - cases) + ".log";
        _putenv(c.mode);
        _putenv(("VX_CAPTURE_LOG=" + log).c_str());
        std::string shown;
        std::atomic<bool> boxed{false};
        AfxMessageBoxHook old = AfxSetMessageBoxHook([&](HWND, LPCTSTR text, LPCTSTR, UINT) {
            shown = text ? text : "";
            boxed = true;
            return IDOK;
        });
        // The driver notes each dialog it was asked for in the log; a board
        // that refuses is reported in a message box.
        const bool reported = c.reported;
        std::function<bool()> answered = [&boxed, log, reported] {
            if (reported)
                return boxed.load();
            std::string lines = ReadAll(log);
            return std::count(lines.begin(), lines.end(), '\n') >= 2;
        };
        const char* what = c.reported ? "the message box saying the board cannot connect"
                                      : "the driver's format and source dialogs in its log";
        const DWORD uiThread = GetCurrentThreadId();
        RunPropertiesDialog(m_setUserInfo, [uiThread, &answered, what] { PressPropertiesButton(uiThread, answered, what); });
        AfxSetMessageBoxHook(old);
        EXPECT_EQ(ReadAll(log), c.dialogs) << c.mode;
        if (c.reported)
            EXPECT_EQ(shown, "Cannot connect to Video Capture board. \r\nCould it be in use?\r\nIs it installed properly?")
                << c.mode;
        else
            EXPECT_TRUE(shown.empty()) << shown;
    }
    _putenv("VX_CAPTURE_LOG=");
}

// Run by picture_mail_peer.py, which registers a mail profile that sends
// through its SMTP server and decodes the picture that arrives (or reads the
// refusal a requester it does not trust gets: VX_OCAVIO_REQUESTER).
TEST_F(CaptureDevice, ByMailTheFrameGoesToTheRequester)
{
    std::string profile = Env("VX_OCAVIO_PROFILE");
    if (profile.empty())
        GTEST_SKIP() << "run by picture_mail_peer.py";
    _putenv("VX_CAPTURE_MODE=ok");
    SetCameraFolder("");
    CString user = profile.c_str(), password;
    ZLMScrambleText(user, kScrambleKeyMailProfile);
    ZLMScrambleText(password, kScrambleKeyMailPassword);
    m_setUserInfo(&user, USERINFO_MAIL_USER);
    m_setUserInfo(&password, USERINFO_MAIL_PASSWORD);
    const std::string requester =
        Env("VX_OCAVIO_REQUESTER").empty() ? std::string("someone@example.com") : Env("VX_OCAVIO_REQUESTER");
    // Answered either way: the picture or the refusal went out.
    ASSERT_EQ(Offer("Please take a picture of the house.", "0", requester.c_str()), 1) << (const char*)m_log;
    std::printf("%s", (const char*)m_log);
    EXPECT_TRUE(Pages().empty());
    EXPECT_TRUE(PictureFiles(m_dir).empty()) << "a picture sent by mail is removed";
}

} // namespace

// The transfer dialogs against real servers on loopback: Python's http.server
// with our handler and pyftpdlib, started by transfer_peers.py, which passes
// their ports in the environment. Without them the tests are skipped. The
// program defines some of the dialogs' string numbers with texts of its own
// (clashing_strings.rc): the texts checked here are the library's.
#include "FTPTransferDlg.h"
#include "HttpDownloadDlg.h"
#include "fx/msgbox.h"
#include "testsupport/testsupport.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <commctrl.h>
#include <string>
#include <vector>

namespace {

std::string Env(const char* name)
{
    char value[1024];
    DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    return n && n < sizeof value ? std::string(value, n) : std::string();
}

// The bytes the HTTP handler and the FTP fixture serve: byte i is (i * 7 + i / 251) & 0xFF.
std::string Pattern(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

// The transfer dialog of the test's thread (the one with the progress bar), or null.
HWND TransferDialogOf(DWORD thread)
{
    for (HWND h : testsupport::ThreadWindows(thread, "#32770"))
        if (::GetDlgItem(h, 1003))
            return h;
    return nullptr;
}

// Bounds a transfer dialog run modally on this thread: one still open after
// the deadline fails the test and is cancelled as the user would (Cancel,
// which stops the transfer and then ends the dialog).
testsupport::ModalWatchdog TransferWatchdog(const std::string& what)
{
    return testsupport::ModalWatchdog("the transfer dialog to end: " + what, testsupport::kModalLoopMs, [] {
        if (HWND dlg = TransferDialogOf(::GetCurrentThreadId()))
            ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        else
            testsupport::CloseThreadModalState();
    });
}

// Presses Cancel on the test thread's transfer dialog once its bar has moved.
// Runs while the dialog runs modally on the test's thread; joining it pumps
// that thread, and the bar is asked with a time-out, so a reply that never
// comes neither blocks the script nor the test.
class CancelWhenMoving {
public:
    CancelWhenMoving()
        : m_thread(::GetCurrentThreadId()), m_script([this] {
              const bool moved = testsupport::WaitUntil([this] {
                  if (m_stop)
                      return true;
                  HWND dlg = TransferDialogOf(m_thread);
                  HWND bar = dlg ? ::GetDlgItem(dlg, 1003) : nullptr;
                  DWORD_PTR pos = 0;
                  if (!bar || !::SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 1000, &pos) || pos == 0)
                      return false;
                  ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
                  m_pressed = true;
                  return true;
              }, testsupport::kModalLoopMs);
              if (!moved)
                  ADD_FAILURE() << "the transfer dialog's progress bar never moved, so Cancel was not pressed";
          })
    {
    }
    ~CancelWhenMoving()
    {
        m_stop = true;
        m_script.Join();
    }
    bool Pressed() const { return m_pressed; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_pressed{false};
    DWORD m_thread;
    testsupport::ScriptThread m_script;
};

class TransferDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_http = Env("VX_HTTP_PORT");
        m_ftp = Env("VX_FTP_PORT");
        m_ftpRoot = Env("VX_FTP_ROOT");
        if (m_http.empty() || m_ftp.empty())
            GTEST_SKIP() << "run by transfer_peers.py, which starts the servers";
        m_oldBox = AfxSetMessageBoxHook([this](HWND, LPCTSTR text, LPCTSTR, UINT type) {
            m_boxes.push_back(text);
            return (type & 0xF) == MB_YESNO ? m_answer : IDOK;
        });
    }
    void TearDown() override { AfxSetMessageBoxHook(m_oldBox); }

    INT_PTR Download(const std::string& object, const std::string& file, bool silent = true)
    {
        CHttpDownloadDlg dlg(nullptr);
        dlg.m_sURLToDownload = ("http://127.0.0.1:" + m_http + object).c_str();
        dlg.m_sFileToDownloadInto = file.c_str();
        dlg.m_bSilent = silent;
        auto watchdog = TransferWatchdog("download of " + object);
        INT_PTR r = dlg.DoModal();
        watchdog.Disarm();
        m_error = static_cast<LPCTSTR>(dlg.GetErrorText());
        return r;
    }

    std::string m_http, m_ftp, m_ftpRoot, m_error;
    std::vector<std::string> m_boxes;
    int m_answer = IDYES;
    AfxMessageBoxHook m_oldBox;
    testsupport::TempDir m_dir;
};

TEST_F(TransferDialogs, HttpBodiesArriveWhole)
{
    const struct {
        const char* object;
        size_t size;
    } cases[] = {
        {"/data/3000000", 3000000},      // with a length
        {"/nolength/200000", 200000},    // no Content-Length, closed at the end
        {"/slow/300000", 300000},        // pieces with pauses between them
        {"/data/0", 0},                  // Content-Length 0
    };
    for (auto c : cases) {
        std::string file = m_dir.file("got.bin");
        ::DeleteFileA(file.c_str());
        ASSERT_EQ(IDOK, Download(c.object, file)) << c.object << " " << m_error;
        EXPECT_EQ(Pattern(c.size), testsupport::ReadFile(file)) << c.object;
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(TransferDialogs, HttpFailuresLeaveNoFile)
{
    const struct {
        const char* object;
        const char* error;
    } cases[] = {
        {"/missing", "Failed to receive a valid HTTP response from the server"},
        {"/secret", "Failed to receive a valid HTTP response from the server"},  // 401: no password box when silent
        {"/short/100000", "An error occurred while downloading the file, Error:"},  // ends before its length
    };
    for (auto c : cases) {
        std::string file = m_dir.file("fail.bin");
        EXPECT_EQ(IDCANCEL, Download(c.object, file)) << c.object;
        EXPECT_FALSE(testsupport::FileExists(file)) << c.object;
        EXPECT_EQ(c.error, m_error.substr(0, std::string(c.error).size())) << c.object;
    }
    EXPECT_TRUE(m_boxes.empty());  // silent: no error box
}

TEST_F(TransferDialogs, HttpErrorBoxUnlessSilent)
{
    std::string file = m_dir.file("loud.bin");
    EXPECT_EQ(IDCANCEL, Download("/missing", file, false));
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ("Failed to receive a valid HTTP response from the server", m_boxes[0]);
}

TEST_F(TransferDialogs, HttpCancelLeavesNoFileAndNoMessage)
{
    std::string file = m_dir.file("cancelled.bin");
    CancelWhenMoving cancel;
    EXPECT_EQ(IDCANCEL, Download("/endless", file, false));
    EXPECT_TRUE(cancel.Pressed()) << "the transfer ended before Cancel was pressed";
    EXPECT_FALSE(testsupport::FileExists(file));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(TransferDialogs, HttpExistingFileQuestion)
{
    std::string file = m_dir.file("existing.bin");
    ASSERT_TRUE(testsupport::WriteFile(file, "keep me"));
    m_answer = IDNO;
    EXPECT_EQ(IDCANCEL, Download("/data/1000", file, false));
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ("The file '" + file + "' already exists.\nDo you want to replace it?", m_boxes[0]);
    EXPECT_EQ("keep me", testsupport::ReadFile(file));
    m_answer = IDYES;
    EXPECT_EQ(IDOK, Download("/data/1000", file, false));
    EXPECT_EQ(Pattern(1000), testsupport::ReadFile(file));

    CHttpDownloadDlg refuse(nullptr);  // silent without the overwrite flag
    refuse.m_sURLToDownload = ("127.0.0.1:" + m_http + "/data/10").c_str();  // no scheme: http is assumed
    refuse.m_sFileToDownloadInto = file.c_str();
    refuse.m_bSilent = true;
    refuse.m_bOverwrite = false;
    {
        auto watchdog = TransferWatchdog("refused overwrite");
        EXPECT_EQ(IDCANCEL, refuse.DoModal());
    }
    EXPECT_EQ(Pattern(1000), testsupport::ReadFile(file));
}

INT_PTR Ftp(const std::string& port, bool download, const std::string& remote, const std::string& local,
            bool silent, bool overwrite, std::string* error)
{
    CFTPTransferDlg dlg(nullptr);
    dlg.m_bDownload = download;
    dlg.m_sServer = "127.0.0.1";
    dlg.m_nPort = static_cast<INTERNET_PORT>(std::stoi(port));
    dlg.m_sUserName = "vx";
    dlg.m_sPassword = "secret";
    dlg.m_sRemoteFile = remote.c_str();
    dlg.m_sLocalFile = local.c_str();
    dlg.m_bSilent = silent;
    dlg.m_bOverwrite = overwrite;
    auto watchdog = TransferWatchdog(std::string(download ? "FTP download of " : "FTP upload to ") + remote);
    INT_PTR r = dlg.DoModal();
    watchdog.Disarm();
    if (error)
        *error = static_cast<LPCTSTR>(dlg.GetErrorText());
    return r;
}

TEST_F(TransferDialogs, FtpDownloadAndUpload)
{
    std::string local = m_dir.file("ftp.bin");
    std::string error;
    ASSERT_EQ(IDOK, Ftp(m_ftp, true, "big.bin", local, true, true, &error)) << error;
    EXPECT_EQ(Pattern(2500000), testsupport::ReadFile(local));

    std::string upload = m_dir.file("up.bin");
    std::string content = Pattern(3300000).substr(17);
    ASSERT_TRUE(testsupport::WriteFile(upload, content));
    ASSERT_EQ(IDOK, Ftp(m_ftp, false, "uploaded.bin", upload, true, true, &error)) << error;
    EXPECT_EQ(content, testsupport::ReadFile(m_ftpRoot + "\\uploaded.bin"));
    EXPECT_FALSE(testsupport::FileExists(m_ftpRoot + "\\uploaded.bin.vxpart"));
}

TEST_F(TransferDialogs, FtpMissingFileShowsTheServersMessage)
{
    std::string local = m_dir.file("none.bin");
    std::string error;
    EXPECT_EQ(IDCANCEL, Ftp(m_ftp, true, "no-such-file.bin", local, false, true, &error));
    ASSERT_EQ(1u, m_boxes.size());
    const std::string head = "An error occurred while attempting to open the specified remote file, Error:\r\n";
    EXPECT_EQ(head, m_boxes[0].substr(0, head.size()));
    EXPECT_NE(std::string::npos, m_boxes[0].find("550")) << m_boxes[0];
    EXPECT_FALSE(testsupport::FileExists(local));
}

TEST_F(TransferDialogs, FtpOverwriteQuestionAndCancelledUpload)
{
    std::string remote = m_ftpRoot + "\\keep.bin";
    ASSERT_TRUE(testsupport::WriteFile(remote, "server copy"));
    std::string upload = m_dir.file("new.bin");
    ASSERT_TRUE(testsupport::WriteFile(upload, Pattern(4000000)));
    std::string error;

    // Silent without the overwrite flag: nothing asked, nothing shown, the remote file untouched.
    EXPECT_EQ(IDCANCEL, Ftp(m_ftp, false, "keep.bin", upload, true, false, &error));
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ("server copy", testsupport::ReadFile(remote));

    // Asked through the hook: No keeps it.
    m_answer = IDNO;
    EXPECT_EQ(IDCANCEL, Ftp(m_ftp, false, "keep.bin", upload, false, true, &error));
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ("The file 'keep.bin' already exists on the server.\nDo you want to replace it?", m_boxes[0]);
    EXPECT_EQ("server copy", testsupport::ReadFile(remote));

    // Yes, then Cancel during the upload: the server's file is still whole, the local one stays.
    m_answer = IDYES;
    {
        CancelWhenMoving cancel;
        EXPECT_EQ(IDCANCEL, Ftp(m_ftp, false, "keep.bin", upload, false, true, &error));
        EXPECT_TRUE(cancel.Pressed()) << "the transfer ended before Cancel was pressed";
    }
    EXPECT_EQ("server copy", testsupport::ReadFile(remote));
    EXPECT_FALSE(testsupport::FileExists(remote + ".vxpart"));
    EXPECT_TRUE(testsupport::FileExists(upload));

    // Yes and let it run: replaced.
    EXPECT_EQ(IDOK, Ftp(m_ftp, false, "keep.bin", upload, false, true, &error)) << error;
    EXPECT_EQ(Pattern(4000000), testsupport::ReadFile(remote));
}

// A server that will not rename over an existing name: the upload still
// replaces the file; and when the new file cannot take the name at all, the
// server's file keeps it, whole. Nothing is left behind either way.
TEST_F(TransferDialogs, FtpUploadOnAServerThatWillNotRenameOverAName)
{
    const std::string strict = m_ftpRoot + "\\strict";
    std::string upload = m_dir.file("new.bin");
    const std::string content = Pattern(300000).substr(5);
    ASSERT_TRUE(testsupport::WriteFile(upload, content));
    std::string error;

    ASSERT_TRUE(testsupport::WriteFile(strict + "\\replace.bin", "server copy"));
    EXPECT_EQ(IDOK, Ftp(m_ftp, false, "strict/replace.bin", upload, true, true, &error)) << error;
    EXPECT_EQ(content, testsupport::ReadFile(strict + "\\replace.bin"));

    ASSERT_TRUE(testsupport::WriteFile(strict + "\\locked.bin", "server copy"));
    EXPECT_EQ(IDCANCEL, Ftp(m_ftp, false, "strict/locked.bin", upload, true, true, &error));
    EXPECT_NE(std::string::npos, error.find("uploading")) << error;
    ASSERT_TRUE(testsupport::FileExists(strict + "\\locked.bin")) << "the server's file was deleted";
    EXPECT_EQ("server copy", testsupport::ReadFile(strict + "\\locked.bin"));

    for (const char* left : {"replace.bin.vxpart", "replace.bin.vxold", "locked.bin.vxpart", "locked.bin.vxold"})
        EXPECT_FALSE(testsupport::FileExists(strict + "\\" + left)) << left;
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(TransferDialogs, FtpCancelledDownloadDeletesTheLocalFile)
{
    std::string local = m_dir.file("partial.bin");
    std::string error;
    CancelWhenMoving cancel;
    EXPECT_EQ(IDCANCEL, Ftp(m_ftp, true, "big.bin", local, false, true, &error));
    EXPECT_TRUE(cancel.Pressed()) << "the transfer ended before Cancel was pressed";
    EXPECT_FALSE(testsupport::FileExists(local));
    EXPECT_TRUE(m_boxes.empty());
}

} // namespace

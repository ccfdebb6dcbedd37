// The explorer file dialog with the hook and a child template: the child
// window is the object's, the notifications arrive, a refused file keeps the
// dialog open, and the chosen path comes back.
#include "fx/fxwin.h"
#include "gdi_controls_ids.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ProbeDialog : public CFileDialog {
public:
    using CFileDialog::CFileDialog;
    std::vector<std::string> events;
    int refusals = 0;

protected:
    BOOL OnInitDialog() override
    {
        events.push_back("init");
        return CFileDialog::OnInitDialog();
    }
    void OnInitDone() override { events.push_back("initdone"); }
    void OnFolderChange() override { events.push_back("folder"); }
    BOOL OnFileNameOK() override
    {
        events.push_back("fileok");
        if (refusals > 0) {
            --refusals;
            return FALSE;
        }
        return TRUE;
    }
};

ProbeDialog* g_dialog = nullptr;
std::string g_typed;
int g_stage = 0;
bool g_sawMark = false;

// Types a name into the system dialog and presses its OK button, twice when
// the first is refused. The test's watchdog bounds the whole dialog.
void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!g_dialog) {
        ::KillTimer(nullptr, id);
        return;
    }
    HWND dlg = g_dialog->GetFileDialogWindow();
    if (!dlg || !::IsWindowVisible(dlg))
        return;
    g_sawMark = g_sawMark || ::GetDlgItem(g_dialog->m_hWnd, IDC_GC_FILE_MARK) != nullptr;
    if (g_stage < 2) {
        // The file name: an edit (edt1) or, in newer dialogs, a combo box (cmb13).
        ::SendMessageA(dlg, CDM_SETCONTROLTEXT, ::GetDlgItem(dlg, 1152) ? 1152 : 1148, (LPARAM)g_typed.c_str());
        ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(dlg, IDOK));
        ++g_stage;
        return;
    }
    ::KillTimer(nullptr, id);
}

}  // namespace

TEST(FileDialog, ChildTemplateHookAndChosenPath)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string file = std::string(temp) + "fx_file_dialog_probe.txt";
    HANDLE h = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);

    ProbeDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ENABLETEMPLATE,
                    "Text files (*.txt)|*.txt|All Files (*.*)|*.*||");
    dlg.m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_GC_FILE_CHILD);
    dlg.refusals = 1;  // the first OK is refused: the dialog stays
    g_dialog = &dlg;
    g_typed = file;
    g_stage = 0;
    g_sawMark = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, Drive);
    testsupport::ModalWatchdog watchdog("the file dialog to take the typed name and close with OK",
                                        testsupport::kModalLoopMs, [&dlg] {
                                            if (HWND sys = dlg.GetFileDialogWindow())
                                                ::PostMessageA(sys, WM_COMMAND, IDCANCEL, 0);
                                            else
                                                testsupport::CloseThreadModalState();
                                        });
    INT_PTR result = dlg.DoModal();
    watchdog.Disarm();
    ::KillTimer(nullptr, timer);
    g_dialog = nullptr;
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(g_sawMark) << "the child template's control is in the object's window";
    EXPECT_EQ(dlg.m_hWnd, nullptr) << "the handle went with the dialog";
    ASSERT_FALSE(dlg.events.empty());
    EXPECT_EQ(dlg.events.front(), "init");
    int fileoks = 0;
    bool initDone = false;
    for (auto& e : dlg.events) {
        fileoks += e == "fileok";
        initDone |= e == "initdone";
    }
    EXPECT_TRUE(initDone);
    EXPECT_EQ(fileoks, 2);
    EXPECT_STREQ(dlg.GetFileName(), "fx_file_dialog_probe.txt");
    EXPECT_STREQ(dlg.GetFileExt(), "txt");
    EXPECT_EQ(std::string(dlg.GetPathName()), file);
    ::DeleteFileA(file.c_str());
}

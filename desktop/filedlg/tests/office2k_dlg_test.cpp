// The file dialog with the places bar under Wine: its parts after start-up,
// a jump to the desktop by path, a place without a path going nowhere, and
// the split button's menu choosing the file like the button itself.
#include "office2k_dlg.h"
#include "office2k_ids.h"

#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string FolderOf(HWND dlg)
{
    char path[MAX_PATH] = {};
    ::SendMessageA(dlg, CDM_GETFOLDERPATH, MAX_PATH, (LPARAM)path);
    return path;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    while (!s.empty() && s.back() == '\\')
        s.pop_back();
    return s;
}

void ClickWindow(HWND w, int x, int y)
{
    ::SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace

TEST(FileDialogPlaces, PlacesNavigateAndTheSplitButtonsMenuOpens)
{
    const std::string desktop = std::string(COffice2KDlg::PlacePath(ID_PLACE_DESKTOP));
    ASSERT_FALSE(desktop.empty());
    const std::string file = desktop + "\\places_probe.txt";
    HANDLE h = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);

    COffice2KDlg dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "All Files (*.*)|*.*||");
    dlg.m_ofn.lpstrTitle = "Select File";
    int stage = 0;
    std::string before;
    optest::ModalDriver driver([&] {
        HWND sys = dlg.GetFileDialogWindow();
        if (!sys || !::IsWindowVisible(sys) || !dlg.GetSplitButton().m_hWnd)
            return false;
        // The file name control: an edit, or a combo box holding one.
        const int nameId = ::GetDlgItem(sys, 1152) ? 1152 : 1148;
        switch (stage) {
        case 0: {
            EXPECT_TRUE(dlg.GetPlace(1)->IsSelected()) << "My Documents, shown as the start";
            EXPECT_FALSE(::IsWindowEnabled(dlg.GetPlace(4)->m_hWnd)) << "Web Folders is disabled";
            EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(sys, IDOK)));
            EXPECT_EQ(optest::Text(dlg.m_hWnd, IDOK), "&Open");
            EXPECT_EQ(::GetMenuItemCount(dlg.GetSplitButton().GetMenu()), 4);
            optest::SaveWindowPicture(sys, "file_dialog_open");
            // A disabled place does not react to the mouse.
            CPlacesButton* web = dlg.GetPlace(4);
            ClickWindow(web->m_hWnd, 5, 5);
            EXPECT_FALSE(web->IsSelected());
            // "Desktop" by a click.
            ClickWindow(dlg.GetPlace(2)->m_hWnd, 10, 10);
            stage = 1;
            return false;
        }
        case 1:
            if (Lower(FolderOf(sys)) != Lower(desktop))
                return false;
            EXPECT_TRUE(dlg.GetPlace(2)->IsSelected());
            EXPECT_FALSE(dlg.GetPlace(1)->IsSelected());
            if (optest::Text(sys, nameId) != "")
                return false;  // the edit empties itself on the key's release
            // A place without a path goes nowhere and leaves the edit alone.
            before = FolderOf(sys);
            ::SendMessageA(sys, CDM_SETCONTROLTEXT, nameId, (LPARAM)"kept");
            dlg.NavigateTo(ID_PLACE_HISTORY, "");
            stage = 2;
            return false;
        case 2:
            EXPECT_EQ(FolderOf(sys), before);
            EXPECT_EQ(optest::Text(sys, nameId), "kept");
            EXPECT_FALSE(dlg.GetPlace(0)->IsSelected());
            // The menu of the split button: "Open &Read-Only" opens the named file.
            ::SendMessageA(sys, CDM_SETCONTROLTEXT, nameId, (LPARAM)"places_probe.txt");
            stage = 3;
            {
                CRect r;
                dlg.GetSplitButton().GetClientRect(&r);
                // The press opens the menu modally, from the dialog's loop;
                // this timer goes on ticking inside the menu's loop.
                ::PostMessageA(dlg.GetSplitButton().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON,
                               MAKELPARAM(r.right - 5, r.bottom / 2));
            }
            return false;
        case 3: {
            // The keys go to this thread's open menu once it shows, and choose its second item.
            std::vector<HWND> menus = testsupport::ThreadWindows(::GetCurrentThreadId(), "#32768");
            if (menus.empty())
                return false;
            for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN})
                ::PostMessageA(menus.front(), WM_KEYDOWN, key, 1);
            stage = 4;
            return true;
        }
        }
        return false;
    }, "the places, the jumps and the split button's menu to open the file");
    INT_PTR result = dlg.DoModal();
    EXPECT_FALSE(driver.GaveUp()) << "stopped at stage " << stage;
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Lower(std::string(dlg.GetPathName())), Lower(file));
    ::DeleteFileA(file.c_str());
}

TEST(FileDialogPlaces, SaveDialogShowsSaveAndItsTwoItems)
{
    COffice2KDlg dlg(FALSE, "txt", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Text (*.txt)|*.txt||");
    optest::ModalDriver driver([&] {
        HWND sys = dlg.GetFileDialogWindow();
        if (!sys || !::IsWindowVisible(sys) || !dlg.GetSplitButton().m_hWnd)
            return false;
        EXPECT_EQ(optest::Text(dlg.m_hWnd, IDOK), "&Save");
        HMENU menu = dlg.GetSplitButton().GetMenu();
        EXPECT_EQ(::GetMenuItemCount(menu), 2);
        char text[64] = {};
        ::GetMenuStringA(menu, 1, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "Save with &Filter");
        optest::SaveWindowPicture(sys, "file_dialog_save");
        ::PostMessageA(sys, WM_COMMAND, IDCANCEL, 0);
        return true;
    }, "the save dialog to show and be cancelled");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(driver.Done());
}

// The file-drop icon takes files from a real drop block (the shell's
// DROPFILES layout in global memory, released by the icon).
#include "drop_files_icon.h"

#include "fx/msgbox.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

HGLOBAL DropBlock(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& n : names)
        list += n + '\0';
    list += '\0';
    HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    ::GlobalUnlock(block);
    return block;
}

class DropFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                        nullptr);
        ASSERT_TRUE(m_icon.Create("", WS_CHILD | WS_VISIBLE | SS_ICON | SS_NOTIFY, CRect(5, 5, 37, 37), &m_host, 1054));
        m_file = m_dir.file("report.txt");
        m_second = m_dir.file("second.txt");
        ASSERT_TRUE(testsupport::WriteFile(m_file, "numbers"));
        ASSERT_TRUE(testsupport::WriteFile(m_second, "more"));
        m_folder = m_dir.file("folder");
        ASSERT_TRUE(::CreateDirectoryA(m_folder.c_str(), nullptr));
        m_old = AfxSetMessageBoxHook([this](HWND, LPCTSTR text, LPCTSTR, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        AfxSetMessageBoxHook(m_old);
        if (m_icon.m_hWnd)
            m_icon.DestroyWindow();
        if (m_host.m_hWnd)
            m_host.DestroyWindow();
    }
    void Drop(const std::vector<std::string>& names)
    {
        m_icon.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(DropBlock(names)), 0);
    }

    testsupport::TempDir m_dir;
    std::string m_file, m_second, m_folder;
    CWnd m_host;
    CDropFilesIcon m_icon;
    AfxMessageBoxHook m_old;
    std::vector<std::string> m_boxes;
};

TEST_F(DropFixture, DropsAttachTheFirstRegularFile)
{
    struct Case {
        std::vector<std::string> names;
        std::string attached;  // empty: what was attached before stays
        bool message;
    };
    const Case cases[] = {
        {{m_file}, m_file, false},
        {{m_folder}, "", false},                                     // a folder attaches nothing
        {{m_second, m_file, m_folder}, m_second, true},              // the first; one message
        {{m_folder, m_file}, m_file, false},                         // the file after a folder
        {{m_dir.file("missing.txt")}, "", false},
    };
    for (const Case& c : cases) {
        m_icon.m_strPath = "before";
        m_boxes.clear();
        Drop(c.names);
        EXPECT_EQ(std::string(m_icon.m_strPath), c.attached.empty() ? "before" : c.attached) << c.names[0];
        EXPECT_EQ(m_boxes.size(), c.message ? 1u : 0u) << c.names[0];
        if (c.message)
            EXPECT_EQ(m_boxes[0], DROP_TEXT_ONE_FILE);
    }
}

TEST_F(DropFixture, TheIconFollowsTheAttachedFile)
{
    m_icon.m_strPath.Empty();
    m_icon.UpdateIcon();
    EXPECT_EQ(reinterpret_cast<HICON>(m_icon.SendMessage(STM_GETICON)), m_icon.m_hDefaultIcon);
    Drop({m_file});
    HICON shown = reinterpret_cast<HICON>(m_icon.SendMessage(STM_GETICON));
    EXPECT_NE(shown, nullptr);
    // Cleared: the default icon again.
    m_icon.m_strPath.Empty();
    m_icon.UpdateIcon();
    EXPECT_EQ(reinterpret_cast<HICON>(m_icon.SendMessage(STM_GETICON)), m_icon.m_hDefaultIcon);
    EXPECT_TRUE(m_icon.SendMessage(WM_ERASEBKGND, 0, 0)) << "the toolbar's background shows through";
}
}  // namespace

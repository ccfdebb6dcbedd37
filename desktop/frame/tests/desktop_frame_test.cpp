// The frame's tray icon, caption strip and console background on real
// windows: tip length limit, icons before and after Create, the caption's
// repaint on change only, icon slots, its height, and the background rules.
#include "anim_tray_icon.h"
#include "caption_bar.h"
#include "mdi_client.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

class Host : public CWnd {
public:
    Host()
    {
        CreateEx(0, AfxRegisterWndClass(0), "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                 nullptr);
    }
    ~Host() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
};


}  // namespace

TEST(AnimTrayIcon, TipLimitAndIconsBeforeCreate)
{
    const UINT icons[] = {149, 142, 0};
    CAnimTrayIcon tray(icons);
    tray.SetTooltipText(CString('a', 63));
    EXPECT_EQ(tray.GetTooltipText().GetLength(), 63);
    try {
        tray.SetTooltipText(CString('b', 64));
        FAIL() << "a 64-character tip is refused";
    } catch (const std::length_error& e) {
        EXPECT_STREQ(e.what(), "The maximum length of a tip string is 64");
    }
    EXPECT_EQ(tray.GetTooltipText().GetLength(), 63) << "the previous tip stays";
    // Not shown yet: the pictures do not change.
    tray.ShowActiveIcon();
    EXPECT_EQ(tray.GetFrame(), 0);
    Host host;
    ASSERT_TRUE(tray.Create(0x8001, &host));
    EXPECT_TRUE(tray.IsShown());
    tray.ShowActiveIcon();
    EXPECT_EQ(tray.GetFrame(), 1);
    tray.ShowInactiveIcon();
    EXPECT_EQ(tray.GetFrame(), 0);
    tray.RemoveIcon();
    EXPECT_FALSE(tray.IsShown());
}

TEST(CaptionBar, RepaintsOnChangeOnlyIgnoresBadSlotsAndGrowsWithText)
{
    Host host;
    CCaptionBar bar;
    ASSERT_TRUE(bar.Create(&host, 59420));
    EXPECT_NE(bar.GetDlgCtrlID(), 59393) << "the status bar's id is not the caption's";
    bar.SetText("Vindi");
    const int after = bar.GetRepaintCount();
    bar.SetText("Vindi");
    EXPECT_EQ(bar.GetRepaintCount(), after);
    bar.SetText("Other");
    EXPECT_EQ(bar.GetRepaintCount(), after + 1);

    EXPECT_EQ(bar.SetIcon(1, 5), 0);
    EXPECT_EQ(bar.SetIcon(1, -1), 0);
    EXPECT_EQ(bar.GetIcon(5), nullptr);
    bar.SetIcon(60000, 0);  // no such icon: the slot is empty
    EXPECT_EQ(bar.GetIcon(0), nullptr);

    const int oneLine = bar.CalcHeight(400);
    EXPECT_EQ(oneLine, CCaptionBar::kMinHeight + 2 * CCaptionBar::kBorder);
    bar.SetText("A caption long enough that it must wrap onto several lines in a narrow bar of the frame");
    EXPECT_GT(bar.CalcHeight(200), oneLine);
    // A face name longer than a font's name field is cut, not copied past it.
    EXPECT_TRUE(bar.SetFontName(std::string(200, 'F').c_str()));
}

// A frame whose update handler for the caption's command names the text.
class CaptionFrame : public CFrameWnd {
public:
    CString m_strCaption = "From the frame";

protected:
    afx_msg void OnUpdateCaption(CCmdUI* pCmdUI) { pCmdUI->SetText(m_strCaption); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CaptionFrame, CFrameWnd)
    ON_UPDATE_COMMAND_UI(59393, OnUpdateCaption)
END_MESSAGE_MAP()

TEST(CaptionBar, DocksAtTheTopAndTakesItsTextFromTheFramesUpdateHandler)
{
    auto* frame = new CaptionFrame;  // frames delete themselves with their window
    ASSERT_TRUE(frame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 300)));
    CCaptionBar bar;
    ASSERT_TRUE(bar.Create(frame, 59420));
    bar.SetText("Vindi");
    frame->RecalcLayout();
    CRect client, placed;
    frame->GetClientRect(&client);
    bar.GetWindowRect(&placed);
    frame->ScreenToClient(&placed);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.Width(), client.Width());
    EXPECT_EQ(placed.Height(), bar.CalcHeight(client.Width()));

    // The idle pass updates the bars of the frame.
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_EQ(bar.GetText(), CString("From the frame"));
    EXPECT_TRUE(bar.IsWindowEnabled()) << "an update without disabling";
    bar.DestroyWindow();
    frame->DestroyWindow();
}

TEST(MdiClient, SolidColourGradientAndDefault)
{
    Host host;
    HWND h = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 320, 200, host.m_hWnd, nullptr,
                               AfxGetInstanceHandle(), nullptr);
    CMdiClient client;
    ASSERT_TRUE(client.SubclassWindow(h));
    CRect r(0, 0, 320, 200);
    CClientDC dc(&client);
    EXPECT_FALSE(client.PaintBackground(&dc, r)) << "nothing set: the default background";
    client.SetColor1(RGB(255, 0, 0));
    EXPECT_FALSE(client.PaintBackground(&dc, r)) << "one gradient colour is not enough";
    EXPECT_EQ(client.SetColor2(RGB(0, 0, 255)), static_cast<COLORREF>(CMdiClient::kNone));
    EXPECT_TRUE(client.PaintBackground(&dc, r));
    EXPECT_EQ(::GetPixel(dc.m_hDC, 160, 100), RGB(0, 0, 255)) << "the middle band is the second colour";
    client.SetBkColor(RGB(0, 255, 0));
    EXPECT_TRUE(client.PaintBackground(&dc, r));
    EXPECT_EQ(::GetPixel(dc.m_hDC, 160, 100), RGB(0, 255, 0)) << "a solid colour hides the gradient";
    EXPECT_EQ(client.SetBkColor(CMdiClient::kNone), RGB(0, 255, 0));
    EXPECT_TRUE(client.PaintBackground(&dc, r));
    EXPECT_EQ(::GetPixel(dc.m_hDC, 160, 100), RGB(0, 0, 255));
    client.UnsubclassWindow();
    ::DestroyWindow(h);
}

// Drives the Ocavio plug-in the way the host does, through the web pages so
// that the picture stays on disk: "Please show me the house." parsed with the
// assistant's grammar and offered row by row. With the camera program's folder
// set its picture is sent, under a fresh name for every request; without it
// the capture card is asked, and Wine's capture stub has no driver, so the
// answer says the capture failed and attaches nothing.
#include "picture_action_fixture.h"

namespace {

TEST_F(PictureAction, CameraProgramsPictureIsSentUnderAFreshNameEachTime)
{
    std::string camera = m_dir + "\\camera";
    CreateDirectoryA(camera.c_str(), nullptr);
    // A 2 x 1 bitmap of our own, as the camera program would keep it.
    const unsigned char bitmap[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 1, 0,
                                    0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0};
    std::string picture(reinterpret_cast<const char*>(bitmap), sizeof bitmap);
    std::ofstream(camera + "\\SecurityCamCapture.bmp", std::ios::binary) << picture;
    SetCameraFolder(camera);
    ASSERT_EQ(Offer("Please show me the house."), 1) << (const char*)m_log;
    ASSERT_EQ(Offer("Please take a picture of the house."), 1) << (const char*)m_log;
    std::vector<CHTMLMsg*> pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    for (CHTMLMsg* page : pages) {
        EXPECT_EQ(std::string((const char*)page->m_strSubject), "Image Response.");
        EXPECT_EQ(std::string((const char*)page->m_strBody), "I have captured an image and attached it at your request.\r\n");
        EXPECT_EQ(page->m_AttachmentNames.GetCount(), 1);
    }
    // Each request has its own file, each a copy of the camera's picture.
    std::vector<std::string> files = PictureFiles(m_dir);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0], files[1]);
    for (const std::string& f : files)
        EXPECT_EQ(ReadAll(m_dir + "\\Temporary Files\\" + f), picture) << f;
    EXPECT_NE(m_log.Find("Send a video capture image to: Someone(Web Requestuser1)."), -1) << (const char*)m_log;
    for (CHTMLMsg* page : pages)
        g_HTMLMgr.DetachMessage(page);
}

TEST_F(PictureAction, WithoutACaptureDriverTheAnswerSaysSo)
{
    SetCameraFolder("");
    ASSERT_EQ(Offer("Please show me the house."), 1) << (const char*)m_log;
    std::vector<CHTMLMsg*> pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(std::string((const char*)pages[0]->m_strBody), "There were some problems capturing image. Sorry.\r\n");
    EXPECT_EQ(pages[0]->m_AttachmentNames.GetCount(), 0);
    EXPECT_TRUE(PictureFiles(m_dir).empty()) << "a failed capture leaves no picture behind";
    g_HTMLMgr.DetachMessage(pages[0]);
    // Not a picture request: the garden is no place of the plug-in's.
    EXPECT_EQ(Offer("Please show me the garden."), 0);
}

} // namespace

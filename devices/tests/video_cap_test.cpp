// The video capture window on real Win32 windows, against our capture test
// device (an avicap32.dll of our own, loaded in place of Wine's stub and set
// up through the environment before each window is made).
#include "video_cap.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kDeviceSettings[] = {"VX_CAPTURE_MODE", "VX_CAPTURE_DRIVERS", "VX_CAPTURE_DEPTHS",
                                       "VX_CAPTURE_SIZES", "VX_CAPTURE_BUFFERS"};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::pair<std::string, DWORD>> g_progress;

void RecordProgress(const char* text, DWORD percent)
{
    g_progress.emplace_back(text ? text : "", percent);
}

struct Frame {
    int calls = 0;
    DWORD serial = 0;
    std::vector<BYTE> bytes;
} g_frame;

LRESULT CALLBACK CallerFrame(HWND, LPVIDEOHDR header)
{
    ++g_frame.calls;
    g_frame.serial = header->dwTimeCaptured;
    g_frame.bytes.assign(header->lpData, header->lpData + header->dwBytesUsed);
    return TRUE;
}

class VideoCap : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kDeviceSettings)
            Set(name, "");
        m_trace = m_dir.file("trace.log");
        Set("VX_CAPTURE_TRACE", m_trace);
        m_parent = CreateWindowExA(0, "STATIC", "capture parent", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
        g_progress.clear();
        g_frame = Frame{};
    }
    void TearDown() override
    {
        if (m_parent)
            DestroyWindow(m_parent);
        Set("VX_CAPTURE_TRACE", "");
    }
    static void Set(const std::string& name, const std::string& value)
    {
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
        _putenv((name + "=" + value).c_str());
    }
    BOOL Create(CVideoCap& cap, BOOL autoPlace = FALSE)
    {
        RECT rect = {0, 0, 640, 480};
        return cap.Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, CWnd::FromHandle(m_parent), autoPlace);
    }
    std::vector<std::string> Trace() { return Lines(testsupport::ReadFile(m_trace)); }
    int TraceCount(const std::string& line)
    {
        std::vector<std::string> lines = Trace();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    testsupport::TempDir m_dir;
    std::string m_trace;
    HWND m_parent = nullptr;
};

TEST_F(VideoCap, ErrorsAreKeptUntilReadOnce)
{
    struct Case {
        const char* name;
        const char* mode;
        const char* drivers;
        std::function<BOOL(CVideoCap&)> act;
        int error;
    } cases[] = {
        {"preview unconnected", "ok", "", [](CVideoCap& c) { return c.StartPreview(TRUE); }, -10},
        {"grab unconnected", "ok", "", [](CVideoCap& c) { return c.GrabOneFrame(); }, -10},
        {"unknown name", "ok", "Card A|Card B", [](CVideoCap& c) { return c.ConnectWithDriver("Card C"); }, -4},
        {"name of other case", "ok", "Card A", [](CVideoCap& c) { return c.ConnectWithDriver("card a"); }, -4},
        {"index = count", "ok", "Card A|Card B", [](CVideoCap& c) { return c.ConnectWithDriver(2); }, -5},
        {"index below -1", "ok", "Card A", [](CVideoCap& c) { return c.ConnectWithDriver(-2); }, -5},
        {"name with no drivers", "no-driver", "", [](CVideoCap& c) { return c.ConnectWithDriver("Card A"); }, -3},
        {"index with no drivers", "no-driver", "", [](CVideoCap& c) { return c.ConnectWithDriver(-1); }, -5},
        {"refused", "refuse", "", [](CVideoCap& c) { return c.ConnectWithDriver(0); }, -6},
        {"capabilities unreadable", "no-caps", "", [](CVideoCap& c) { return c.ConnectWithDriver(0); }, -7},
        {"created twice", "ok", "", [this](CVideoCap& c) { return Create(c); }, -1},
    };
    for (const Case& c : cases) {
        Set("VX_CAPTURE_MODE", c.mode);
        Set("VX_CAPTURE_DRIVERS", c.drivers);
        CVideoCap cap;
        ASSERT_TRUE(Create(cap)) << c.name;
        EXPECT_FALSE(c.act(cap)) << c.name;
        EXPECT_EQ(cap.GetLastError(), c.error) << c.name;
        EXPECT_EQ(cap.GetLastError(), 0) << c.name << ": read once";
        EXPECT_EQ(cap.GetDriverIndex(), -1) << c.name;
        EXPECT_FALSE(cap.IsReady()) << c.name;
    }
    CVideoCap noWindow;
    EXPECT_FALSE(noWindow.ConnectWithDriver(0));
    EXPECT_EQ(noWindow.GetLastError(), -9);
}

TEST_F(VideoCap, ConnectsTheLastDriverByIndexAndByName)
{
    Set("VX_CAPTURE_DRIVERS", "Card A|Card B|Card C");
    CVideoCap cap;
    ASSERT_TRUE(Create(cap));
    CStringArray names, versions;
    ASSERT_EQ(cap.GetDriversList(&names, &versions), 3);
    EXPECT_STREQ(names[2], "Card C");
    EXPECT_STREQ(versions[2], "1.2");
    ASSERT_TRUE(cap.ConnectWithDriver(2)) << cap.GetLastError();
    EXPECT_STREQ(cap.GetDriverName(), "Card C");
    ASSERT_TRUE(cap.ConnectWithDriver("Card B"));
    EXPECT_EQ(cap.GetDriverIndex(), 1);
    EXPECT_STREQ(cap.GetDriverVer(), "1.1");
    EXPECT_EQ(Trace().front(), "window ZLM_CVideoCap_Wnd");
    EXPECT_TRUE(cap.Disconnect());
    EXPECT_EQ(cap.GetDriverIndex(), -1);
    EXPECT_EQ(cap.GetCurrentFormat(), nullptr);
    EXPECT_EQ(cap.GetFrameSize(), CSize(0, 0));
    EXPECT_EQ(cap.GetRequiredBufferSize(), 0u);
    EXPECT_EQ(Trace().back(), "disconnect");
}

// A format block whose colour table does not fit is refused, never read past.
TEST_F(VideoCap, FormatWhoseColourTableDoesNotFitIsRefused)
{
    for (const char* mode : {"huge-palette", "short-block"}) {
        Set("VX_CAPTURE_MODE", mode);
        Set("VX_CAPTURE_DEPTHS", "8");
        CVideoCap cap;
        ASSERT_TRUE(Create(cap));
        EXPECT_FALSE(cap.ConnectWithDriver(0)) << mode;
        EXPECT_EQ(cap.GetLastError(), -7) << mode;
        EXPECT_EQ(cap.GetCurrentFormat(), nullptr) << mode;
        EXPECT_EQ(Trace().back(), "disconnect") << mode;
    }
    // One handed in by a caller is not passed to the driver either.
    Set("VX_CAPTURE_MODE", "ok");
    Set("VX_CAPTURE_DEPTHS", "8,24");
    CVideoCap cap;
    ASSERT_TRUE(Create(cap));
    cap.m_bSkipProbing = 1;
    ASSERT_TRUE(cap.ConnectWithDriver(0));
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + 1024);
    BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    *h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 64, 48, 1, 8, BI_RGB, 0, 0, 0, 300, 0};
    EXPECT_FALSE(cap.SetFormat(reinterpret_cast<BITMAPINFO*>(block.data())));
    EXPECT_EQ(TraceCount("format 8 64x48 accepted"), 0);
    h->biClrUsed = 0;
    EXPECT_TRUE(cap.SetFormat(reinterpret_cast<BITMAPINFO*>(block.data())));
    EXPECT_EQ(cap.GetCurrentBitsResolution(), 8u);
}

TEST_F(VideoCap, SequenceStopsWhenSwitchedOff)
{
    CVideoCap cap;
    ASSERT_TRUE(Create(cap));
    cap.m_bSkipProbing = 1;
    ASSERT_TRUE(cap.ConnectWithDriver(0));
    EXPECT_TRUE(cap.StartSeq(FALSE));
    EXPECT_EQ(TraceCount("stop"), 0) << "nothing streams yet";
    ASSERT_TRUE(cap.StartSeq(TRUE));
    EXPECT_TRUE(cap.StartSeq(FALSE));
    std::vector<std::string> lines = Trace();
    auto started = std::find(lines.begin(), lines.end(), "sequence nofile");
    ASSERT_NE(started, lines.end());
    EXPECT_EQ(*(started - 1), "setup 20000 yield 1");
    EXPECT_NE(std::find(started, lines.end(), "stop"), lines.end());
}

TEST_F(VideoCap, PreviewOverlayAndRateFollowTheDriver)
{
    CVideoCap cap;
    ASSERT_TRUE(Create(cap));
    cap.m_bSkipProbing = 1;
    ASSERT_TRUE(cap.ConnectWithDriver(-1));
    EXPECT_FALSE(cap.SetPreviewRate(-1));
    EXPECT_TRUE(cap.SetPreviewRate(100));
    EXPECT_TRUE(cap.StartPreview(TRUE));
    EXPECT_TRUE(cap.StartPreview(TRUE));
    EXPECT_EQ(cap.GetPreviewFlag(), 1);
    EXPECT_TRUE(cap.StartOverlay(TRUE));
    EXPECT_EQ(TraceCount("preview rate 100"), 1);
    EXPECT_EQ(TraceCount("preview 1"), 1) << "a state already set is not sent again";
    EXPECT_EQ(TraceCount("overlay 1"), 1);
    CAPSTATUS status = {};
    ASSERT_TRUE(cap.GetCapStatus(&status));
    EXPECT_TRUE(status.fLiveWindow);
    EXPECT_FALSE(cap.GetCapStatus(nullptr));
}

TEST_F(VideoCap, DepthsOutsideTheSixAreNeverSupported)
{
    Set("VX_CAPTURE_DEPTHS", "8,16,24");
    CVideoCap cap;
    ASSERT_TRUE(Create(cap));
    ASSERT_TRUE(cap.ConnectWithDriver(0));
    struct Case {
        UINT bits;
        BOOL supported;
    } cases[] = {{12, FALSE}, {0, FALSE}, {2, FALSE}, {1, FALSE}, {8, TRUE}, {16, TRUE}, {24, TRUE}, {32, FALSE}};
    for (const Case& c : cases)
        EXPECT_EQ(cap.IsSupportedBitsResolution(c.bits), c.supported) << c.bits;
    EXPECT_FALSE(cap.SetBitResolution(32));
    ASSERT_TRUE(cap.SetBitResolution(16));
    EXPECT_EQ(cap.GetCurrentBitsResolution(), 16u);
    EXPECT_EQ(cap.GetRequiredBufferSize(), 64u * 48 * 2);
}

// Probing finds exactly the depths and sizes the card accepts, reports each
// step, and leaves the card in the format it had.
TEST_F(VideoCap, ProbingFindsWhatTheCardAccepts)
{
    Set("VX_CAPTURE_DEPTHS", "8,24");
    // 200 x 150 lies in two sweeps; 64 x 48 and 1000 x 750 in none.
    Set("VX_CAPTURE_SIZES", "320x240,384x288,160x120,340x255,300x225,200x150,64x48,1000x750");
    CVideoCap cap;
    cap.SetProgressCallback(RecordProgress);
    ASSERT_TRUE(Create(cap));
    ASSERT_TRUE(cap.ConnectWithDriver(0)) << cap.GetLastError();

    CAPDRVINFO info = {};
    ASSERT_TRUE(cap.GetDriverInfo(&info));
    EXPECT_EQ(info.nBitsMask, (1 << 2) | (1 << 4));
    std::vector<std::pair<int, int>> sizes;
    CSize size;
    for (int i = 0; cap.EnumValidFrameSize(size, i); ++i)
        sizes.emplace_back(size.cx, size.cy);
    std::vector<std::pair<int, int>> expected = {{384, 288}, {160, 120}, {320, 240}, {340, 255},
                                                 {300, 225}, {200, 150}};
    EXPECT_EQ(sizes, expected);
    EXPECT_EQ(cap.GetFrameSize(), CSize(320, 240)) << "the format found is restored";
    EXPECT_EQ(cap.GetCurrentBitsResolution(), 8u);

    std::vector<std::pair<std::string, DWORD>> steps = {
        {"Testing resolutions...", 15}, {"Testing resolutions...", 30},
        {"Testing resolutions...", 45}, {"Testing resolutions...", 60},
        {"Testing resolutions...", 75}, {"Testing resolutions...", 90},
        {"Testing resolutions...", 100}, {"Seaching for PAL/SECAM formats...", 50},
        {"Seaching for PAL/SECAM formats...", 100}, {"Seaching for NTSC formats...", 33},
        {"Seaching for NTSC formats...", 66}, {"Seaching for NTSC formats...", 100},
        {"Seaching for buffers...", 0}};
    ASSERT_GT(g_progress.size(), steps.size());
    using Steps = std::vector<std::pair<std::string, DWORD>>;
    EXPECT_EQ(Steps(g_progress.begin(), g_progress.begin() + static_cast<long>(steps.size())), steps);
    DWORD last = 0;
    for (size_t i = steps.size(); i < g_progress.size(); ++i) {
        EXPECT_EQ(g_progress[i].first, "Seaching for buffers...");
        EXPECT_GE(g_progress[i].second, last);
        last = g_progress[i].second;
    }
    EXPECT_EQ(g_progress.back().second, 100u);
}

// A size whose probe frame is not the uncompressed size is flagged.
TEST_F(VideoCap, ProbedSizesNoteFramesOfAnotherLength)
{
    struct Case {
        const char* mode;
        DWORD flag;
    } cases[] = {{"ok", 0}, {"short-frame", 1}};
    for (const Case& c : cases) {
        Set("VX_CAPTURE_MODE", c.mode);
        Set("VX_CAPTURE_SIZES", "64x48,160x120,320x240");
        CVideoCap cap;
        ASSERT_TRUE(Create(cap));
        ASSERT_TRUE(cap.ConnectWithDriver(0));
        ASSERT_EQ(cap.m_CompressedSizes.GetSize(), cap.m_ValidSizes.GetSize()) << c.mode;
        ASSERT_FALSE(cap.m_ValidSizes.IsEmpty()) << c.mode;
        for (int i = 0; i < cap.m_CompressedSizes.GetSize(); ++i)
            EXPECT_EQ(cap.m_CompressedSizes[i], c.flag) << c.mode << " " << (cap.m_ValidSizes[i] >> 16);
    }
}

TEST_F(VideoCap, DriverInfoDescribesTheConnectedCard)
{
    struct Case {
        const char* sizes;
        int standard;
    } cases[] = {
        {"64x48", 0},             // nothing probed, current width not standard
        {"400x300", 1},           // nothing probed, current width standard
        {"64x48,160x120", 1},     // a probed size is standard
        {"64x48,384x288", 0},     // only a PAL size probed
    };
    for (const Case& c : cases) {
        Set("VX_CAPTURE_DRIVERS", "Card A|Card B");
        Set("VX_CAPTURE_SIZES", c.sizes);
        Set("VX_CAPTURE_BUFFERS", "2");
        CVideoCap cap;
        ASSERT_TRUE(Create(cap));
        CAPDRVINFO info = {};
        EXPECT_FALSE(cap.GetDriverInfo(&info));
        EXPECT_EQ(cap.GetLastError(), -10);
        ASSERT_TRUE(cap.ConnectWithDriver("Card B"));
        EXPECT_FALSE(cap.GetDriverInfo(nullptr));
        ASSERT_TRUE(cap.GetDriverInfo(&info));
        EXPECT_STREQ(info.szDriverName, "Card B");
        EXPECT_EQ(info.nBitCount, 24);
        EXPECT_EQ(info.nBitsMask, 1 << 4);
        EXPECT_EQ(info.bStandardSize, c.standard) << c.sizes;
        EXPECT_EQ(info.nCompression, BI_RGB);
        CSize first = cap.GetFrameSize();
        EXPECT_EQ(info.nWidth, first.cx);
        EXPECT_EQ(info.nHeight, first.cy);
        EXPECT_EQ(info.bHasDlgVideoFormat, 1);
        EXPECT_EQ(info.bHasDlgVideoSource, 1);
        EXPECT_EQ(info.bHasDlgVideoDisplay, 0);
        // Two frames ready, the third late: the probe stops at the late one
        // (or earlier, when a ready one came slowly on a busy machine).
        EXPECT_GE(info.nBuffers, 1);
        EXPECT_LE(info.nBuffers, 3);
    }
}

// A grab skips the frames the card buffered and hands the next one, the test
// pattern, to the caller's callback once.
TEST_F(VideoCap, GrabSkipsTheBufferedFrames)
{
    Set("VX_CAPTURE_BUFFERS", "2");
    CVideoCap cap;
    ASSERT_TRUE(Create(cap));
    ASSERT_TRUE(cap.ConnectWithDriver(0));
    CAPDRVINFO info = {};
    ASSERT_TRUE(cap.GetDriverInfo(&info));
    // Only the buffer probe grabs here (no probed size is accepted).
    EXPECT_EQ(TraceCount("grab"), info.nBuffers);
    EXPECT_LE(info.nBuffers, 3);

    EXPECT_FALSE(cap.GrabOneFrame()) << "no callback to hand the frame to";
    cap.SetFrameCallBack(CallerFrame);
    int before = TraceCount("grab nostop");
    ASSERT_TRUE(cap.GrabOneFrame());
    EXPECT_EQ(TraceCount("grab nostop") - before, info.nBuffers + 1);
    EXPECT_EQ(g_frame.calls, 1);
    ASSERT_EQ(g_frame.bytes.size(), 64u * 48 * 3);
    for (POINT p : {POINT{0, 0}, POINT{10, 20}, POINT{63, 47}}) {
        const BYTE* px = &g_frame.bytes[static_cast<size_t>((47 - p.y) * 64 * 3 + p.x * 3)];
        EXPECT_EQ(px[0], 128) << p.x << "," << p.y;
        EXPECT_EQ(px[1], p.y * 5) << p.x << "," << p.y;
        EXPECT_EQ(px[2], p.x * 4) << p.x << "," << p.y;
    }
    cap.SetFrameCallBack(nullptr);
}

int g_draws = 0;
void CountDraw(HWND, HDC)
{
    ++g_draws;
}

// With the show flag the window stretches the last whole frame over itself;
// a frame that filled only part of its buffer is never stretched (it would
// be read past its end).
TEST_F(VideoCap, PaintsTheLastWholeFrameStretched)
{
    struct Case {
        const char* mode;
        bool pattern;
    } cases[] = {{"ok", true}, {"short-frame", false}};
    for (const Case& c : cases) {
        Set("VX_CAPTURE_MODE", c.mode);
        CVideoCap cap;
        ASSERT_TRUE(Create(cap));
        cap.m_bSkipProbing = 1;
        ASSERT_TRUE(cap.ConnectWithDriver(0));
        SetWindowPos(cap.m_hWnd, nullptr, 0, 0, 128, 96, SWP_NOZORDER);
        cap.SetFrameCallBack(CallerFrame);
        ASSERT_TRUE(cap.GrabOneFrame());
        EXPECT_FALSE(cap.SetShowFlag(TRUE));
        g_draws = 0;
        cap.SetDrawCallBack(CountDraw);
        HDC blank = GetDC(cap.m_hWnd);
        RECT all = {0, 0, 128, 96};
        FillRect(blank, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(cap.m_hWnd, blank);
        RedrawWindow(cap.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(g_draws, 1) << c.mode;
        HDC dc = GetDC(cap.m_hWnd);
        // Client (20, 80) shows pattern pixel (10, 40) at twice the size: a
        // row in the part of a short frame that did arrive.
        COLORREF seen = GetPixel(dc, 20, 80);
        ReleaseDC(cap.m_hWnd, dc);
        EXPECT_EQ(seen == RGB(40, 200, 128), c.pattern) << c.mode << " " << std::hex << seen;
        cap.SetFrameCallBack(nullptr);
    }
}

// A cancel from the progress hook ends the probing at once and disconnects.
CVideoCap* g_cancelling = nullptr;
void CancelAtFirstStep(const char* text, DWORD percent)
{
    RecordProgress(text, percent);
    g_cancelling->Cancel();
}

TEST_F(VideoCap, CancelEndsTheProbing)
{
    Set("VX_CAPTURE_SIZES", "320x240,640x480");
    CVideoCap cap;
    g_cancelling = &cap;
    cap.SetProgressCallback(CancelAtFirstStep);
    ASSERT_TRUE(Create(cap));
    EXPECT_FALSE(cap.ConnectWithDriver("Vindalex Test Capture"));
    EXPECT_FALSE(cap.IsReady());
    EXPECT_EQ(cap.GetDriverIndex(), -1);
    ASSERT_FALSE(g_progress.empty());
    EXPECT_EQ(g_progress.front(), std::make_pair(std::string("Testing resolutions..."), DWORD{15}));
    for (const auto& step : g_progress)
        EXPECT_EQ(step.first, "Testing resolutions...") << "no probe runs after the cancel";
    EXPECT_EQ(TraceCount("grab"), 0);
    EXPECT_EQ(Trace().back(), "disconnect");
    // Connecting by name clears the cancel again.
    cap.SetProgressCallback(nullptr);
    EXPECT_TRUE(cap.ConnectWithDriver("Vindalex Test Capture"));
}

TEST_F(VideoCap, ParentGoneFirstDisconnects)
{
    CVideoCap cap;
    ASSERT_TRUE(Create(cap));
    cap.m_bSkipProbing = 1;
    ASSERT_TRUE(cap.ConnectWithDriver(0));
    DestroyWindow(m_parent);
    m_parent = nullptr;
    EXPECT_EQ(Trace().back(), "disconnect");
    EXPECT_FALSE(cap.IsReady());
    EXPECT_FALSE(cap.StartPreview(TRUE));
    EXPECT_EQ(cap.GetLastError(), -9);
}

TEST_F(VideoCap, FrameSizeChangesOnlyToAcceptedSizes)
{
    Set("VX_CAPTURE_SIZES", "320x240,640x480");
    CVideoCap cap;
    ASSERT_TRUE(Create(cap, TRUE));
    cap.m_bSkipProbing = 1;
    ASSERT_TRUE(cap.ConnectWithDriver(0));
    RECT r = {};
    GetWindowRect(cap.m_hWnd, &r);
    EXPECT_EQ(r.right - r.left, 320) << "the window follows the format";
    EXPECT_EQ(r.bottom - r.top, 240);
    MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, (800 - 320) / 2);
    EXPECT_EQ(r.top, (600 - 240) / 2);
    EXPECT_FALSE(cap.SetFrameSize(100, 100));
    EXPECT_EQ(cap.GetFrameSize(), CSize(320, 240));
    ASSERT_TRUE(cap.SetFrameSize(CSize(640, 480)));
    EXPECT_EQ(cap.GetFrameSize(), CSize(640, 480));
    GetWindowRect(cap.m_hWnd, &r);
    EXPECT_EQ(r.right - r.left, 640);
}

} // namespace

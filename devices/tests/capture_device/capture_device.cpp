// A capture card for the tests: an avicap32.dll of our own whose capture
// window answers the capture messages with a fixed test pattern, loaded in
// place of Wine's stub (which has no driver). Not part of the program.
//
// Set through the environment, read when a window is created or a driver
// listed:
//   VX_CAPTURE_MODE     "ok" (default), "no-driver", "refuse" (the driver does
//                       not connect), "fail-save", "no-caps" (capabilities
//                       unreadable), "huge-palette" (the format claims more
//                       colours than its block holds), "short-block" (an
//                       8-bit format block without its colour table),
//                       "short-frame" (a frame fills half its buffer)
//   VX_CAPTURE_DRIVERS  driver names separated by "|" (default one driver)
//   VX_CAPTURE_DEPTHS   accepted depths, "24" by default ("8,24" ...)
//   VX_CAPTURE_SIZES    accepted sizes, "64x48" by default ("320x240,640x480")
//   VX_CAPTURE_BUFFERS  frames the card holds ready: after that many grabs
//                       each frame comes late (default 0)
//   VX_CAPTURE_LOG      file noting the driver dialogs shown ("format", "source")
//   VX_CAPTURE_TRACE    file noting every capture message answered
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "testsupport/split.h"

namespace {

const char kClass[] = "VxTestCaptureWindow";
const int kPatternWidth = 64;
const int kPatternHeight = 48;
const DWORD kLateFrameMs = 60;

std::string Env(const char* name, const char* fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

bool Mode(const char* mode)
{
    return Env("VX_CAPTURE_MODE", "ok") == mode;
}

using testsupport::Split;

std::vector<std::string> Drivers()
{
    return Mode("no-driver") ? std::vector<std::string>{} : Split(Env("VX_CAPTURE_DRIVERS", "Vindalex Test Capture"), '|');
}

void Note(const char* variable, const std::string& line)
{
    std::string path = Env(variable, "");
    if (path.empty())
        return;
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
}

void Trace(const std::string& line)
{
    Note("VX_CAPTURE_TRACE", line);
}

bool DepthAccepted(int bits)
{
    for (const std::string& d : Split(Env("VX_CAPTURE_DEPTHS", "24"), ','))
        if (std::atoi(d.c_str()) == bits)
            return true;
    return false;
}

bool SizeAccepted(long width, long height)
{
    for (const std::string& s : Split(Env("VX_CAPTURE_SIZES", "64x48"), ','))
        if (std::atol(s.c_str()) == width && s.find('x') != std::string::npos &&
            std::atol(s.c_str() + s.find('x') + 1) == height)
            return true;
    return false;
}

// The card's state: one capture window at a time.
struct Card {
    bool connected = false;
    int bits = 24;
    long width = kPatternWidth;
    long height = kPatternHeight;
    bool preview = false;
    bool overlay = false;
    bool capturing = false;
    int previewRate = 0;
    CAPTUREPARMS setup = {};
    CAPVIDEOCALLBACK frameCallback = nullptr;
    int readyFrames = 0;
    DWORD serial = 0;
    std::vector<BYTE> frame;
} g_card;

void ResetFormat()
{
    std::vector<std::string> depths = Split(Env("VX_CAPTURE_DEPTHS", "24"), ',');
    std::vector<std::string> sizes = Split(Env("VX_CAPTURE_SIZES", "64x48"), ',');
    g_card.bits = depths.empty() ? 24 : std::atoi(depths[0].c_str());
    if (!sizes.empty() && sizes[0].find('x') != std::string::npos) {
        g_card.width = std::atol(sizes[0].c_str());
        g_card.height = std::atol(sizes[0].c_str() + sizes[0].find('x') + 1);
    }
}

DWORD TableBytes()
{
    return g_card.bits <= 8 ? (1u << g_card.bits) * 4 : 0;
}

// The format block as the driver hands it out.
std::vector<BYTE> FormatBlock()
{
    DWORD table = Mode("short-block") ? 0 : TableBytes();
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + table, 0);
    BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    h->biSize = sizeof *h;
    h->biWidth = g_card.width;
    h->biHeight = g_card.height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(g_card.bits);
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<DWORD>(((g_card.width * g_card.bits + 31) / 32) * 4 * g_card.height);
    if (Mode("huge-palette"))
        h->biClrUsed = 100000;
    RGBQUAD* colours = reinterpret_cast<RGBQUAD*>(block.data() + sizeof *h);
    for (DWORD i = 0; i < table / 4; ++i)
        colours[i].rgbRed = colours[i].rgbGreen = colours[i].rgbBlue = static_cast<BYTE>(i * 255 / (table / 4 - 1));
    return block;
}

// The test pattern at the current format: in 24 bits red rising to the
// right, green rising downwards, blue fixed; other depths a fixed byte.
void FillFrame()
{
    long row = ((g_card.width * g_card.bits + 31) / 32) * 4;
    g_card.frame.assign(static_cast<size_t>(row * g_card.height), 0x5A);
    if (g_card.bits != 24)
        return;
    for (long y = 0; y < g_card.height; ++y)
        for (long x = 0; x < g_card.width; ++x) {
            BYTE* p = &g_card.frame[static_cast<size_t>((g_card.height - 1 - y) * row + x * 3)];
            p[0] = 128;
            p[1] = static_cast<BYTE>(y * 5);
            p[2] = static_cast<BYTE>(x * 4);
        }
}

LRESULT Grab(HWND hWnd, const char* name)
{
    if (!g_card.connected)
        return FALSE;
    Trace(name);
    if (g_card.readyFrames > 0)
        --g_card.readyFrames;
    else
        ::Sleep(kLateFrameMs);
    FillFrame();
    VIDEOHDR header = {};
    header.lpData = g_card.frame.data();
    header.dwBufferLength = static_cast<DWORD>(g_card.frame.size());
    header.dwBytesUsed = Mode("short-frame") ? header.dwBufferLength / 2 : header.dwBufferLength;
    header.dwTimeCaptured = ++g_card.serial;
    header.dwFlags = VHDR_DONE | VHDR_KEYFRAME;
    if (g_card.frameCallback)
        g_card.frameCallback(hWnd, &header);
    return TRUE;
}

bool SavePattern(const char* path)
{
    int row = (kPatternWidth * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(row) * kPatternHeight);
    for (int y = 0; y < kPatternHeight; ++y)
        for (int x = 0; x < kPatternWidth; ++x) {
            unsigned char* p = &pixels[static_cast<size_t>(kPatternHeight - 1 - y) * row + x * 3];
            p[0] = 128;                                     // blue
            p[1] = static_cast<unsigned char>(y * 5);      // green
            p[2] = static_cast<unsigned char>(x * 4);      // red
        }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = kPatternWidth;
    info.biHeight = kPatternHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
              std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return std::fclose(out) == 0 && ok;
}

LRESULT SetFormat(WPARAM size, const BITMAPINFOHEADER* h)
{
    if (!g_card.connected || !h || size < sizeof *h)
        return FALSE;
    bool accepted = DepthAccepted(h->biBitCount) && SizeAccepted(h->biWidth, h->biHeight);
    Trace("format " + std::to_string(h->biBitCount) + " " + std::to_string(h->biWidth) + "x" +
          std::to_string(h->biHeight) + (accepted ? " accepted" : " refused"));
    if (!accepted)
        return FALSE;
    g_card.bits = h->biBitCount;
    g_card.width = h->biWidth;
    g_card.height = h->biHeight;
    return TRUE;
}

LRESULT CALLBACK CaptureProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CAP_DRIVER_CONNECT:
        Trace("connect " + std::to_string(wParam));
        if (Mode("refuse") || wParam >= Drivers().size())
            return FALSE;
        g_card = Card{};
        g_card.connected = true;
        ResetFormat();
        return TRUE;
    case WM_CAP_DRIVER_DISCONNECT:
        Trace("disconnect");
        g_card.connected = false;
        g_card.frameCallback = nullptr;
        return TRUE;
    case WM_CAP_DRIVER_GET_CAPS: {
        if (!g_card.connected || Mode("no-caps") || !lParam || wParam < sizeof(CAPDRIVERCAPS))
            return FALSE;
        CAPDRIVERCAPS* caps = reinterpret_cast<CAPDRIVERCAPS*>(lParam);
        *caps = CAPDRIVERCAPS{};
        caps->fHasDlgVideoFormat = TRUE;
        caps->fHasDlgVideoSource = TRUE;
        caps->fHasDlgVideoDisplay = FALSE;
        caps->fCaptureInitialized = TRUE;
        return TRUE;
    }
    case WM_CAP_GET_STATUS: {
        if (!g_card.connected || !lParam || wParam < sizeof(CAPSTATUS))
            return FALSE;
        CAPSTATUS* status = reinterpret_cast<CAPSTATUS*>(lParam);
        *status = CAPSTATUS{};
        status->uiImageWidth = static_cast<UINT>(g_card.width);
        status->uiImageHeight = static_cast<UINT>(g_card.height);
        status->fLiveWindow = g_card.preview;
        status->fOverlayWindow = g_card.overlay;
        status->fCapturingNow = g_card.capturing;
        status->dwCurrentVideoFrame = g_card.serial;
        return TRUE;
    }
    case WM_CAP_GET_SEQUENCE_SETUP:
        if (!g_card.connected || !lParam || wParam < sizeof(CAPTUREPARMS))
            return FALSE;
        *reinterpret_cast<CAPTUREPARMS*>(lParam) = g_card.setup;
        return TRUE;
    case WM_CAP_SET_SEQUENCE_SETUP:
        if (!g_card.connected || !lParam || wParam < sizeof(CAPTUREPARMS))
            return FALSE;
        g_card.setup = *reinterpret_cast<const CAPTUREPARMS*>(lParam);
        Trace("setup " + std::to_string(g_card.setup.dwRequestMicroSecPerFrame) + " yield " +
              std::to_string(g_card.setup.fYield));
        return TRUE;
    case WM_CAP_GET_VIDEOFORMAT: {
        if (!g_card.connected)
            return 0;
        std::vector<BYTE> block = FormatBlock();
        if (!lParam || wParam == 0)
            return static_cast<LRESULT>(block.size());
        size_t n = wParam < block.size() ? wParam : block.size();
        std::memcpy(reinterpret_cast<void*>(lParam), block.data(), n);
        return static_cast<LRESULT>(n);
    }
    case WM_CAP_SET_VIDEOFORMAT:
        return SetFormat(wParam, reinterpret_cast<const BITMAPINFOHEADER*>(lParam));
    case WM_CAP_SET_CALLBACK_FRAME:
        g_card.frameCallback = reinterpret_cast<CAPVIDEOCALLBACK>(lParam);
        // A new reader finds the card's buffers full again.
        g_card.readyFrames = std::atoi(Env("VX_CAPTURE_BUFFERS", "0").c_str());
        return TRUE;
    case WM_CAP_SET_CALLBACK_VIDEOSTREAM:
    case WM_CAP_SET_CALLBACK_YIELD:
    case WM_CAP_SET_CALLBACK_ERRORA:
        return TRUE;
    case WM_CAP_GRAB_FRAME:
        return Grab(hWnd, "grab");
    case WM_CAP_GRAB_FRAME_NOSTOP:
        return Grab(hWnd, "grab nostop");
    case WM_CAP_SEQUENCE_NOFILE:
        if (!g_card.connected)
            return FALSE;
        Trace("sequence nofile");
        g_card.capturing = true;
        return TRUE;
    case WM_CAP_STOP:
        Trace("stop");
        g_card.capturing = false;
        return TRUE;
    case WM_CAP_SET_PREVIEWRATE:
        Trace("preview rate " + std::to_string(wParam));
        g_card.previewRate = static_cast<int>(wParam);
        return g_card.connected;
    case WM_CAP_SET_PREVIEW:
        Trace("preview " + std::to_string(wParam));
        g_card.preview = wParam != 0;
        return g_card.connected;
    case WM_CAP_SET_OVERLAY:
        Trace("overlay " + std::to_string(wParam));
        g_card.overlay = wParam != 0;
        return g_card.connected;
    case WM_CAP_DLG_VIDEOFORMAT:  // the driver's dialogs return at once
    case WM_CAP_DLG_VIDEOSOURCE:
        Note("VX_CAPTURE_LOG", message == WM_CAP_DLG_VIDEOFORMAT ? "format" : "source");
        return TRUE;
    case WM_CAP_DLG_VIDEODISPLAY:
    case WM_CAP_DLG_VIDEOCOMPRESSION:
        return TRUE;
    case WM_CAP_FILE_SAVEDIBA:
        return !Mode("fail-save") && lParam && SavePattern(reinterpret_cast<const char*>(lParam));
    default:
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

} // namespace

extern "C" __declspec(dllexport) HWND VFWAPI capCreateCaptureWindowA(LPCSTR name, DWORD style, int x, int y,
                                                                      int width, int height, HWND parent, int id)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CaptureProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassA(&wc);
    Trace(std::string("window ") + (name ? name : ""));
    return ::CreateWindowExA(0, kClass, name, style, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), wc.hInstance, nullptr);
}

extern "C" __declspec(dllexport) BOOL VFWAPI capGetDriverDescriptionA(UINT index, LPSTR name, INT nameLength,
                                                                       LPSTR version, INT versionLength)
{
    std::vector<std::string> drivers = Drivers();
    if (index >= drivers.size())
        return FALSE;
    if (name && nameLength > 0)
        lstrcpynA(name, drivers[index].c_str(), nameLength);
    if (version && versionLength > 0)
        lstrcpynA(version, ("1." + std::to_string(index)).c_str(), versionLength);
    return TRUE;
}

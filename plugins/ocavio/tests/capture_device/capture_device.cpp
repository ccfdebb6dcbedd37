// A capture card for the tests: an avicap32.dll of our own whose capture
// window answers the capture messages with a fixed test pattern, loaded in
// place of Wine's stub (which has no driver). Not part of the program.
// VX_CAPTURE_MODE picks its behaviour: "ok" (the default), "no-driver",
// "refuse" (the driver does not connect) or "fail-save".
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kClass[] = "VxTestCaptureWindow";
const int kWidth = 64;
const int kHeight = 48;

bool Mode(const char* mode)
{
    const char* v = std::getenv("VX_CAPTURE_MODE");
    return std::strcmp(v ? v : "ok", mode) == 0;
}

// The test pattern: red rising to the right, green rising downwards, blue fixed.
bool SavePattern(const char* path)
{
    int row = (kWidth * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(row) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            unsigned char* p = &pixels[static_cast<size_t>(kHeight - 1 - y) * row + x * 3];
            p[0] = 128;                                     // blue
            p[1] = static_cast<unsigned char>(y * 5);      // green
            p[2] = static_cast<unsigned char>(x * 4);      // red
        }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = kWidth;
    info.biHeight = kHeight;
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

LRESULT CALLBACK CaptureProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CAP_DRIVER_CONNECT:
        return Mode("refuse") || wParam != 0 ? FALSE : TRUE;
    case WM_CAP_DRIVER_DISCONNECT:
    case WM_CAP_SET_PREVIEWRATE:
    case WM_CAP_SET_PREVIEW:
        return TRUE;
    case WM_CAP_DLG_VIDEOFORMAT:  // the driver's dialogs return at once, noted in VX_CAPTURE_LOG
    case WM_CAP_DLG_VIDEOSOURCE:
        if (const char* log = std::getenv("VX_CAPTURE_LOG")) {
            if (FILE* f = std::fopen(log, "ab")) {
                std::fputs(message == WM_CAP_DLG_VIDEOFORMAT ? "format\n" : "source\n", f);
                std::fclose(f);
            }
        }
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
    return ::CreateWindowExA(0, kClass, name, style, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), wc.hInstance, nullptr);
}

extern "C" __declspec(dllexport) BOOL VFWAPI capGetDriverDescriptionA(UINT index, LPSTR name, INT nameLength,
                                                                       LPSTR version, INT versionLength)
{
    if (Mode("no-driver") || index != 0)
        return FALSE;
    if (name && nameLength > 0)
        lstrcpynA(name, "Vindalex Test Capture", nameLength);
    if (version && versionLength > 0)
        lstrcpynA(version, "1.0", versionLength);
    return TRUE;
}

// A 32-bit memory bitmap to paint into and read back pixel by pixel, saved
// as a BMP file for a person to look at.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<uint32_t*>(bits);
        m_dc = ::CreateCompatibleDC(nullptr);
        m_old = ::SelectObject(m_dc, m_bitmap);
        RECT all = {0, 0, width, height};
        HBRUSH brush = ::CreateSolidBrush(fill);
        ::FillRect(m_dc, &all, brush);
        ::DeleteObject(brush);
    }
    ~Canvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
        ::DeleteObject(m_bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // As a COLORREF (0x00BBGGRR).
    COLORREF Pixel(int x, int y) const
    {
        ::GdiFlush();
        uint32_t v = m_bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    // Copies what a window shows into the canvas, from its top-left corner.
    void CopyWindow(HWND window)
    {
        HDC dc = ::GetWindowDC(window);
        ::BitBlt(m_dc, 0, 0, m_width, m_height, dc, 0, 0, SRCCOPY);
        ::ReleaseDC(window, dc);
    }

    bool Save(const std::string& path) const
    {
        ::GdiFlush();
        BITMAPFILEHEADER file = {};
        BITMAPINFOHEADER info = {};
        info.biSize = sizeof info;
        info.biWidth = m_width;
        info.biHeight = -m_height;
        info.biPlanes = 1;
        info.biBitCount = 32;
        DWORD bytes = static_cast<DWORD>(m_width) * static_cast<DWORD>(m_height) * 4;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + bytes;
        // GDI leaves the fourth byte 0, which viewers read as fully transparent.
        std::vector<uint32_t> opaque(m_bits, m_bits + static_cast<size_t>(m_width) * static_cast<size_t>(m_height));
        for (uint32_t& v : opaque)
            v |= 0xFF000000u;
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out)
            return false;
        bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                  std::fwrite(opaque.data(), bytes, 1, out) == 1;
        return std::fclose(out) == 0 && ok;
    }

private:
    int m_width, m_height;
    HBITMAP m_bitmap = nullptr;
    uint32_t* m_bits = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// Where the tests keep their pictures: the build's artifacts folder.
inline std::string ArtifactPath(const std::string& name)
{
    const char* build = std::getenv("VX_BUILD_DIR");
    std::string dir = build ? std::string("Z:") + build + "/artifacts" : std::string("artifacts");
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "/" + name;
}

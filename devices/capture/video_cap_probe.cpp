#include "video_cap.h"
#include "video_cap_frames.h"

#include "capture_arithmetic.h"

#include <mmsystem.h>

namespace {
const unsigned kDepths[] = {1, 4, 8, 16, 24, 32};
const DWORD kDepthPercents[] = {15, 30, 45, 60, 75, 90};
const char kDepthText[] = "Testing resolutions...";
const char kPalText[] = "Seaching for PAL/SECAM formats...";
const char kNtscText[] = "Seaching for NTSC formats...";
const char kBufferText[] = "Seaching for buffers...";

struct Tried {
    int width, height;
    DWORD percent;
};
const Tried kPalSizes[] = {{384, 288, 50}, {768, 576, 100}};
const Tried kNtscSizes[] = {{160, 120, 33}, {320, 240, 66}, {640, 480, 100}};
// The order in which accepted NTSC sizes are swept.
const VideoCapMath::FrameSize kSweepOrder[] = {{320, 240}, {640, 480}, {160, 120}};

const DWORD kBufferSettleMs = 200;
const int kMostBufferGrabs = 10;
const DWORD kSlowFrameMs = 20;
} // namespace

void CVideoCap::SaveProbeFormat()
{
    if (m_pFormat)
        g_VideoCapFrames.savedFormat.assign(reinterpret_cast<BYTE*>(m_pFormat),
                                            reinterpret_cast<BYTE*>(m_pFormat) + m_nFormatSize);
    else
        g_VideoCapFrames.savedFormat.clear();
}

void CVideoCap::RestoreProbeFormat()
{
    std::vector<BYTE>& saved = g_VideoCapFrames.savedFormat;
    if (saved.empty())
        return;
    Cap(WM_CAP_SET_VIDEOFORMAT, saved.size(), reinterpret_cast<LPARAM>(saved.data()));
    ReadFormat();
}

void CVideoCap::ProbeDepths()
{
    if (!IsReady() || !m_pFormat)
        return;
    SaveProbeFormat();
    int width = static_cast<int>(m_pFormat->bmiHeader.biWidth);
    int height = static_cast<int>(m_pFormat->bmiHeader.biHeight);
    m_nBitsMask = 0;
    for (int i = 0; i < 6 && !g_VideoCapFrames.cancel; ++i) {
        std::vector<BYTE> block = BuildFormat(kDepths[i], width, height);
        if (SendFormat(block) && m_pFormat && m_pFormat->bmiHeader.biBitCount == kDepths[i])
            m_nBitsMask |= 1 << i;
        _notify(kDepthText, kDepthPercents[i]);
    }
    RestoreProbeFormat();
    _notify(kDepthText, 100);
}

BOOL CVideoCap::TrySize(int width, int height)
{
    if (!m_pFormat)
        return FALSE;
    std::vector<BYTE> block = BuildFormat(m_pFormat->bmiHeader.biBitCount, width, height);
    if (!SendFormat(block) || !m_pFormat || m_pFormat->bmiHeader.biWidth != width ||
        m_pFormat->bmiHeader.biHeight != height)
        return FALSE;
    uint32_t packed = VideoCapMath::PackSize(width, height);
    for (int i = 0; i < m_ValidSizes.GetSize(); ++i)
        if (m_ValidSizes[i] == packed)
            return TRUE;
    // One frame at this size tells whether the driver compresses it.
    g_VideoCapFrames.measuredLength = 0;
    Cap(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&VideoCapMeasuringFrameCallback));
    Cap(WM_CAP_GRAB_FRAME);
    Cap(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&VideoCapPlainFrameCallback));
    DWORD uncompressed = GetRequiredBufferSize();
    m_ValidSizes.Add(packed);
    m_CompressedSizes.Add(g_VideoCapFrames.measuredLength != uncompressed ? 1 : 0);
    return TRUE;
}

void CVideoCap::ProbeFrameSizes()
{
    if (!IsReady() || !m_pFormat)
        return;
    SaveProbeFormat();
    for (const Tried& t : kPalSizes) {
        if (g_VideoCapFrames.cancel)
            break;
        TrySize(t.width, t.height);
        _notify(kPalText, t.percent);
    }
    bool accepted[3] = {};
    for (int i = 0; i < 3 && !g_VideoCapFrames.cancel; ++i) {
        accepted[i] = TrySize(kNtscSizes[i].width, kNtscSizes[i].height) != FALSE;
        _notify(kNtscText, kNtscSizes[i].percent);
    }
    for (const VideoCapMath::FrameSize& base : kSweepOrder) {
        int i = 0;
        while (i < 3 && !(kNtscSizes[i].width == base.width && kNtscSizes[i].height == base.height))
            ++i;
        if (i == 3 || !accepted[i])
            continue;
        for (const VideoCapMath::FrameSize& f : VideoCapMath::SweepSizes(base)) {
            if (g_VideoCapFrames.cancel)
                break;
            TrySize(f.width, f.height);
        }
    }
    RestoreProbeFormat();
}

void CVideoCap::ProbeBuffers()
{
    if (!IsReady() || !m_pFormat)
        return;
    _notify(kBufferText, 0);
    SaveProbeFormat();
    Cap(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&VideoCapMeasuringFrameCallback));
    if (m_nBitsMask && m_ValidSizes.GetSize() > 0) {
        // The smallest frames fill fastest: the lowest depth at the smallest size.
        VideoCapMath::FrameSize f = VideoCapMath::UnpackSize(m_ValidSizes[0]);
        for (int i = 1; i < m_ValidSizes.GetSize(); ++i) {
            VideoCapMath::FrameSize g = VideoCapMath::UnpackSize(m_ValidSizes[i]);
            if (static_cast<long>(g.width) * g.height < static_cast<long>(f.width) * f.height)
                f = g;
        }
        m_ProbeSize = CSize(f.width, f.height);
        std::vector<BYTE> block = BuildFormat(VideoCapMath::LowestDepth(m_nBitsMask), f.width, f.height);
        SendFormat(block);
    }
    ::Sleep(kBufferSettleMs);
    int grabs = 0;
    while (grabs < kMostBufferGrabs && !g_VideoCapFrames.cancel) {
        DWORD requested = ::timeGetTime();
        g_VideoCapFrames.arrivalTime = requested;
        ++grabs;
        if (!Cap(WM_CAP_GRAB_FRAME))
            break;
        if (g_VideoCapFrames.arrivalTime - requested >= kSlowFrameMs)
            break;
        _notify(kBufferText, static_cast<DWORD>(grabs * 100 / kMostBufferGrabs));
    }
    m_nBuffers = grabs;
    RestoreProbeFormat();
    Cap(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&VideoCapPlainFrameCallback));
    _notify(kBufferText, 100);
}

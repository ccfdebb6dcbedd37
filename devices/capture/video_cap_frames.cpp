#include "video_cap.h"
#include "video_cap_frames.h"

#include <mmsystem.h>

VideoCapFrames g_VideoCapFrames;

namespace {

const int kMostGrabAttempts = 10;

void KeepFrame(LPVIDEOHDR header)
{
    VideoCapFrames& f = g_VideoCapFrames;
    if (!header) {
        f.lastHeader = VIDEOHDR{};
        f.lastFrame.clear();
        return;
    }
    f.lastHeader = *header;
    DWORD bytes = header->dwBytesUsed < header->dwBufferLength ? header->dwBytesUsed : header->dwBufferLength;
    if (!header->lpData)
        bytes = 0;
    f.lastFrame.assign(header->lpData, header->lpData + bytes);
    f.lastHeader.lpData = f.lastFrame.empty() ? nullptr : f.lastFrame.data();
    f.lastHeader.dwBytesUsed = bytes;
    f.lastHeader.dwBufferLength = bytes;
}

} // namespace

LRESULT CALLBACK VideoCapOwnFrameCallback(HWND wnd, LPVIDEOHDR header)
{
    VideoCapFrames& f = g_VideoCapFrames;
    KeepFrame(header);
    ++f.frameCounter;
    if (f.frameCounter > f.framesToSkip && f.callerCallback && !f.grabbed) {
        f.callerCallback(wnd, header);
        f.grabbed = 1;
    }
    return TRUE;
}

LRESULT CALLBACK VideoCapPlainFrameCallback(HWND wnd, LPVIDEOHDR header)
{
    KeepFrame(header);
    if (g_VideoCapFrames.callerCallback)
        g_VideoCapFrames.callerCallback(wnd, header);
    return TRUE;
}

LRESULT CALLBACK VideoCapMeasuringFrameCallback(HWND, LPVIDEOHDR header)
{
    KeepFrame(header);
    g_VideoCapFrames.arrivalTime = ::timeGetTime();
    g_VideoCapFrames.measuredLength = header ? header->dwBytesUsed : 0;
    return TRUE;
}

BOOL CVideoCap::SetFrameCallBack(CAPVIDEOCALLBACK callback)
{
    g_VideoCapFrames.callerCallback = callback;
    return TRUE;
}

void CVideoCap::InstallOwnFrameCallback()
{
    m_bOwnFrameCallback =
        Cap(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&VideoCapOwnFrameCallback)) ? 1 : 0;
}

BOOL CVideoCap::GrabOneFrame()
{
    VideoCapFrames& f = g_VideoCapFrames;
    f.cancel = 0;
    if (!CheckReady() || !f.callerCallback)
        return FALSE;
    f.frameCounter = 0;
    f.grabbed = 0;
    f.framesToSkip = m_nBuffers;
    HANDLE thread = ::GetCurrentThread();
    f.savedPriority = ::GetThreadPriority(thread);
    ::SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    if (m_bOwnFrameCallback) {
        for (int i = 0; i < kMostGrabAttempts && !f.grabbed && !f.cancel; ++i)
            if (!Cap(WM_CAP_GRAB_FRAME_NOSTOP))
                break;
    } else if (Cap(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&VideoCapPlainFrameCallback))) {
        // Without the own callback the plain one hands the next frame on.
        f.grabbed = Cap(WM_CAP_GRAB_FRAME_NOSTOP) ? 1 : 0;
    }
    ::SetThreadPriority(thread, f.savedPriority);
    return f.grabbed ? TRUE : FALSE;
}

void CVideoCap::ResetCache()
{
    if (!CheckReady() || m_nBuffers >= 2)
        return;
    CAPVIDEOCALLBACK caller = g_VideoCapFrames.callerCallback;
    g_VideoCapFrames.callerCallback = nullptr;
    Cap(WM_CAP_GRAB_FRAME_NOSTOP);
    g_VideoCapFrames.callerCallback = caller;
}

BOOL CVideoCap::Cancel()
{
    g_VideoCapFrames.cancel = 1;
    return TRUE;
}

// Recording from the sound input: the input device reports each filled buffer
// to a hidden window ("Wave Wnd"), whose handler keeps the recorded bytes and
// queues the buffer again while the recording runs.
#pragma once

#include "wave.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <vector>

// The text of a multimedia error code, as the answer reports it.
const char* WaveErrorText(MMRESULT code);

class CWaveWnd {
public:
    CWaveWnd();
    ~CWaveWnd();
    CWaveWnd(const CWaveWnd&) = delete;
    CWaveWnd& operator=(const CWaveWnd&) = delete;

    // Opens the input device with the format, reporting to the hidden window;
    // 0 or the multimedia error code.
    MMRESULT Open(UINT device, const WaveFormat& format);
    // Opens the input on the wave mapper when it is not open yet; queues two
    // buffers of bufferSize bytes and starts; each buffer that comes back
    // full becomes a block of the wave.
    MMRESULT Start(CWave* wave, DWORD bufferSize);
    // Records until the given time's worth of samples has arrived (the device
    // starts delivering some time after the start) or limitMs has passed,
    // handling the window messages as they come (no busy loop); tick is called
    // with the milliseconds of sound recorded so far. The data is cut to the
    // wanted length.
    void RecordFor(DWORD milliseconds, DWORD limitMs, void (*tick)(void* context, DWORD recorded), void* context);
    // Resets the input: the queued buffers come back.
    void Reset();
    // Stops: no buffer is queued again; waits (bounded) for the buffers to come
    // back, then closes the device and the window.
    void Close();

    HWND m_hWnd = nullptr;
    HWAVEIN m_hWaveIn = nullptr;
    DWORD m_nBufferSize = 4096;
    MMRESULT m_nLastError = 0;
    DWORD m_nBytesPerSecond = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void BufferDone(WAVEHDR* header);
    void FreeHeader(WAVEHDR* header);

    CWave* m_pWave = nullptr;
    std::vector<WAVEHDR*> m_Queued;
    bool m_bRecording = false;
};

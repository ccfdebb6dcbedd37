#include "wave_recorder.h"
#include "wait_dialog.h"

#include "fx/filedlg.h"

#include <algorithm>

namespace {

const char kWindowClass[] = "VxWaveWnd";

ATOM RegisterWaveClass(WNDPROC proc)
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kWindowClass;
        atom = ::RegisterClassA(&wc);
    }
    return atom;
}

} // namespace

const char* WaveErrorText(MMRESULT code)
{
    switch (code) {
    case MMSYSERR_BADDEVICEID:
        return "Bad device id.";
    case MMSYSERR_ALLOCATED:
        return "Resource is already allocated.";
    case MMSYSERR_INVALHANDLE:
        return "Invalid device handle.";
    case MMSYSERR_NOMEM:
        return "Out of memory.";
    case 12:
        return "Device in use by another application.";
    case WAVERR_BADFORMAT:
        return "No wave device supports format or device in use.";
    case WAVERR_UNPREPARED:
        return "Header not prepared.";
    default:
        return "Unknown error.";
    }
}

CWaveWnd::CWaveWnd() = default;

CWaveWnd::~CWaveWnd()
{
    Close();
}

MMRESULT CWaveWnd::Open(UINT device, const WaveFormat& format)
{
    if (!m_hWnd) {
        RegisterWaveClass(WindowProc);
        m_hWnd = ::CreateWindowExA(0, kWindowClass, "Wave Wnd", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        if (!m_hWnd)
            return m_nLastError = MMSYSERR_NOMEM;
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    WAVEFORMATEX wf = {};
    wf.wFormatTag = format.formatTag;
    wf.nChannels = format.channels;
    wf.nSamplesPerSec = format.samplesPerSec;
    wf.wBitsPerSample = format.bitsPerSample;
    wf.nBlockAlign = static_cast<WORD>(format.channels * format.bitsPerSample / 8);
    wf.nAvgBytesPerSec = format.samplesPerSec * wf.nBlockAlign;
    m_nBytesPerSecond = wf.nAvgBytesPerSec;
    if (m_hWaveIn)
        return m_nLastError = ::waveInOpen(nullptr, WAVE_MAPPER, &wf, 0, 0, WAVE_FORMAT_QUERY);
    MMRESULT r = ::waveInOpen(&m_hWaveIn, device, &wf, reinterpret_cast<DWORD_PTR>(m_hWnd), 0, CALLBACK_WINDOW);
    if (r != MMSYSERR_NOERROR)
        m_hWaveIn = nullptr;
    return m_nLastError = r;
}

MMRESULT CWaveWnd::Start(CWave* wave, DWORD bufferSize)
{
    if (!wave)
        return m_nLastError = MMSYSERR_INVALPARAM;
    if (!m_hWaveIn) {
        MMRESULT opened = Open(WAVE_MAPPER, wave->m_Format);
        if (!m_hWaveIn)
            return opened;
    }
    m_pWave = wave;
    m_nBufferSize = bufferSize;
    for (int i = 0; i < 2; ++i) {
        auto* header = new WAVEHDR{};
        header->lpData = reinterpret_cast<char*>(TakeSampleBuffer(bufferSize));
        header->dwBufferLength = bufferSize;
        MMRESULT r = ::waveInPrepareHeader(m_hWaveIn, header, sizeof *header);
        if (r == MMSYSERR_NOERROR)
            r = ::waveInAddBuffer(m_hWaveIn, header, sizeof *header);
        if (r != MMSYSERR_NOERROR) {
            ::waveInUnprepareHeader(m_hWaveIn, header, sizeof *header);
            FreeHeader(header);
            m_nLastError = r;
            continue;  // recording goes on with the buffers that work
        }
        m_Queued.push_back(header);
    }
    if (m_Queued.empty())
        return m_nLastError;
    m_bRecording = true;
    MMRESULT r = ::waveInStart(m_hWaveIn);
    if (r != MMSYSERR_NOERROR) {
        m_bRecording = false;
        m_nLastError = r;
    }
    return r;
}

void CWaveWnd::RecordFor(DWORD milliseconds, DWORD limitMs, void (*tick)(void* context, DWORD recorded),
                         void* context)
{
    const DWORD wanted = static_cast<DWORD>(static_cast<ULONGLONG>(m_nBytesPerSecond) * milliseconds / 1000);
    auto recordedMs = [&]() -> DWORD {
        if (!m_pWave || !m_nBytesPerSecond)
            return 0;
        return static_cast<DWORD>(static_cast<ULONGLONG>(m_pWave->GetLength()) * 1000 / m_nBytesPerSecond);
    };
    ULONGLONG start = ::GetTickCount64();
    while (m_pWave && m_pWave->GetLength() < wanted) {
        DWORD elapsed = static_cast<DWORD>(::GetTickCount64() - start);
        if (elapsed >= limitMs)
            break;
        // Sleep until a buffer comes back or a second passes for the progress.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(limitMs - elapsed, 1000), QS_ALLINPUT);
        PumpThreadMessages(10000);
        if (tick)
            tick(context, std::min(recordedMs(), milliseconds));
    }
    if (m_pWave)
        m_pWave->TrimTo(wanted);
}

void CWaveWnd::BufferDone(WAVEHDR* header)
{
    // A fresh buffer goes in before the full one is taken out, so that two
    // stay queued while the recording runs; once it stops none is added.
    if (m_bRecording && m_hWaveIn) {
        auto* fresh = new WAVEHDR{};
        fresh->lpData = reinterpret_cast<char*>(TakeSampleBuffer(m_nBufferSize));
        fresh->dwBufferLength = m_nBufferSize;
        MMRESULT r = ::waveInPrepareHeader(m_hWaveIn, fresh, sizeof *fresh);
        if (r == MMSYSERR_NOERROR)
            r = ::waveInAddBuffer(m_hWaveIn, fresh, sizeof *fresh);
        if (r == MMSYSERR_NOERROR) {
            m_Queued.push_back(fresh);
        } else {
            ::waveInUnprepareHeader(m_hWaveIn, fresh, sizeof *fresh);
            FreeHeader(fresh);
            m_nLastError = r;
        }
    }
    if (m_hWaveIn)
        ::waveInUnprepareHeader(m_hWaveIn, header, sizeof *header);
    m_Queued.erase(std::remove(m_Queued.begin(), m_Queued.end(), header), m_Queued.end());
    if (m_pWave && header->dwBytesRecorded > 0 && header->dwBytesRecorded <= header->dwBufferLength) {
        // The block takes the buffer over; only the header goes.
        DWORD width = std::max<DWORD>(1, m_pWave->m_Format.bitsPerSample / 8);
        m_pWave->AddBlock(new CWaveBlock(reinterpret_cast<uint8_t*>(header->lpData), header->dwBytesRecorded,
                                         header->dwBytesRecorded / width));
        delete header;
        return;
    }
    FreeHeader(header);
}

void CWaveWnd::FreeHeader(WAVEHDR* header)
{
    GiveBackSampleBuffer(reinterpret_cast<uint8_t*>(header->lpData));
    delete header;
}

void CWaveWnd::Reset()
{
    if (m_hWaveIn)
        ::waveInReset(m_hWaveIn);
}

void CWaveWnd::Close()
{
    m_bRecording = false;
    if (m_hWaveIn) {
        ::waveInReset(m_hWaveIn);
        // The device hands every buffer back after the reset; a device that
        // does not is not waited for beyond two seconds.
        ULONGLONG deadline = ::GetTickCount64() + 2000;
        while (!m_Queued.empty() && ::GetTickCount64() < deadline) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            PumpThreadMessages(10000);
        }
        for (WAVEHDR* header : m_Queued) {
            ::waveInUnprepareHeader(m_hWaveIn, header, sizeof *header);
            FreeHeader(header);
        }
        m_Queued.clear();
        ::waveInClose(m_hWaveIn);
        m_hWaveIn = nullptr;
    }
    if (m_hWnd) {
        ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    m_pWave = nullptr;
}

LRESULT CALLBACK CWaveWnd::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == MM_WIM_DATA) {
        auto* self = reinterpret_cast<CWaveWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (self)
            self->BufferDone(reinterpret_cast<WAVEHDR*>(lParam));
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

int CWave::Record(CWaveWnd* input, DWORD bufferSize, CWaveSink* sink)
{
    if (!input)
        return 0;
    m_pSink = sink;
    m_pInput = input;
    return input->Start(this, bufferSize) == MMSYSERR_NOERROR ? 1 : 0;
}

void CWave::Stop()
{
    if (m_pOutput)
        ::waveOutReset(static_cast<HWAVEOUT>(m_pOutput));
    if (m_pInput)
        m_pInput->Reset();
    m_pInput = nullptr;
    m_pSink = nullptr;
}

int CWave::Save(const char* path) const
{
    CString chosen = path ? path : "";
    if (chosen.IsEmpty()) {
        CFileDialog dialog(FALSE, "wav", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                           "Wave files (*.WAV)|*.WAV|All files (*.*)|*.*||");
        if (dialog.DoModal() != IDOK)
            return 0;
        chosen = dialog.GetPathName();
    }
    return SaveTo(chosen);
}

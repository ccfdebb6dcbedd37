// The Ruvelo plug-in: records ten seconds from the sound input and sends the
// recording back as a WAV attachment, mono or, when so set, stereo.
#include "plugin_module.h"
#include "media_request.h"

#include "sound_reading.h"
#include "wave.h"
#include "wave_recorder.h"
#include "wait_dialog.h"

#include "reply/reply.h"


namespace {

#define MODULE_ROW(word, label) {word, label, "Ruvelo"},
const PlugInActionRow kRows[] = {RUVELO_ACTION_ROWS(MODULE_ROW)};

const PlugInOption kOptions[] = {
    {"Stereo", PLUGIN_OPTION_CHECK, 0, nullptr, 1004},
};

const unsigned kTestSentences[] = {10, 11, 12, 13};

const DWORD kRecordingMs = 10000;
// A device that delivers slowly or stops is not waited for beyond this.
const DWORD kRecordingLimitMs = 30000;
const DWORD kBufferBytes = 4096;

// The one wait window object of the plug-in's life.
CWaitDialog g_WaitDialog;

void ShowSeconds(void*, DWORD recorded)
{
    if (g_WaitDialog.Exists())
        g_WaitDialog.SetPos(static_cast<int>(recorded / 1000));
}

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Ruvelo",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_MINUS_ONE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    0,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// One sound request: built by the export, run once, destroyed.
class CSoundRequest : public CMediaRequest {
public:
    using CMediaRequest::CMediaRequest;
    int Run();

private:
    CString FilePath() const;
};

// A new file of its own for each recording: a web or desktop answer keeps
// listing its file, so a later recording must not overwrite it. The name is
// taken with CREATE_NEW, so two recordings never share one; empty when no
// name could be taken.
CString CSoundRequest::FilePath() const
{
    CString dir = m_PlugIn.m_strInstallDir;
    if (!dir.IsEmpty() && dir.Right(1) == "\\")
        dir = dir.Left(dir.GetLength() - 1);
    dir += "\\Temporary Files";
    ::CreateDirectoryA(dir, nullptr);
    DWORD seed = static_cast<DWORD>(::GetTickCount64()) ^ (::GetCurrentProcessId() << 16);
    for (DWORD attempt = 0; attempt < 1000; ++attempt) {
        CString path;
        path.Format("%s\\SS_%08lx.wav", static_cast<const char*>(dir), static_cast<unsigned long>(seed + attempt));
        HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return path;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return CString();
}

int CSoundRequest::Run()
{
    int mode = 0;
    if (!Start(ReadSoundRequest, "Send a sound recording to: ", mode))
        return Refused() ? 1 : 0;  // a refusal is an answer: the host sends no other
    if (m_PlugIn.m_bTestMode)
        return 1;
    if (m_PlugIn.m_nShortReplyLength != -1)
        return 0;
    PlugInLogon();

    g_PlugInSettings.Load();
    bool stereo = g_PlugInSettings.GetInt("Stereo") != 0;
    CWave wave;
    wave.SetFormat(stereo ? 2 : 1, 11025, 8);
    MMRESULT error = MMSYSERR_NOERROR;
    {
        CWaveWnd input;
        error = input.Open(0, wave.m_Format);
        if (error == MMSYSERR_NOERROR) {
            g_WaitDialog.SetRange(0, static_cast<int>(kRecordingMs / 1000));
            if (g_WaitDialog.Create(static_cast<HMODULE>(m_PlugIn.m_hModule), nullptr,
                                    "Vindalex Audio Recording: Wait, please...")) {
                g_WaitDialog.SetPos(0);
                g_WaitDialog.SetStatus("Recording Audio...");
            }
            if (wave.Record(&input, kBufferBytes, nullptr))
                input.RecordFor(kRecordingMs, kRecordingLimitMs, ShowSeconds, nullptr);
            error = input.m_nLastError;
            wave.Stop();
            input.Close();
            // The buffers the reset hands back join the wave too: the
            // recording is cut to its length once they are all in.
            wave.TrimTo(static_cast<DWORD>(static_cast<ULONGLONG>(wave.m_Format.avgBytesPerSec) * kRecordingMs / 1000));
            g_WaitDialog.Destroy();
        }
    }

    CString path = FilePath();
    bool saved = !path.IsEmpty() && wave.SaveTo(path);
    bool recorded = wave.GetLength() > 0 && saved;
    if (!recorded && !path.IsEmpty())
        ::DeleteFileA(path);
    {
        MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, m_pRecipient, &m_PlugIn.m_strMyName, mode);
        CString subject = "Audio Response.";
        CString text;
        if (recorded) {
            text.Format("I have recorded %d channel sound and attached it at your request.\r\n", stereo ? 2 : 1);
            answer.Attach(path);
        } else {
            text.Format("There were some problems recording sound. Sorry.\r\n(%s)\r\n",
                        !saved && wave.GetLength() > 0 ? "The recording could not be saved." : WaveErrorText(error));
        }
        answer.Subject(&subject);
        answer.Text(&text);
    }
    if (recorded && mode == MODE_EMAIL)
        ::DeleteFileA(path);
    m_PlugIn.Services().LogOff();
    // The answer went out either way: the host must not send a second one.
    return 1;
}

extern "C" int Ruvelo(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequestCatchAll<CSoundRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}

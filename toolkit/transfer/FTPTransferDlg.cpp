// The FTP transfer dialog: WinINet FTP on a worker thread, progress on the dialog.
#include "FTPTransferDlg.h"

#include "transfer_ids.h"
#include "trellane_text.h"

#include <commctrl.h>

#include <vector>

namespace {

const UINT WM_FTPTRANSFER_THREAD_FINISHED = WM_APP + 1;
const UINT WM_FTPTRANSFER_ASK_OVERWRITE = WM_APP + 2;

enum : UINT {
    IDS_FTPTRANSFER_FILESTATUS = 102,
    IDS_FTPTRANSFER_CONNECTED = 103,
    IDS_FTPTRANSFER_RESOLVING_NAME = 104,
    IDS_FTPTRANSFER_RESOLVED_NAME = 105,
    IDS_FTPTRANSFER_CONNECTING = 106,
    IDS_FTPTRANSFER_FAIL_OPEN_FILE = 107,
    IDS_FTPTRANSFER_GETTING_FILE_INFORMATION = 108,
    IDS_FTPTRANSFER_UPLOAD_FILESTATUS = 109,
    IDS_FTPTRANSFER_GENERIC_ERROR = 110,
    IDS_FTPTRANSFER_FAIL_CONNECT_SERVER = 111,
    IDS_FTPTRANSFER_OK_TO_OVERWRITE_REMOTE = 113,
    IDS_FTPTRANSFER_ERROR_READFILE = 114,
    IDS_FTPTRANSFER_PERCENTAGE = 115,
    IDS_FTPTRANSFER_RETREIVEING_FILE = 116,
    IDS_FTPTRANSFER_OF = 117,
    IDS_FTPTRANSFER_SECONDS = 118,
    IDS_FTPTRANSFER_MINUTES = 119,
    IDS_FTPTRANSFER_MINUTES_AND_SECONDS = 120,
    IDS_FTPTRANSFER_BYTES = 121,
    IDS_FTPTRANSFER_UPLOADING_FILE = 122,
    IDS_FTPTRANSFER_KILOBYTES = 123,
    IDS_FTPTRANSFER_ERROR_WRITEFILE = 124,
    IDS_FTPTRANSFER_MEGABYTES = 125,
    IDS_FTPTRANSFER_TIMELEFT = 127,
    IDS_FTPTRANSFER_BYTESPERSECOND = 128,
    IDS_FTPTRANSFER_KILOBYTESPERSECOND = 129,
    IDS_FTPTRANSFER_OK_TO_OVERWRITE = 130,
    IDS_FTPTRANSFER_FAIL_LOCALFILE_OPEN = 131,
    IDS_FTPTRANSFER_ABORTING_TRANSFER = 132,
    IDS_FTPTRANSFER_FAIL_LOCALFILE_OPEN_UPLOAD = 133,
    IDS_FTPTRANSFER_UPLOAD_CAPTION = 134,
};

const DWORD kLookupFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE;

// Looks a remote name up; the find handle is closed at once, as the connection
// carries one data transfer at a time.
bool FindRemote(HINTERNET connection, const char* name, WIN32_FIND_DATAA* data)
{
    HINTERNET find = ::FtpFindFirstFileA(connection, name, data, kLookupFlags, 0);
    if (!find)
        return false;
    ::InternetCloseHandle(find);
    return true;
}

const TransferStringIds kStringIds = {
    IDS_FTPTRANSFER_BYTES, IDS_FTPTRANSFER_KILOBYTES, IDS_FTPTRANSFER_MEGABYTES, IDS_FTPTRANSFER_OF,
    IDS_FTPTRANSFER_SECONDS, IDS_FTPTRANSFER_MINUTES, IDS_FTPTRANSFER_MINUTES_AND_SECONDS, IDS_FTPTRANSFER_TIMELEFT,
    IDS_FTPTRANSFER_BYTESPERSECOND, IDS_FTPTRANSFER_KILOBYTESPERSECOND, IDS_FTPTRANSFER_RESOLVING_NAME,
    IDS_FTPTRANSFER_RESOLVED_NAME, IDS_FTPTRANSFER_CONNECTING, IDS_FTPTRANSFER_CONNECTED, 0,
};

} // namespace

BEGIN_MESSAGE_MAP(CFTPTransferDlg, CTransferProgressDlg)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_FTPTRANSFER_THREAD_FINISHED, OnThreadFinished)
    ON_MESSAGE(WM_FTPTRANSFER_ASK_OVERWRITE, OnAskOverwrite)
END_MESSAGE_MAP()

CFTPTransferDlg::CFTPTransferDlg(CWnd* pParent) : CTransferProgressDlg(pParent, kStringIds) {}

CFTPTransferDlg::~CFTPTransferDlg()
{
    if (m_pThread) {
        ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
        delete m_pThread;
        m_pThread = nullptr;
    }
    if (m_hFTPFile)
        ::InternetCloseHandle(m_hFTPFile);
    if (!m_bUsingAttached) {
        if (m_hFTPConnection)
            ::InternetCloseHandle(m_hFTPConnection);
        if (m_hInternetSession)
            ::InternetCloseHandle(m_hInternetSession);
    }
}

BOOL CFTPTransferDlg::Create(CWnd* pParent) { return CDialog::Create(IDD_TRANSFER_PROGRESS, pParent); }

void CFTPTransferDlg::AttachToExisitingHandles(HINTERNET hInternetSession, HINTERNET hFTPConnection)
{
    m_hInternetSession = hInternetSession;
    m_hFTPConnection = hFTPConnection;
    m_bUsingAttached = 1;
}

CString CFTPTransferDlg::UploadTemporaryName(const CString& remote) { return remote + ".vxpart"; }

CString CFTPTransferDlg::UploadSetAsideName(const CString& remote) { return remote + ".vxold"; }

BOOL CFTPTransferDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_bDownload)
        SetWindowText(TrellaneString(IDS_FTPTRANSFER_UPLOAD_CAPTION));
    ::SendDlgItemMessageA(m_hWnd, IDC_TRANSFER_ANIMATE, ACM_OPENA, reinterpret_cast<WPARAM>(TrellaneInstance()),
                          reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_TRANSFER_CLIP)));

    if (m_bDownload && ::GetFileAttributesA(m_sLocalFile) != INVALID_FILE_ATTRIBUTES) {
        if (!m_bSilent) {
            CString question = TrellaneFormat1(IDS_FTPTRANSFER_OK_TO_OVERWRITE, m_sLocalFile);
            if (AfxShowMessageBox(m_hWnd, question, AfxGetAppName(), MB_YESNO) != IDYES) {
                EndDialog(IDCANCEL);
                return TRUE;
            }
        } else if (!m_bOverwrite) {
            EndDialog(IDCANCEL);
            return TRUE;
        }
    }

    UINT flags = m_bDownload ? CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite
                             : CFile::modeRead | CFile::shareDenyWrite;
    CFileException ex;
    if (!m_LocalFile.Open(m_sLocalFile, flags, &ex)) {
        UINT id = m_bDownload ? IDS_FTPTRANSFER_FAIL_LOCALFILE_OPEN : IDS_FTPTRANSFER_FAIL_LOCALFILE_OPEN_UPLOAD;
        m_sError = TrellaneFormat1(id, Decimal(static_cast<long>(::GetLastError())));
        if (!m_bSilent)
            AfxShowMessageBox(m_hWnd, m_sError, AfxGetAppName(), MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
        return TRUE;
    }

    SetItemText(IDC_TRANSFER_FILE,
                TrellaneFormat2(m_bDownload ? IDS_FTPTRANSFER_FILESTATUS : IDS_FTPTRANSFER_UPLOAD_FILESTATUS,
                                m_sRemoteFile, m_sServer));

    m_pThread = AfxBeginThread(_TransferThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread) {
        m_LocalFile.Abort();
        if (m_bDownload)
            ::DeleteFileA(m_sLocalFile);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return TRUE;
}

UINT CFTPTransferDlg::_TransferThread(LPVOID pParam)
{
    static_cast<CFTPTransferDlg*>(pParam)->TransferThread();
    return 0;
}

void CFTPTransferDlg::SetPercentage(int percent)
{
    if (m_hWnd)
        SetWindowText(TrellaneFormat2(IDS_FTPTRANSFER_PERCENTAGE, Decimal(percent), m_sRemoteFile));
}

void CFTPTransferDlg::HandleThreadError(UINT nID)
{
    m_sError = TrellaneString(nID);
    m_LocalFile.Abort();
    if (m_bDownload)
        ::DeleteFileA(m_sLocalFile);
}

void CFTPTransferDlg::HandleThreadErrorWithLastError(UINT nID, DWORD dwLastError)
{
    DWORD code = dwLastError ? dwLastError : ::GetLastError();
    CString detail;
    if (code == ERROR_INTERNET_EXTENDED_ERROR) {
        DWORD error = 0, length = 0;
        ::InternetGetLastResponseInfoA(&error, nullptr, &length);
        std::vector<char> text(length + 1, '\0');
        DWORD room = length + 1;
        if (::InternetGetLastResponseInfoA(&error, text.data(), &room))
            text[std::min<size_t>(room, length)] = 0;
        detail = "\r\n";
        detail += text.data();
    } else {
        detail = Decimal(static_cast<long>(code));
    }
    m_sError = TrellaneFormat1(nID, detail);
    m_LocalFile.Abort();
    if (m_bDownload)
        ::DeleteFileA(m_sLocalFile);
}

void CFTPTransferDlg::TransferThread()
{
    INTERNET_STATUS_CALLBACK previous = INTERNET_INVALID_STATUS_CALLBACK;
    bool installed = false;
    WPARAM result = 1;
    // Transfer() reports its own failures and returns; every way out after the
    // callback is installed passes below, so the session's previous callback
    // (a caller's, with attached handles) comes back whatever happened.

    if (!m_bUsingAttached) {
        m_hInternetSession = ::InternetOpenA(AfxGetAppName(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (!m_hInternetSession) {
            HandleThreadErrorWithLastError(IDS_FTPTRANSFER_GENERIC_ERROR);
            Finish(1);
            return;
        }
    }
    if (!m_bUsingAttached)
        LimitWaits(m_hInternetSession);
    if (Aborted()) {
        HandleThreadError(IDS_FTPTRANSFER_ABORTING_TRANSFER);
        m_sError.Empty();
        Finish(0);
        return;
    }
    previous = ::InternetSetStatusCallbackA(m_hInternetSession, _OnStatusCallBack);
    if (previous == INTERNET_INVALID_STATUS_CALLBACK) {
        HandleThreadErrorWithLastError(IDS_FTPTRANSFER_GENERIC_ERROR);
        Finish(1);
        return;
    }
    installed = true;
    result = Transfer() ? 0 : 1;
    if (m_hFTPFile) {
        ::InternetCloseHandle(m_hFTPFile);
        m_hFTPFile = nullptr;
    }
    if (!m_sUploadName.IsEmpty()) {
        // An upload that did not complete leaves only its temporary copy: remove it.
        ::FtpDeleteFileA(m_hFTPConnection, m_sUploadName);
        m_sUploadName.Empty();
    }
    if (installed)
        ::InternetSetStatusCallbackA(m_hInternetSession, previous);
    Finish(result);
}

void CFTPTransferDlg::Finish(WPARAM result) { PostMessage(WM_FTPTRANSFER_THREAD_FINISHED, result); }

// The steps after the callback is installed. False with the error text set on
// failure; true when done or aborted (the abort flag tells which).
bool CFTPTransferDlg::Transfer()
{
    auto aborted = [this] {
        m_LocalFile.Abort();
        if (m_bDownload)
            ::DeleteFileA(m_sLocalFile);
        return true;
    };
    if (Aborted())
        return aborted();
    if (!m_bUsingAttached) {
        const bool withUser = !m_sUserName.IsEmpty();
        m_hFTPConnection = ::InternetConnectA(m_hInternetSession, m_sServer, m_nPort,
                                              withUser ? (LPCSTR)m_sUserName : nullptr,
                                              withUser ? (LPCSTR)m_sPassword : nullptr, INTERNET_SERVICE_FTP, 0,
                                              StatusContext());
        if (!m_hFTPConnection) {
            HandleThreadErrorWithLastError(IDS_FTPTRANSFER_FAIL_CONNECT_SERVER);
            return false;
        }
    }
    if (Aborted())
        return aborted();

    PlayAnimation();
    SetStatus(IDS_FTPTRANSFER_GETTING_FILE_INFORMATION);
    bool sizeKnown = false;
    uint64_t fileSize = 0;
    WIN32_FIND_DATAA found;
    if (m_bDownload) {
        if (FindRemote(m_hFTPConnection, m_sRemoteFile, &found)) {
            sizeKnown = true;
            fileSize = found.nFileSizeLow;
            SetProgressRange(fileSize);
        }
    } else {
        sizeKnown = true;
        fileSize = m_LocalFile.GetLength();
        SetProgressRange(fileSize);
        if (FindRemote(m_hFTPConnection, m_sRemoteFile, &found)) {
            if (!SendMessage(WM_FTPTRANSFER_ASK_OVERWRITE)) {
                m_LocalFile.Abort();
                m_sError.Empty();
                return false;
            }
        }
    }
    if (Aborted())
        return aborted();

    const DWORD mode = (m_bBinary ? FTP_TRANSFER_TYPE_BINARY : FTP_TRANSFER_TYPE_ASCII) | kLookupFlags;
    CString target = m_bDownload ? m_sRemoteFile : UploadTemporaryName(m_sRemoteFile);
    m_hFTPFile = ::FtpOpenFileA(m_hFTPConnection, target, m_bDownload ? GENERIC_READ : GENERIC_WRITE, mode,
                                StatusContext());
    if (!m_hFTPFile) {
        HandleThreadErrorWithLastError(IDS_FTPTRANSFER_FAIL_OPEN_FILE);
        return false;
    }
    if (!m_bDownload)
        m_sUploadName = target;
    SetStatus(m_bDownload ? IDS_FTPTRANSFER_RETREIVEING_FILE : IDS_FTPTRANSFER_UPLOADING_FILE);

    transfer::ProgressMeter meter;
    meter.Start(::GetTickCount(), sizeKnown, fileSize);
    char buffer[1024];
    while (!Aborted()) {
        DWORD moved = 0;
        if (m_bDownload) {
            if (!::InternetReadFile(m_hFTPFile, buffer, sizeof buffer, &moved)) {
                HandleThreadErrorWithLastError(IDS_FTPTRANSFER_ERROR_READFILE);
                return false;
            }
            if (moved == 0)
                break;
            try {
                m_LocalFile.Write(buffer, moved);
            } catch (CFileException* e) {
                DWORD os = static_cast<DWORD>(e->m_lOsError);
                e->Delete();
                HandleThreadErrorWithLastError(IDS_FTPTRANSFER_ERROR_READFILE, os ? os : ERROR_WRITE_FAULT);
                return false;
            }
        } else {
            UINT got = 0;
            try {
                got = m_LocalFile.Read(buffer, sizeof buffer);
            } catch (CFileException* e) {
                DWORD os = static_cast<DWORD>(e->m_lOsError);
                e->Delete();
                HandleThreadErrorWithLastError(IDS_FTPTRANSFER_ERROR_WRITEFILE, os ? os : ERROR_READ_FAULT);
                return false;
            }
            if (got == 0)
                break;
            if (!::InternetWriteFile(m_hFTPFile, buffer, got, &moved) || moved != got) {
                HandleThreadErrorWithLastError(IDS_FTPTRANSFER_ERROR_WRITEFILE);
                return false;
            }
        }
        auto u = meter.Add(::GetTickCount(), moved);
        if (u.percentChanged) {
            SetPercentage(u.percent);
            SetProgress(meter.Total());
        }
        if (u.rateDue)
            SetTransferRate(u.rate);
        if (u.timeLeftDue)
            SetTimeLeft(u.secondsLeft, meter.Total(), fileSize);
    }
    if (Aborted())
        return aborted();

    if (m_bDownload) {
        try {
            m_LocalFile.Close();
        } catch (CFileException* e) {
            DWORD os = static_cast<DWORD>(e->m_lOsError);
            e->Delete();
            HandleThreadErrorWithLastError(IDS_FTPTRANSFER_ERROR_READFILE, os ? os : ERROR_WRITE_FAULT);
            return false;
        }
        return true;
    }
    m_LocalFile.Abort();
    // Closing the remote file completes the upload; only then does the copy
    // take the target's name.
    BOOL closed = ::InternetCloseHandle(m_hFTPFile);
    m_hFTPFile = nullptr;
    if (!closed) {
        HandleThreadErrorWithLastError(IDS_FTPTRANSFER_ERROR_WRITEFILE);
        return false;
    }
    if (!::FtpRenameFileA(m_hFTPConnection, m_sUploadName, m_sRemoteFile)) {
        // A server that will not rename over an existing name: its file steps
        // aside and is removed only once the new one has the name; when the
        // new one cannot take it, the old one gets its name back. The server's
        // file is never deleted before its replacement is in place.
        const CString aside = UploadSetAsideName(m_sRemoteFile);
        if (!::FtpRenameFileA(m_hFTPConnection, m_sRemoteFile, aside)) {
            HandleThreadErrorWithLastError(IDS_FTPTRANSFER_ERROR_WRITEFILE);
            return false;
        }
        if (!::FtpRenameFileA(m_hFTPConnection, m_sUploadName, m_sRemoteFile)) {
            // The error text first: it quotes the server's answer to the refusal.
            HandleThreadErrorWithLastError(IDS_FTPTRANSFER_ERROR_WRITEFILE);
            ::FtpRenameFileA(m_hFTPConnection, aside, m_sRemoteFile);
            return false;
        }
        ::FtpDeleteFileA(m_hFTPConnection, aside);
    }
    m_sUploadName.Empty();
    return true;
}

void CFTPTransferDlg::RequestAbort()
{
    m_abort.store(1);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->EnableWindow(FALSE);
    SetStatus(IDS_FTPTRANSFER_ABORTING_TRANSFER);
}

void CFTPTransferDlg::OnCancel()
{
    if (m_threadFinished.load() || !m_pThread)
        CDialog::OnCancel();
    else
        RequestAbort();
}

void CFTPTransferDlg::OnClose()
{
    if (m_threadFinished.load() || !m_pThread)
        CDialog::OnClose();
    else
        RequestAbort();
}

void CFTPTransferDlg::OnDestroy()
{
    if (m_pThread)
        ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
    CDialog::OnDestroy();
}

LRESULT CFTPTransferDlg::OnAskOverwrite(WPARAM, LPARAM)
{
    if (m_bSilent)
        return m_bOverwrite ? 1 : 0;
    CString question = TrellaneFormat1(IDS_FTPTRANSFER_OK_TO_OVERWRITE_REMOTE, m_sRemoteFile);
    return AfxShowMessageBox(m_hWnd, question, AfxGetAppName(), MB_YESNO) == IDYES ? 1 : 0;
}

LRESULT CFTPTransferDlg::OnThreadFinished(WPARAM wParam, LPARAM)
{
    m_threadFinished.store(1);
    if (m_hWnd)
        ::SendDlgItemMessageA(m_hWnd, IDC_TRANSFER_ANIMATE, ACM_STOP, 0, 0);
    if (Aborted()) {
        m_sError.Empty();
        EndDialog(IDCANCEL);
    } else if (wParam == 0) {
        EndDialog(IDOK);
    } else {
        if (!m_sError.IsEmpty() && !m_bSilent)
            AfxShowMessageBox(m_hWnd, m_sError, AfxGetAppName(), MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
    }
    return 0;
}

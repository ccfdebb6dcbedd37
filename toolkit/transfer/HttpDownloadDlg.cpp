// The HTTP download dialog: WinINet on a worker thread, progress on the dialog.
#include "HttpDownloadDlg.h"

#include "transfer_ids.h"
#include "trellane_text.h"
#include "url_parts.h"

#include <commctrl.h>

#include <cstdlib>

namespace {

const UINT WM_HTTPDOWNLOAD_THREAD_FINISHED = WM_APP + 1;

// Strings of the HTTP dialog.
enum : UINT {
    IDS_HTTPDOWNLOAD_FILESTATUS = 126,
    IDS_HTTPDOWNLOAD_CONNECTED = 135,
    IDS_HTTPDOWNLOAD_RESOLVING_NAME = 136,
    IDS_HTTPDOWNLOAD_RESOLVED_NAME = 137,
    IDS_HTTPDOWNLOAD_CONNECTING = 138,
    IDS_HTTPDOWNLOAD_REDIRECTING = 139,
    IDS_HTTPDOWNLOAD_GETTING_FILE_INFORMATION = 140,
    IDS_HTTPDOWNLOAD_GENERIC_ERROR = 142,
    IDS_HTTPDOWNLOAD_FAIL_CONNECT_SERVER = 143,
    IDS_HTTPDOWNLOAD_FAIL_QUERY_STATUS = 144,
    IDS_HTTPDOWNLOAD_INVALID_HTTP_RESPONSE = 145,
    IDS_HTTPDOWNLOAD_ERROR_READFILE = 146,
    IDS_HTTPDOWNLOAD_PERCENTAGE = 147,
    IDS_HTTPDOWNLOAD_RETREIVEING_FILE = 148,
    IDS_HTTPDOWNLOAD_OF = 149,
    IDS_HTTPDOWNLOAD_SECONDS = 150,
    IDS_HTTPDOWNLOAD_MINUTES = 151,
    IDS_HTTPDOWNLOAD_MINUTES_AND_SECONDS = 152,
    IDS_HTTPDOWNLOAD_BYTES = 153,
    IDS_HTTPDOWNLOAD_KILOBYTES = 154,
    IDS_HTTPDOWNLOAD_MEGABYTES = 155,
    IDS_HTTPDOWNLOAD_TIMELEFT = 156,
    IDS_HTTPDOWNLOAD_BYTESPERSECOND = 157,
    IDS_HTTPDOWNLOAD_KILOBYTESPERSECOND = 158,
    IDS_HTTPDOWNLOAD_OK_TO_OVERWRITE = 159,
    IDS_HTTPDOWNLOAD_FAIL_FILE_OPEN = 160,
    IDS_HTTPDOWNLOAD_ABORTING_TRANSFER = 161,
    IDS_HTTPDOWNLOAD_UPDATE_CAPTION = 162,
    IDS_HTTPDOWNLOAD_CAPTION = 163,
};

const char kUpdateFileLine[] = "Checking curent version from Ostrel Software.";

const TransferStringIds kStringIds = {
    IDS_HTTPDOWNLOAD_BYTES, IDS_HTTPDOWNLOAD_KILOBYTES, IDS_HTTPDOWNLOAD_MEGABYTES, IDS_HTTPDOWNLOAD_OF,
    IDS_HTTPDOWNLOAD_SECONDS, IDS_HTTPDOWNLOAD_MINUTES, IDS_HTTPDOWNLOAD_MINUTES_AND_SECONDS, IDS_HTTPDOWNLOAD_TIMELEFT,
    IDS_HTTPDOWNLOAD_BYTESPERSECOND, IDS_HTTPDOWNLOAD_KILOBYTESPERSECOND, IDS_HTTPDOWNLOAD_RESOLVING_NAME,
    IDS_HTTPDOWNLOAD_RESOLVED_NAME, IDS_HTTPDOWNLOAD_CONNECTING, IDS_HTTPDOWNLOAD_CONNECTED, IDS_HTTPDOWNLOAD_REDIRECTING,
};

} // namespace

BEGIN_MESSAGE_MAP(CHttpDownloadDlg, CTransferProgressDlg)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_HTTPDOWNLOAD_THREAD_FINISHED, OnThreadFinished)
END_MESSAGE_MAP()

CHttpDownloadDlg::CHttpDownloadDlg(CWnd* pParent) : CTransferProgressDlg(pParent, kStringIds) {}

CHttpDownloadDlg::~CHttpDownloadDlg()
{
    if (m_pThread) {
        ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
        delete m_pThread;
        m_pThread = nullptr;
    }
    if (m_hHttpFile)
        ::InternetCloseHandle(m_hHttpFile);
    if (m_hHttpConnection)
        ::InternetCloseHandle(m_hHttpConnection);
    if (m_hInternetSession)
        ::InternetCloseHandle(m_hInternetSession);
}

BOOL CHttpDownloadDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(TrellaneString(m_bUpdateCaption ? IDS_HTTPDOWNLOAD_UPDATE_CAPTION : IDS_HTTPDOWNLOAD_CAPTION));
    ::SendDlgItemMessageA(m_hWnd, IDC_TRANSFER_ANIMATE, ACM_OPENA, reinterpret_cast<WPARAM>(TrellaneInstance()),
                          reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_TRANSFER_CLIP)));

    uint32_t service = 0;
    uint16_t port = 0;
    if (!AfxParseURL(m_sURLToDownload, service, m_sServer, m_sObject, port)) {
        CString withScheme = "http://" + m_sURLToDownload;
        if (!AfxParseURL(withScheme, service, m_sServer, m_sObject, port)) {
            EndDialog(IDCANCEL);
            return TRUE;
        }
        m_sURLToDownload = withScheme;
    }
    m_dwServiceType = service;
    m_nPort = port;

    if (::GetFileAttributesA(m_sFileToDownloadInto) != INVALID_FILE_ATTRIBUTES) {
        if (!m_bSilent) {
            CString question = TrellaneFormat1(IDS_HTTPDOWNLOAD_OK_TO_OVERWRITE, m_sFileToDownloadInto);
            if (AfxShowMessageBox(m_hWnd, question, AfxGetAppName(), MB_YESNO) != IDYES) {
                EndDialog(IDCANCEL);
                return TRUE;
            }
        } else if (!m_bOverwrite) {
            EndDialog(IDCANCEL);
            return TRUE;
        }
    }

    CFileException ex;
    if (!m_FileToWrite.Open(m_sFileToDownloadInto, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite, &ex)) {
        m_sError = TrellaneFormat1(IDS_HTTPDOWNLOAD_FAIL_FILE_OPEN, Decimal(static_cast<long>(::GetLastError())));
        if (!m_bSilent)
            AfxShowMessageBox(m_hWnd, m_sError, AfxGetAppName(), MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
        return TRUE;
    }

    m_sFilename = DownloadFileName(m_sObject);
    if (m_bUpdateCaption)
        SetItemText(IDC_TRANSFER_FILE, kUpdateFileLine);
    else
        SetItemText(IDC_TRANSFER_FILE, TrellaneFormat2(IDS_HTTPDOWNLOAD_FILESTATUS, m_sFilename, m_sServer));

    m_pThread = AfxBeginThread(_DownloadThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread) {
        m_FileToWrite.Abort();
        DeleteLocalFile();
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return TRUE;
}

void CHttpDownloadDlg::DeleteLocalFile() { ::DeleteFileA(m_sFileToDownloadInto); }

UINT CHttpDownloadDlg::_DownloadThread(LPVOID pParam)
{
    static_cast<CHttpDownloadDlg*>(pParam)->DownloadThread();
    return 0;
}

void CHttpDownloadDlg::SetPercentage(int percent)
{
    if (!m_hWnd)
        return;
    SetWindowText(TrellaneFormat2(IDS_HTTPDOWNLOAD_PERCENTAGE, Decimal(percent), m_sFilename));
}

void CHttpDownloadDlg::HandleThreadError(UINT nID)
{
    m_sError = TrellaneString(nID);
    m_FileToWrite.Abort();
    DeleteLocalFile();
    PostMessage(WM_HTTPDOWNLOAD_THREAD_FINISHED, 1);
}

void CHttpDownloadDlg::HandleThreadErrorWithLastError(UINT nID, DWORD dwLastError)
{
    DWORD code = dwLastError ? dwLastError : ::GetLastError();
    m_sError = TrellaneFormat1(nID, Decimal(static_cast<long>(code)));
    m_FileToWrite.Abort();
    DeleteLocalFile();
    PostMessage(WM_HTTPDOWNLOAD_THREAD_FINISHED, 1);
}

void CHttpDownloadDlg::DrainResponse()
{
    char sink[512];
    DWORD got = 0;
    while (!Aborted() && ::InternetReadFile(m_hHttpFile, sink, sizeof sink, &got) && got)
        got = 0;
}

void CHttpDownloadDlg::DownloadThread()
{
    // Every way out of a step either posts the finishing message itself or
    // goes through one of the error handlers, which do; an abort never leaves
    // a file behind.
    auto abortNow = [this] {
        m_FileToWrite.Abort();
        DeleteLocalFile();
        PostMessage(WM_HTTPDOWNLOAD_THREAD_FINISHED, 0);
    };

    m_hInternetSession = ::InternetOpenA(AfxGetAppName(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!m_hInternetSession) {
        HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_GENERIC_ERROR);
        return;
    }
    if (Aborted()) {
        abortNow();
        return;
    }
    LimitWaits(m_hInternetSession);
    if (::InternetSetStatusCallbackA(m_hInternetSession, _OnStatusCallBack) == INTERNET_INVALID_STATUS_CALLBACK) {
        HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_GENERIC_ERROR);
        return;
    }
    if (Aborted()) {
        abortNow();
        return;
    }

    const bool withUser = !m_sUserName.IsEmpty();
    m_hHttpConnection = ::InternetConnectA(m_hInternetSession, m_sServer, m_nPort, withUser ? (LPCSTR)m_sUserName : nullptr,
                                           withUser ? (LPCSTR)m_sPassword : nullptr, m_dwServiceType, 0,
                                           StatusContext());
    if (!m_hHttpConnection) {
        HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_FAIL_CONNECT_SERVER);
        return;
    }
    if (Aborted()) {
        abortNow();
        return;
    }

    PlayAnimation();
    LPCSTR acceptTypes[] = {"*/*", nullptr};
    m_hHttpFile = ::HttpOpenRequestA(m_hHttpConnection, nullptr, m_sObject, nullptr, nullptr, acceptTypes,
                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_KEEP_CONNECTION,
                                     StatusContext());
    if (!m_hHttpFile) {
        HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_FAIL_CONNECT_SERVER);
        return;
    }
    if (Aborted()) {
        abortNow();
        return;
    }

    for (;;) {
        if (!::HttpSendRequestA(m_hHttpFile, nullptr, 0, nullptr, 0)) {
            HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_FAIL_CONNECT_SERVER);
            return;
        }
        char status[32] = {0};
        DWORD size = sizeof status;
        if (!::HttpQueryInfoA(m_hHttpFile, HTTP_QUERY_STATUS_CODE, status, &size, nullptr)) {
            HandleThreadError(IDS_HTTPDOWNLOAD_FAIL_QUERY_STATUS);
            return;
        }
        status[sizeof status - 1] = 0;
        long code = std::atol(status);
        if (code == HTTP_STATUS_DENIED || code == HTTP_STATUS_PROXY_AUTH_REQ) {
            DrainResponse();
            if (Aborted()) {
                abortNow();
                return;
            }
            // A silent download asks nobody for a password: the refusal stands.
            if (!m_bSilent) {
                DWORD answer = ::InternetErrorDlg(m_hWnd, m_hHttpFile, ERROR_INTERNET_INCORRECT_PASSWORD,
                                                  FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
                                                      FLAGS_ERROR_UI_FLAGS_GENERATE_DATA,
                                                  nullptr);
                if (answer == ERROR_INTERNET_FORCE_RETRY)
                    continue;
            }
        }
        if (code != HTTP_STATUS_OK) {
            // The body of a refusal or an error page is never kept as the file.
            HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_INVALID_HTTP_RESPONSE, static_cast<DWORD>(code));
            return;
        }
        break;
    }
    if (Aborted()) {
        abortNow();
        return;
    }

    SetStatus(IDS_HTTPDOWNLOAD_GETTING_FILE_INFORMATION);
    bool sizeKnown = false;
    uint64_t fileSize = 0;
    {
        char length[32] = {0};
        DWORD size = sizeof length;
        if (::HttpQueryInfoA(m_hHttpFile, HTTP_QUERY_CONTENT_LENGTH, length, &size, nullptr)) {
            length[sizeof length - 1] = 0;
            char* end = nullptr;
            unsigned long long v = std::strtoull(length, &end, 10);
            if (end != length) {
                sizeKnown = true;
                fileSize = v;
                SetProgressRange(fileSize);
            }
        }
    }

    SetStatus(IDS_HTTPDOWNLOAD_RETREIVEING_FILE);
    transfer::ProgressMeter meter;
    meter.Start(::GetTickCount(), sizeKnown, fileSize);
    char buffer[1024];
    for (;;) {
        DWORD got = 0;
        if (!::InternetReadFile(m_hHttpFile, buffer, sizeof buffer, &got)) {
            HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_ERROR_READFILE);
            return;
        }
        if (got == 0 || Aborted())
            break;
        try {
            m_FileToWrite.Write(buffer, got);
        } catch (CFileException* e) {
            DWORD os = static_cast<DWORD>(e->m_lOsError);
            e->Delete();
            HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_ERROR_READFILE, os ? os : ERROR_WRITE_FAULT);
            return;
        }
        auto u = meter.Add(::GetTickCount(), got);
        if (u.percentChanged) {
            SetPercentage(u.percent);
            SetProgress(meter.Total());
        }
        if (u.rateDue)
            SetTransferRate(u.rate);
        if (u.timeLeftDue)
            SetTimeLeft(u.secondsLeft, meter.Total(), fileSize);
    }
    if (Aborted()) {
        abortNow();
        return;
    }
    // A connection that ended before the announced length is a failed download.
    if (sizeKnown && meter.Total() != fileSize) {
        HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_ERROR_READFILE, ERROR_HANDLE_EOF);
        return;
    }
    try {
        m_FileToWrite.Close();
    } catch (CFileException* e) {
        DWORD os = static_cast<DWORD>(e->m_lOsError);
        e->Delete();
        HandleThreadErrorWithLastError(IDS_HTTPDOWNLOAD_ERROR_READFILE, os ? os : ERROR_WRITE_FAULT);
        return;
    }
    PostMessage(WM_HTTPDOWNLOAD_THREAD_FINISHED, 0);
}

void CHttpDownloadDlg::RequestAbort()
{
    m_abort.store(1);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->EnableWindow(FALSE);
    SetStatus(IDS_HTTPDOWNLOAD_ABORTING_TRANSFER);
}

void CHttpDownloadDlg::OnCancel()
{
    if (m_threadFinished.load())
        CDialog::OnCancel();
    else
        RequestAbort();
}

void CHttpDownloadDlg::OnClose()
{
    if (m_threadFinished.load())
        CDialog::OnClose();
    else
        RequestAbort();
}

void CHttpDownloadDlg::OnDestroy()
{
    if (m_pThread)
        ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
    CDialog::OnDestroy();
}

LRESULT CHttpDownloadDlg::OnThreadFinished(WPARAM wParam, LPARAM)
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
        if (!m_bSilent)
            AfxShowMessageBox(m_hWnd, m_sError, AfxGetAppName(), MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
    }
    return 0;
}

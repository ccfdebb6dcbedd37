// Fetching and reading the web version file; the update offer.
#include "web_update_check.h"

#include "HttpDownloadDlg.h"
#include "notice_dlg.h"
#include "notice_ids.h"
#include "version_file.h"
#include "winmgr/winmgr.h"

#include <ctime>
#include <string>

namespace {

webupdate::LocalFile LookUpLocal(const CString& folder, const std::string& name, webupdate::Date& modified)
{
    CString path = folder + "\\" + name.c_str();
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &info)) {
        DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? webupdate::LocalFile::Missing
                                                                               : webupdate::LocalFile::Unreadable;
    }
    FILETIME local;
    SYSTEMTIME st;
    if (!::FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) || !::FileTimeToSystemTime(&local, &st))
        return webupdate::LocalFile::Unreadable;
    modified.year = st.wYear;
    modified.month = st.wMonth;
    modified.day = st.wDay;
    return webupdate::LocalFile::Present;
}

bool ReadHead(const CString& path, std::string& bytes)
{
    try {
        CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
        bytes.assign(webupdate::kVersionFileLimit, '\0');
        UINT total = 0;
        while (total < bytes.size()) {
            UINT got = file.Read(&bytes[total], static_cast<UINT>(bytes.size() - total));
            if (!got)
                break;
            total += got;
        }
        bytes.resize(total);
        return true;
    } catch (CFileException* e) {
        e->Delete();
        return false;
    }
}

CString LoadText(UINT id)
{
    CString s;
    s.LoadString(id);
    return s;
}

CNoticeDlg* ShowNotice(const CString& text, BOOL offerUpdate, const CString& folder,
                       const std::vector<std::string>& files, const CString& host)
{
    auto* notice = new CNoticeDlg(nullptr);
    notice->m_strText = text;
    notice->m_bAutoClose = FALSE;
    notice->m_bShowClose = TRUE;
    notice->m_bShowUpdate = offerUpdate;
    notice->m_strFolder = folder;
    notice->m_strUpdateHost = host;
    for (const std::string& f : files)
        notice->m_arrFiles.Add(f.c_str());
    if (!notice->Create(IDD_NOTICE, g_WindowMgr.GetParent())) {
        delete notice;
        return nullptr;
    }
    notice->SetWindowText(LoadText(IDS_NEW_VERSION_TITLE));
    CRect rc;
    notice->GetWindowRect(&rc);
    notice->MoveWindow(0, 0, rc.Width(), rc.Height(), TRUE);
    notice->ShowWindow(SW_SHOW);
    // The manager owns the window's object from now on.
    g_WindowMgr.AttachWindow(notice, 0);
    return notice;
}

} // namespace

const char kUpToDateText[] = "Vindalex is up to date.";
const char kCouldNotCheckText[] =
    "Vindalex could not check our website for a program update.\r\n"
    "Please make sure you are connected to the internet and try again later.";

void ReportWebCheck(WebCheckResult result)
{
    if (result == WebCheckResult::UpToDate)
        AfxMessageBox(kUpToDateText);
    else if (result == WebCheckResult::CouldNotCheck)
        AfxMessageBox(kCouldNotCheckText, MB_ICONEXCLAMATION);
}

WebCheckResult RunWebVersionCheck(const CString& folder, const CString& host)
{
    const CString versionPath = folder + "\\WebVersion.txt";
    {
        CHttpDownloadDlg download(nullptr);
        download.m_sURLToDownload = "http://" + host + webupdate::VersionFilePath().c_str();
        download.m_sFileToDownloadInto = versionPath;
        download.m_bSilent = true;
        download.m_bOverwrite = true;
        download.m_bUpdateCaption = true;
        // Only a completed download goes on: a failed one leaves no file, and
        // an older file must not be taken for the site's answer.
        if (download.DoModal() != IDOK)
            return WebCheckResult::CouldNotCheck;
    }
    std::string bytes;
    if (!ReadHead(versionPath, bytes))
        return WebCheckResult::CouldNotCheck;
    std::vector<std::string> lines = webupdate::SplitLines(bytes);
    std::string version, build;
    if (lines.empty() || !webupdate::ParseHeadline(lines[0], version, build))
        return WebCheckResult::CouldNotCheck;

    std::vector<std::string> files;
    std::string message;
    auto lookup = [&folder](const std::string& name, webupdate::Date& d) { return LookUpLocal(folder, name, d); };
    if (!webupdate::BuildUpdateMessage(files, lines, &message, lookup))
        return WebCheckResult::UpToDate;

    CString text;
    text.Format(LoadText(IDS_NEW_VERSION_NOTICE), version.c_str(), build.c_str());
    if (!ShowNotice(text, TRUE, folder, files, host))
        return WebCheckResult::CouldNotCheck;
    if (!message.empty())
        ShowNotice(message.c_str(), FALSE, folder, {}, host);
    return WebCheckResult::UpdateOffered;
}

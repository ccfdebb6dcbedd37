// The download half of the web update.
#include "update_download.h"

#include "HttpDownloadDlg.h"
#include "version_file.h"
#include "zlcomp.h"

#include <shellapi.h>

#include <cstring>

namespace {

const char kDefaultUpdateHost[] = "www.ostrel.com";
const char kCopierName[] = "Lindrow.exe";
const char kListName[] = "vnd2U.dat";

bool HasCompressedHeader(CFile& file)
{
    char head[7] = {0};
    file.SeekToBegin();
    UINT got = file.Read(head, sizeof head);
    file.SeekToBegin();
    return got == sizeof head && std::memcmp(head, "ZLComp", 6) == 0;
}

bool AppendToList(const CString& listPath, const CString& name)
{
    try {
        CFile list(listPath, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyWrite);
        list.SeekToEnd();
        CString line = name + "\r\n";
        list.Write(static_cast<LPCTSTR>(line), static_cast<UINT>(line.GetLength()));
        list.Close();
        return true;
    } catch (CFileException* e) {
        e->Delete();
        return false;
    }
}

} // namespace

CString UpdateHostName()
{
    CString host;
    if (CWinApp* app = AfxGetApp())
        host = app->GetProfileString("Korvaneant1", "kVUpdateHost", kDefaultUpdateHost);
    host.TrimLeft();
    host.TrimRight();
    return host.IsEmpty() ? CString(kDefaultUpdateHost) : host;
}

bool DecompressInPlace(const CString& path)
{
    bool ok = false;
    try {
        CFile file(path, CFile::modeReadWrite | CFile::shareDenyWrite);
        CMemFile plain(1024);
        if (HasCompressedHeader(file) && ZLDeCompress(&file, &plain) == 1) {
            file.SeekToBegin();
            plain.SeekToBegin();
            file.SetLength(0);
            BYTE piece[65535];
            for (;;) {
                UINT got = plain.Read(piece, sizeof piece);
                if (got)
                    file.Write(piece, got);
                if (got < sizeof piece)
                    break;
            }
            file.Close();
            ok = true;
        } else {
            file.Close();
        }
    } catch (CFileException* e) {
        e->Delete();
        ok = false;
    }
    if (!ok)
        ::DeleteFileA(path);
    return ok;
}

bool RunUpdateDownload(const CString& folder, const CStringArray& names, const CString& host, CString* failedName)
{
    const CString listPath = folder + "\\" + kListName;
    for (int i = 0; i < names.GetSize(); ++i) {
        const CString name = names[i];
        if (failedName)
            *failedName = name;
        // The names come from the update site: each must stay a file of the program folder.
        std::string plain(static_cast<LPCTSTR>(name));
        if (!webupdate::IsSafeFileName(plain) || plain.back() == '_')
            return false;
        std::string waiting = webupdate::WaitingName(plain);
        CString localPath = folder + "\\" + waiting.c_str();
        CString address = "http://" + host + webupdate::SiteFilePath(waiting).c_str();

        CHttpDownloadDlg download(nullptr);
        download.m_sURLToDownload = address;
        download.m_sFileToDownloadInto = localPath;
        download.m_bSilent = true;
        download.m_bOverwrite = true;
        download.m_bUpdateCaption = true;
        if (download.DoModal() != IDOK)
            return false;
        if (!DecompressInPlace(localPath))
            return false;

        if (name == kCopierName) {
            // The copier cannot replace itself: it takes its new version now.
            CString installed = folder + "\\" + name;
            if (!::MoveFileExA(localPath, installed, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
                return false;
        } else if (!AppendToList(listPath, name)) {
            return false;
        }
    }
    if (failedName)
        failedName->Empty();
    CString copier = folder + "\\" + kCopierName;
    CString parameters = "UpdateMode " + listPath;
    HINSTANCE started = ::ShellExecuteA(nullptr, "open", copier, parameters, folder, SW_SHOW);
    return reinterpret_cast<INT_PTR>(started) > 32;
}

#include "http_server.h"
#include "program_resources.h"

#include <string>

namespace {

void SplitPath(const CString& path, CString& folder, CString& name, CString& ext)
{
    int slash = path.ReverseFind('\\');
    folder = path.Left(slash + 1);
    CString rest = path.Mid(slash + 1);
    int dot = rest.ReverseFind('.');
    if (dot >= 0) {
        name = rest.Left(dot);
        ext = rest.Mid(dot);
    } else {
        name = rest;
        ext.Empty();
    }
}

SYSTEMTIME NowUTC()
{
    SYSTEMTIME st;
    ::GetSystemTime(&st);
    return st;
}

}  // namespace

IMPLEMENT_DYNCREATE(CHttpClient, CObject)

CHttpClient::CHttpClient() : m_clientAddress(), m_hImpersonation(nullptr) {}

CHttpClient::~CHttpClient() = default;

BOOL CHttpClient::AcceptRequest()
{
    return TRUE;
}

void CHttpClient::PostLog(int, long) {}

const CHttpDirectory* CHttpClient::FindDirectory(const CString& alias)
{
    for (const CHttpDirectory& d : Settings().m_Directories)
        if (d.m_strAlias.CompareNoCase(alias) == 0)
            return &d;
    return nullptr;
}

BOOL CHttpClient::ReadAndParse(bool& answered)
{
    answered = false;
    m_request.Reset();
    const bool read = m_bRead;
    m_bRead = false;
    if (!read || m_reader.GetState() != websrv::RequestReader::Complete) {
        if (read && m_reader.GetState() == websrv::RequestReader::TooLarge) {
            m_request.version = websrv::MakeHttpVersion(1, 0);
            m_request.requestLine = "(request too large)";
            ReturnErrorMessage(400);
            answered = true;
        }
        return FALSE;
    }
    if (!websrv::ParseRequest(m_reader.Head(), m_reader.Body(), m_request) || !AcceptRequest()) {
        if (m_request.version == 0)
            m_request.version = websrv::MakeHttpVersion(1, 0);
        ReturnErrorMessage(400);
        answered = true;
        return FALSE;
    }
    // Only under the names this server is reached by: a page of another
    // site that had its name point here gets nothing (DNS rebinding), nor
    // does a form posted from another site's page.
    if (!websrv::HostIsServed(m_request, m_state->served)) {
        ReturnErrorMessage(400);
        answered = true;
        return FALSE;
    }
    if (websrv::FromOtherSite(m_request, m_state->served)) {
        ReturnErrorMessage(403);
        answered = true;
        return FALSE;
    }
    return TRUE;
}

void CHttpClient::AttachConnection(SOCKET socket, const sockaddr_in& address)
{
    m_response.Reset();
    m_socket.Attach(socket);
    m_socket.Capture(&m_response.data);
    m_clientAddress = address;
}

void CHttpClient::FinishConnection()
{
    if (m_hImpersonation) {
        ::RevertToSelf();
        ::CloseHandle(m_hImpersonation);
        m_hImpersonation = nullptr;
    }
    // The server owns the connection's socket.
    m_socket.m_hSocket = INVALID_SOCKET;
    m_request.Reset();
    m_reader.Reset();
}

std::string CHttpClient::BusyAnswer(const CHttpServerSettings& settings)
{
    const std::string page = websrv::ProgramPage(115);
    CHttpResponseHeader h;
    SYSTEMTIME now = NowUTC();
    h.AddStatus(503);
    h.AddDate(now);
    h.AddServer(settings.m_strServerName);
    h.AddAllow();
    h.AddContentLength(static_cast<long>(page.size()));
    h.AddContentType("text/html");
    return h.Text() + "\r\n" + page;
}

void CHttpClient::HandleClient(SOCKET socket, const sockaddr_in& address)
{
    AttachConnection(socket, address);
    bool answered = false;
    if (!ReadAndParse(answered)) {
        FinishConnection();
        return;
    }
    if (m_request.credentials) {
        HANDLE token = nullptr;
        if (::LogonUserA(m_request.user.c_str(), nullptr, m_request.password.c_str(), 3, 0, &token)) {
            if (::ImpersonateLoggedOnUser(token))
                m_hImpersonation = token;
            else
                ::CloseHandle(token);
        }
    }
    CString local;
    BOOL isFolder = FALSE;
    switch (m_request.verb) {
    case websrv::HTTP_VERB_GET:
    case websrv::HTTP_VERB_HEAD:
        if (!MapPath(local, isFolder))
            ReturnErrorMessage(404);
        else if (isFolder)
            TransmitDirectory(local);
        else
            TransmitFile(local);
        break;
    case websrv::HTTP_VERB_DELETE:
        if (!m_request.credentials) {
            ReturnUnauthorizedMessage(m_request.realm.c_str());
        } else if (!MapPath(local, isFolder) || isFolder) {
            ReturnErrorMessage(404);
        } else if (::DeleteFileA(local)) {
            ReturnFileDeletedOkMessage();
        } else if (::GetLastError() == ERROR_ACCESS_DENIED) {
            ReturnUnauthorizedMessage(m_request.realm.c_str());
        } else {
            ReturnErrorMessage(500);
        }
        break;
    default: ReturnErrorMessage(501); break;
    }
    FinishConnection();
}

BOOL CHttpClient::ResolvePath(CString& localPath, BOOL& isFolder, const CHttpDirectory** found, CString* fileName,
                              bool retryTilde)
{
    isFolder = FALSE;
    *found = nullptr;
    if (fileName)
        fileName->Empty();
    // Checked on the decoded path: an encoded "..", "%00" or line break is
    // refused here as well.
    if (m_request.url.empty() || m_request.url[0] != '/' || !websrv::IsSafeURLPath(m_request.url))
        return FALSE;
    CString path = m_request.url.c_str();
    path.Replace('/', '\\');
    CString work = path, folder, name, ext;
    const CHttpDirectory* dir = nullptr;
    for (;;) {
        SplitPath(work, folder, name, ext);
        if (folder.IsEmpty())
            return FALSE;
        dir = FindDirectory(folder);
        if (!dir && retryTilde && name.GetLength() > 0 && name[0] == '~' && ext.IsEmpty()) {
            dir = FindDirectory("\\" + name + "\\");
            if (dir)
                folder = "\\" + name + "\\";
        }
        if (dir)
            break;
        work = folder.Left(folder.GetLength() - 1);
    }
    m_request.realm = static_cast<const char*>(dir->m_strRealm);
    CString rest = path.GetLength() > dir->m_strAlias.GetLength() ? path.Mid(dir->m_strAlias.GetLength()) : CString();
    localPath = dir->m_strDirectory;
    if (localPath.IsEmpty() || localPath[localPath.GetLength() - 1] != '\\')
        localPath += "\\";
    if (rest.IsEmpty()) {
        isFolder = dir->m_nFlags != 0;
        if (!isFolder) {
            if (dir->m_strDefaultFile.IsEmpty())
                return FALSE;
            localPath += dir->m_strDefaultFile;
            if (fileName)
                *fileName = dir->m_strDefaultFile;
        }
    } else {
        localPath += rest;
        if (fileName)
            *fileName = rest;
        // Only a directory with listings asks the disk whether this is a folder.
        if (dir->m_nFlags != 0) {
            DWORD attrs = ::GetFileAttributesA(localPath);
            isFolder = attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
        }
    }
    if (isFolder && (m_request.url.empty() || m_request.url.back() != '/'))
        m_request.url += '/';
    *found = dir;
    return TRUE;
}

BOOL CHttpClient::MapPath(CString& localPath, BOOL& isFolder)
{
    const CHttpDirectory* dir = nullptr;
    return ResolvePath(localPath, isFolder, &dir, nullptr, false);
}

BOOL CHttpClient::SendPage(int status, int resourceId, const CString* realm, const CString* location)
{
    std::string page = resourceId ? websrv::ProgramPage(resourceId) : std::string();
    bool header = !(status >= 400 && !realm && m_request.version == websrv::kHttpVersion09);
    BOOL ok = TRUE;
    if (header) {
        CHttpResponseHeader h;
        SYSTEMTIME now = NowUTC();
        h.AddStatus(status);
        h.AddDate(now);
        h.AddServer(Settings().m_strServerName);
        h.AddAllow();
        if (realm)
            h.AddWWWAuthenticateBasic(*realm);
        if (location)
            h.AddLocation(*location);
        h.AddContentLength(static_cast<long>(page.size()));
        h.AddContentType("text/html");
        // Header and page go out in one send.
        std::string out = h.Text() + "\r\n";
        if (!IsHead())
            out += page;
        ok = m_socket.Send(out.data(), static_cast<int>(out.size()));
    } else if (!page.empty()) {
        // Without a header (HTTP/0.9) the page is all there is.
        ok = m_socket.Send(page.data(), static_cast<int>(page.size()));
    }
    PostLog(status, static_cast<long>(page.size()));
    return ok;
}

void CHttpClient::ReturnErrorMessage(int status)
{
    int id = 0;
    switch (status) {
    case 400: id = 110; break;
    case 404: id = 112; break;
    case 403: id = 116; break;
    case 500: id = 113; break;
    case 501: id = 114; break;
    case 503: id = 115; break;
    default: break;
    }
    SendPage(status, id, nullptr, nullptr);
}

void CHttpClient::ReturnRedirectMessage(const CString& location)
{
    SendPage(301, 109, nullptr, &location);
}

void CHttpClient::ReturnFileDeletedOkMessage()
{
    SendPage(200, 108, nullptr, nullptr);
}

void CHttpClient::ReturnUnauthorizedMessage(const CString& realm)
{
    SendPage(401, 111, &realm, nullptr);
}

void CHttpClient::TransmitData(const char* data, long length)
{
    const int kPiece = 4096;
    while (length > 0) {
        int n = length > kPiece ? kPiece : static_cast<int>(length);
        if (!m_socket.Send(data, n))
            return;
        data += n;
        length -= n;
    }
}

void CHttpClient::TransmitFile(const CString& localPath)
{
    HANDLE file = ::CreateFileA(localPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD err = ::GetLastError();
        DWORD attrs = ::GetFileAttributesA(localPath);
        bool folder = attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
        if (err == ERROR_ACCESS_DENIED && !folder)
            ReturnUnauthorizedMessage(m_request.realm.c_str());
        else
            ReturnErrorMessage(404);
        return;
    }
    SYSTEMTIME now = NowUTC(), modified = now;
    FILETIME written;
    bool haveTime = false;
    if (::GetFileTime(file, nullptr, nullptr, &written)) {
        SYSTEMTIME st;
        if (::FileTimeToSystemTime(&written, &st)) {
            modified = st;
            haveTime = true;
            if (websrv::CompareHttpDates(ToHttpDate(modified), ToHttpDate(now)) > 0)
                modified = now;
        }
    }
    // Not GetFileInformationByHandle: for the volume's serial number it asks
    // the mount manager, several times the cost of the whole answer.
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) {
        ::CloseHandle(file);
        ReturnErrorMessage(500);
        return;
    }
    const long length = static_cast<long>(size.QuadPart);
    if (m_request.verb == websrv::HTTP_VERB_GET && m_request.ifModifiedSincePresent && haveTime &&
        websrv::CompareHttpDates(m_request.ifModifiedSince, ToHttpDate(modified)) >= 0) {
        CHttpResponseHeader h;
        h.AddStatus(304);
        h.AddDate(now);
        h.AddServer(Settings().m_strServerName);
        h.AddAllow();
        h.AddLastModified(modified);
        h.AddContentLength(0);
        h.AddContentType("text/html");
        h.Send(m_socket);
        ::CloseHandle(file);
        PostLog(304, 0);
        return;
    }
    std::string out;
    if (m_request.version >= websrv::MakeHttpVersion(1, 0) && m_request.version != websrv::kHttpVersion09) {
        CHttpResponseHeader h;
        h.AddStatus(200);
        h.AddDate(now);
        h.AddServer(Settings().m_strServerName);
        h.AddAllow();
        if (haveTime)
            h.AddLastModified(modified);
        h.AddContentLength(length);
        CString path = localPath, folder, name, ext;
        SplitPath(path, folder, name, ext);
        h.AddContentType(m_state->mime.GetContentType(ext));
        out = h.Text() + "\r\n";
    }
    const long kOneSend = 64 * 1024;
    if (m_request.verb == websrv::HTTP_VERB_GET && length <= kOneSend) {
        // A small file goes out with its header in one send: fewer round
        // trips, and no wait between header and body.
        std::size_t headLength = out.size();
        out.resize(headLength + static_cast<std::size_t>(length));
        DWORD read = 0, total = 0;
        while (total < static_cast<DWORD>(length) &&
               ::ReadFile(file, &out[headLength + total], static_cast<DWORD>(length) - total, &read, nullptr) &&
               read > 0)
            total += read;
        out.resize(headLength + total);
        m_socket.Send(out.data(), static_cast<int>(out.size()));
    } else if (m_socket.IsCapturing()) {
        // The server sends the header, then the file as the peer takes it.
        m_socket.Send(out.data(), static_cast<int>(out.size()));
        if (m_request.verb == websrv::HTTP_VERB_GET) {
            m_response.file = file;
            m_response.fileLeft = static_cast<ULONGLONG>(length);
            file = INVALID_HANDLE_VALUE;
        }
    } else {
        BOOL ok = out.empty() || m_socket.Send(out.data(), static_cast<int>(out.size()));
        if (ok && m_request.verb == websrv::HTTP_VERB_GET) {
            char buffer[4096];
            DWORD read = 0;
            while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
                if (!m_socket.Send(buffer, static_cast<int>(read)))
                    break;
        }
    }
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    PostLog(200, length);
}

void CHttpClient::TransmitDirectory(const CString& localPath)
{
    CString pattern = localPath;
    if (pattern.IsEmpty() || pattern[pattern.GetLength() - 1] != '\\')
        pattern += "\\";
    pattern += "*.*";
    WIN32_FIND_DATAA fd;
    HANDLE find = ::FindFirstFileA(pattern, &fd);
    if (find == INVALID_HANDLE_VALUE) {
        ReturnErrorMessage(500);
        return;
    }
    const std::string url = m_request.url;
    std::string page = websrv::ProgramString(1);
    page += "<table>\r\n";
    FILETIME newest = {0, 0};
    bool any = false;
    do {
        if (strcmp(fd.cFileName, ".") == 0 || strcmp(fd.cFileName, "..") == 0)
            continue;
        ULONGLONG bytes = (static_cast<ULONGLONG>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        FILETIME local;
        SYSTEMTIME st;
        char date[128] = "", time[128] = "";
        if (::FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) && ::FileTimeToSystemTime(&local, &st)) {
            ::GetDateFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &st, nullptr, date, sizeof date);
            ::GetTimeFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &st, nullptr, time, sizeof time);
        }
        // Names come from the disk: escaped for the page, encoded for the link.
        page += "<tr>\r\n<td><a href=\"" + websrv::EscapeURLSegment(url, true) +
                websrv::EscapeURLSegment(fd.cFileName) + "\">" + websrv::EscapeHTML(fd.cFileName) + "</a></td><td>" +
                std::to_string((bytes + 1023) / 1024) + "KB</td><td>" + date + "</td><td>" + time + "</td>\r\n</tr>";
        if (!any || ::CompareFileTime(&fd.ftLastWriteTime, &newest) > 0)
            newest = fd.ftLastWriteTime;
        any = true;
    } while (::FindNextFileA(find, &fd));
    ::FindClose(find);
    page += "</table>\r\n";
    page += websrv::ProgramString(2);
    // "%1" of the head is the folder's URL, escaped for the page.
    const std::string shown = websrv::EscapeHTML(url);
    for (std::size_t at = page.find("%1"); at != std::string::npos; at = page.find("%1", at + shown.size()))
        page.replace(at, 2, shown);

    CHttpResponseHeader h;
    SYSTEMTIME now = NowUTC();
    h.AddStatus(200);
    h.AddDate(now);
    h.AddServer(Settings().m_strServerName);
    h.AddAllow();
    SYSTEMTIME newestST;
    if (any && ::FileTimeToSystemTime(&newest, &newestST))
        h.AddLastModified(newestST);
    h.AddContentLength(static_cast<long>(page.size()));
    h.AddContentType("text/html");
    if (h.Send(m_socket))
        m_socket.Send(page.data(), static_cast<int>(page.size()));
    PostLog(200, static_cast<long>(page.size()));
}

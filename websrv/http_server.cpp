#include "http_server.h"

#include "fx/resources.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

// ---- records ----

void CHttpDirectory::SetAlias(const CString& alias)
{
    m_strAlias = websrv::NormaliseAlias(static_cast<const char*>(alias)).c_str();
}

CHttpServerSettings::CHttpServerSettings()
    : m_nPort(80), m_dwBindAddress(0), m_dwIdleTimeout(30000), m_dwHeadTimeout(10000), m_nMaxConnections(32),
      m_strServerName("W3MFC/1.1"), m_pClientFactory(nullptr)
{
    // Default: the program's own folder. Callers that publish nothing replace
    // this list (the assistant's server does, see StartWebServer).
    CHttpDirectory root;
    root.SetAlias("/");
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    char* slash = strrchr(path, '\\');
    if (slash)
        *slash = '\0';
    root.m_strDirectory = path;
    root.m_strDefaultFile = "default.htm";
    m_Directories.push_back(root);
}

websrv::HttpDate ToHttpDate(const SYSTEMTIME& st)
{
    websrv::HttpDate d;
    d.year = st.wYear;
    d.month = st.wMonth;
    d.dayOfWeek = st.wDayOfWeek;
    d.day = st.wDay;
    d.hour = st.wHour;
    d.minute = st.wMinute;
    d.second = st.wSecond;
    return d;
}

// ---- socket ----

BOOL CHttpSocket::Create()
{
    Close();
    m_hSocket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return m_hSocket != INVALID_SOCKET;
}

BOOL CHttpSocket::Bind(unsigned short port, unsigned long address)
{
    sockaddr_in sa = {};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = address;
    return ::bind(m_hSocket, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

BOOL CHttpSocket::Listen()
{
    return ::listen(m_hSocket, SOMAXCONN) == 0;
}

BOOL CHttpSocket::Accept(CHttpSocket& connected, sockaddr_in& address)
{
    int len = sizeof address;
    SOCKET s = ::accept(m_hSocket, reinterpret_cast<sockaddr*>(&address), &len);
    if (s == INVALID_SOCKET)
        return FALSE;
    // An accepted socket has the listener's properties: its blocking mode
    // and TCP_NODELAY (set once on the listener, see CHttpServer::Listen).
    connected.Attach(s, m_bNonBlocking);
    return TRUE;
}

BOOL CHttpSocket::Send(const char* data, int length)
{
    // send() may take less than asked; keep going until all is out, the
    // peer is gone, or (non-blocking) it has taken nothing for too long.
    ULONGLONG stalledSince = 0;
    while (length > 0) {
        int n = ::send(m_hSocket, data, length, 0);
        if (n > 0) {
            data += n;
            length -= n;
            stalledSince = 0;
            continue;
        }
        if (n == 0 || !m_bNonBlocking || ::WSAGetLastError() != WSAEWOULDBLOCK)
            return FALSE;
        const ULONGLONG now = ::GetTickCount64();
        if (!stalledSince)
            stalledSince = now;
        if (m_pStop && m_pStop->load())
            return FALSE;
        const ULONGLONG waited = now - stalledSince;
        if (waited >= m_dwSendTimeout)
            return FALSE;
        DWORD wait = static_cast<DWORD>(m_dwSendTimeout - waited);
        if (wait > 250)
            wait = 250;  // look at the stop flag now and then
        BOOL writable = FALSE;
        if (!IsWritable(wait, writable))
            return FALSE;
    }
    return TRUE;
}

int CHttpSocket::Receive(char* buffer, int length)
{
    return ::recv(m_hSocket, buffer, length, 0);
}

void CHttpSocket::Close()
{
    if (m_hSocket != INVALID_SOCKET) {
        ::closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
}

namespace {
// Waits up to the time for the socket to become readable or writable; FALSE
// when the wait itself failed.
BOOL WaitForSocket(SOCKET socket, bool forWrite, DWORD milliseconds, BOOL& ready)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval tv;
    tv.tv_sec = milliseconds / 1000;
    tv.tv_usec = (milliseconds % 1000) * 1000;
    int n = ::select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &tv);
    if (n == SOCKET_ERROR)
        return FALSE;
    ready = n > 0;
    return TRUE;
}
}  // namespace

BOOL CHttpSocket::IsReadable(DWORD milliseconds, BOOL& readable)
{
    return WaitForSocket(m_hSocket, false, milliseconds, readable);
}

BOOL CHttpSocket::IsWritable(DWORD milliseconds, BOOL& writable)
{
    return WaitForSocket(m_hSocket, true, milliseconds, writable);
}

BOOL CHttpSocket::WaitReadable(ULONGLONG remainingMs, BOOL& readable)
{
    DWORD wait = remainingMs > 250 ? 250 : static_cast<DWORD>(remainingMs);  // look at the stop flag now and then
    return IsReadable(wait, readable);
}

BOOL CHttpSocket::ReadRequest(websrv::RequestReader& reader, DWORD deadlineMs, const std::atomic<int>* stop)
{
    const ULONGLONG start = ::GetTickCount64();
    char buffer[4096];
    for (;;) {
        if (stop && stop->load())
            return FALSE;
        ULONGLONG elapsed = ::GetTickCount64() - start;
        if (elapsed >= deadlineMs)
            return FALSE;
        // A non-blocking socket is read at once: the request has usually
        // come with the connection, and the wait is only for what has not.
        if (!m_bNonBlocking) {
            BOOL readable = FALSE;
            if (!WaitReadable(deadlineMs - elapsed, readable))
                return FALSE;
            if (!readable)
                continue;
        }
        int n = Receive(buffer, sizeof buffer);
        if (n == SOCKET_ERROR && m_bNonBlocking && ::WSAGetLastError() == WSAEWOULDBLOCK) {
            BOOL readable = FALSE;
            if (!WaitReadable(deadlineMs - elapsed, readable))
                return FALSE;
            continue;
        }
        if (n <= 0)
            return FALSE;  // closed or failed before the request was whole
        switch (reader.Feed(buffer, static_cast<std::size_t>(n))) {
        case websrv::RequestReader::Complete: return TRUE;
        case websrv::RequestReader::TooLarge: return FALSE;
        default: break;
        }
    }
}

// ---- response header ----

void CHttpResponseHeader::AddStatus(int status)
{
    const char* line = websrv::StatusLine(status);
    if (line) {
        m_text += line;
    } else {
        char buf[40];
        std::snprintf(buf, sizeof buf, "HTTP/1.0 %d\r\n", status);
        m_text += buf;
    }
}

void CHttpResponseHeader::AddContentLength(long length)
{
    m_text += "Content-Length: " + std::to_string(length) + "\r\n";
}

void CHttpResponseHeader::AddContentType(const CString& type)
{
    m_text += "Content-Type: " + std::string(static_cast<const char*>(type)) + "\r\n";
}

void CHttpResponseHeader::AddAllow()
{
    m_text += "Allow: GET, HEAD\r\n";
}

void CHttpResponseHeader::AddDate(const SYSTEMTIME& utc)
{
    m_text += "Date: " + websrv::FormatHttpDate(ToHttpDate(utc)) + "\r\n";
}

void CHttpResponseHeader::AddLastModified(const SYSTEMTIME& utc)
{
    m_text += "Last-Modified: " + websrv::FormatHttpDate(ToHttpDate(utc)) + "\r\n";
}

void CHttpResponseHeader::AddExpires(const SYSTEMTIME& utc)
{
    m_text += "Expires: " + websrv::FormatHttpDate(ToHttpDate(utc)) + "\r\n";
}

void CHttpResponseHeader::AddWWWAuthenticateBasic(const CString& realm)
{
    // Quoted, as RFC 7617 asks; quotes and line breaks of the realm dropped.
    std::string r;
    for (const char* p = realm; *p; ++p)
        if (*p != '"' && *p != '\r' && *p != '\n' && *p != '\\')
            r += *p;
    m_text += "WWW-Authenticate: Basic realm=\"" + r + "\"\r\n";
}

void CHttpResponseHeader::AddLocation(const CString& location)
{
    std::string l;
    for (const char* p = location; *p; ++p)
        if (*p != '\r' && *p != '\n')
            l += *p;
    m_text += "Location: " + l + "\r\n";
}

void CHttpResponseHeader::AddServer(const CString& server)
{
    m_text += "Server: " + std::string(static_cast<const char*>(server)) + "\r\n";
}

BOOL CHttpResponseHeader::Send(CHttpSocket& socket)
{
    m_text += "\r\n";
    return socket.Send(m_text.data(), static_cast<int>(m_text.size()));
}

// ---- content types ----

CHttpMimeManager::CHttpMimeManager()
{
    ::InitializeCriticalSection(&m_lock);
}

CHttpMimeManager::~CHttpMimeManager()
{
    ::DeleteCriticalSection(&m_lock);
}

void CHttpMimeManager::Clear()
{
    ::EnterCriticalSection(&m_lock);
    m_cache.clear();
    ::LeaveCriticalSection(&m_lock);
}

CString CHttpMimeManager::GetContentType(const CString& extension)
{
    ::EnterCriticalSection(&m_lock);
    CString result;
    bool found = false;
    for (const auto& entry : m_cache)
        if (entry.first.CompareNoCase(extension) == 0) {
            result = entry.second;
            found = true;
            break;
        }
    if (!found && !extension.IsEmpty()) {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            char value[260] = {0};
            DWORD size = sizeof value - 1, type = 0;
            if (::RegQueryValueExA(key, "Content Type", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                    ERROR_SUCCESS &&
                type == REG_SZ && value[0]) {
                result = value;
                found = true;
            }
            ::RegCloseKey(key);
        }
        // A registry without the common types (a fresh system) still serves
        // the site's own pictures and pages with their proper types.
        if (!found) {
            if (const char* builtin = websrv::BuiltinContentType(static_cast<const char*>(extension))) {
                result = builtin;
                found = true;
            }
        }
        if (found)
            m_cache.emplace_back(extension, result);
    }
    ::LeaveCriticalSection(&m_lock);
    return found ? result : CString("text/plain");
}

// ---- server ----

IMPLEMENT_DYNAMIC(CHttpServer, CObject)

CHttpServer::CHttpServer() : m_hThread(nullptr) {}

CHttpServer::~CHttpServer()
{
    Stop();
}

BOOL CHttpServer::Start(const CHttpServerSettings& settings)
{
    if (m_hThread)
        Stop();
    m_state = std::make_shared<CHttpListenerState>();
    m_state->settings = settings;
    m_state->startedEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    // The thread holds its own reference to the state.
    auto* ref = new std::shared_ptr<CHttpListenerState>(m_state);
    m_hThread = ::CreateThread(nullptr, 0, &CHttpServer::ListenThread, ref, CREATE_SUSPENDED, nullptr);
    if (!m_hThread)
        delete ref;
    if (!m_hThread)
        return FALSE;
    ::ResumeThread(m_hThread);
    ::WaitForSingleObject(m_state->startedEvent, INFINITE);
    if (!m_state->result) {
        ::WaitForSingleObject(m_hThread, 5000);
        ::CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    return m_state->result;
}

DWORD WINAPI CHttpServer::ListenThread(LPVOID param)
{
    auto* ref = static_cast<std::shared_ptr<CHttpListenerState>*>(param);
    std::shared_ptr<CHttpListenerState> state = *ref;
    delete ref;
    Listen(state);
    return 1;
}

BOOL CHttpServer::Stop()
{
    if (!m_hThread)
        return TRUE;
    m_state->stop = 1;
    const DWORD bound = m_state->settings.m_dwIdleTimeout + 5000;
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        ULONGLONG elapsed = ::GetTickCount64() - start;
        if (elapsed >= bound)
            break;
        DWORD r = ::MsgWaitForMultipleObjects(1, &m_hThread, FALSE, static_cast<DWORD>(bound - elapsed), QS_ALLINPUT);
        if (r == WAIT_OBJECT_0)
            break;
        if (r == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            continue;
        }
        break;
    }
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    return TRUE;
}

BOOL CHttpServer::Wait()
{
    if (!m_hThread)
        return FALSE;
    ::WaitForSingleObject(m_hThread, INFINITE);
    return TRUE;
}

namespace {

// A connection whose request is being read.
struct PendingConnection {
    SOCKET socket;
    sockaddr_in peer;
    ULONGLONG started;
    websrv::RequestReader reader;
};

// How long the listener may sleep: until the nearest deadline of a pending
// connection, and at most a quarter second (it looks at the stop flag).
DWORD NextWait(const std::vector<PendingConnection>& pending, ULONGLONG now, DWORD headMs, DWORD wholeMs)
{
    ULONGLONG wait = 250;
    for (const PendingConnection& c : pending) {
        const ULONGLONG limit = c.started + (c.reader.HeadComplete() ? wholeMs : headMs);
        const ULONGLONG left = limit > now ? limit - now : 0;
        if (left < wait)
            wait = left;
    }
    return static_cast<DWORD>(wait);
}

}  // namespace

void CHttpServer::ServeConnections(const std::shared_ptr<CHttpListenerState>& state, CHttpSocket& listener,
                                   CHttpClient& client)
{
    const DWORD wholeMs = state->settings.m_dwIdleTimeout;
    const DWORD headMs = std::min(state->settings.m_dwHeadTimeout, wholeMs);
    // select() takes at most FD_SETSIZE sockets, the listener among them.
    const size_t bound = static_cast<size_t>(
        std::max(1, std::min(state->settings.m_nMaxConnections, static_cast<int>(FD_SETSIZE) - 1)));
    std::vector<PendingConnection> pending;
    pending.reserve(bound);
    char buffer[4096];
    while (!state->stop) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener.m_hSocket, &readable);
        for (const PendingConnection& c : pending)
            FD_SET(c.socket, &readable);
        const DWORD wait = NextWait(pending, ::GetTickCount64(), headMs, wholeMs);
        timeval tv = {static_cast<long>(wait / 1000), static_cast<long>((wait % 1000) * 1000)};
        if (::select(0, &readable, nullptr, nullptr, &tv) == SOCKET_ERROR) {
            ::Sleep(10);  // a failing wait must not spin
            continue;
        }
        if (state->stop)
            break;
        // New connections: taken while there is room, refused (closed at
        // once) beyond it, so that no connection waits unseen.
        if (FD_ISSET(listener.m_hSocket, &readable)) {
            for (;;) {
                sockaddr_in peer = {};
                int len = sizeof peer;
                SOCKET s = ::accept(listener.m_hSocket, reinterpret_cast<sockaddr*>(&peer), &len);
                if (s == INVALID_SOCKET)
                    break;
                u_long nb = 1;
                if (pending.size() >= bound || ::ioctlsocket(s, FIONBIO, &nb) != 0) {
                    ::closesocket(s);
                    continue;
                }
                pending.push_back({s, peer, ::GetTickCount64(), {}});
            }
        }
        // Read what has come; serve each request as soon as it is whole,
        // one at a time.
        for (size_t i = 0; i < pending.size() && !state->stop;) {
            PendingConnection& c = pending[i];
            bool done = false, serve = false;
            if (FD_ISSET(c.socket, &readable)) {
                int n = ::recv(c.socket, buffer, sizeof buffer, 0);
                if (n > 0) {
                    const auto st = c.reader.Feed(buffer, static_cast<size_t>(n));
                    done = serve = st != websrv::RequestReader::NeedMore;
                } else if (n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) {
                    done = true;  // closed or failed before the request was whole
                }
            }
            if (!done) {
                const ULONGLONG limit = c.started + (c.reader.HeadComplete() ? wholeMs : headMs);
                done = ::GetTickCount64() >= limit;  // too slow: closed unanswered
            }
            if (!done) {
                ++i;
                continue;
            }
            PendingConnection taken = std::move(c);
            pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
            if (serve) {
                client.SetReadRequest(std::move(taken.reader));
                client.HandleClient(taken.socket, taken.peer);
            } else {
                ::closesocket(taken.socket);
            }
        }
    }
    for (const PendingConnection& c : pending)
        ::closesocket(c.socket);
}

void CHttpServer::Listen(const std::shared_ptr<CHttpListenerState>& state)
{
    // Everything the thread touches is in the shared state, which it keeps
    // alive for itself: a stop that stopped waiting may free the server.
    CHttpSocket listener;
    auto fail = [&] {
        state->result = 0;
        ::SetEvent(state->startedEvent);
    };
    if (!listener.Create()) {
        fail();
        return;
    }
    if (!listener.Bind(state->settings.m_nPort, state->settings.m_dwBindAddress) || !listener.Listen()) {
        fail();
        return;
    }
    // Accepted sockets inherit the listener's TCP_NODELAY (answers are
    // written whole; their last piece is not held back). The listener and
    // every connection are non-blocking: one thread waits on all of them.
    BOOL on = TRUE;
    ::setsockopt(listener.m_hSocket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    u_long nonBlocking = 1;
    if (::ioctlsocket(listener.m_hSocket, FIONBIO, &nonBlocking) != 0) {
        fail();
        return;
    }
    listener.m_bNonBlocking = TRUE;
    state->nonBlocking = true;
    sockaddr_in bound = {};
    int len = sizeof bound;
    if (::getsockname(listener.m_hSocket, reinterpret_cast<sockaddr*>(&bound), &len) == 0)
        state->boundPort = ntohs(bound.sin_port);

    HANDLE token = nullptr;
    BOOL impersonated = FALSE;
    if (!state->settings.m_strUserName.IsEmpty()) {
        if (::LogonUserA(state->settings.m_strUserName, nullptr, state->settings.m_strPassword, 3, 0, &token))
            impersonated = ::ImpersonateLoggedOnUser(token);
        state->settings.m_strPassword.Empty();
        if (!impersonated) {
            if (token)
                ::CloseHandle(token);
            fail();
            return;
        }
    }

    HttpClientFactory factory = state->settings.m_pClientFactory;
    CHttpClient* client = factory ? factory() : new CHttpClient;
    client->SetServer(state);
    state->result = 1;
    ::SetEvent(state->startedEvent);

    ServeConnections(state, listener, *client);
    delete client;
    if (impersonated)
        ::RevertToSelf();
    if (token)
        ::CloseHandle(token);
    listener.Close();
}

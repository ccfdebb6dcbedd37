#include "http_server.h"

#include "fx/resources.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

// ---- records ----

void CHttpDirectory::SetAlias(const CString& alias)
{
    m_strAlias = websrv::NormaliseAlias(static_cast<const char*>(alias)).c_str();
}

CHttpServerSettings::CHttpServerSettings()
    : m_nPort(80), m_dwBindAddress(0), m_dwIdleTimeout(30000), m_dwHeadTimeout(10000), m_dwSendTimeout(30000),
      m_dwBusyTimeout(30000), m_nMaxConnections(256), m_nWorkers(8), m_strServerName("W3MFC/1.1"),
      m_pClientFactory(nullptr)
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

BOOL CHttpSocket::Send(const char* data, int length)
{
    if (length <= 0)
        return TRUE;
    if (m_pCapture) {
        m_pCapture->append(data, static_cast<std::size_t>(length));
        return TRUE;
    }
    // Without a capture buffer (no server): a blocking socket, all of it.
    while (length > 0) {
        int n = ::send(m_hSocket, data, length, 0);
        if (n <= 0)
            return FALSE;
        data += n;
        length -= n;
    }
    return TRUE;
}

void CHttpSocket::Close()
{
    if (m_hSocket != INVALID_SOCKET) {
        ::closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
}

CHttpResponse& CHttpResponse::operator=(CHttpResponse&& other) noexcept
{
    if (this != &other) {
        Reset();
        data = std::move(other.data);
        file = other.file;
        fileLeft = other.fileLeft;
        notBefore = other.notBefore;
        other.file = INVALID_HANDLE_VALUE;
        other.data.clear();
        other.fileLeft = 0;
        other.notBefore = 0;
    }
    return *this;
}

void CHttpResponse::Reset()
{
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    fileLeft = 0;
    notBefore = 0;
    data.clear();
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

namespace {

// A select() set of any size: Winsock reads the count from the set itself.
const int kMaxSetSockets = 1024;
struct SocketSet {
    u_int fd_count;
    SOCKET fd_array[kMaxSetSockets];
};
inline void AddSocket(SocketSet& set, SOCKET s)
{
    if (set.fd_count < static_cast<u_int>(kMaxSetSockets))
        set.fd_array[set.fd_count++] = s;
}
inline fd_set* AsFdSet(SocketSet& set)
{
    return reinterpret_cast<fd_set*>(&set);
}

}  // namespace

// One client connection, owned by the listener while it is read or sent to,
// by the queue while it waits for a worker, by a worker while it is worked on.
struct CHttpConnection {
    enum State { Reading, Sending };
    SOCKET socket = INVALID_SOCKET;
    sockaddr_in peer = {};
    State state = Reading;
    ULONGLONG started = 0;       // accepted
    ULONGLONG queued = 0;        // put in the queue for a worker
    ULONGLONG lastProgress = 0;  // the peer last took bytes of the answer
    websrv::RequestReader reader;
    CHttpResponse response;
    std::size_t sent = 0;  // bytes of response.data gone out
    bool readable = false, writable = false;  // set by the listener's wait
    bool tryNow = false;                      // an answer not tried yet: sent without a wait first
    // The answer's progress deadline counts from its last progress, or from
    // the time it was held back to.
    ULONGLONG ProgressSince() const { return std::max(lastProgress, response.notBefore); }
    ~CHttpConnection()
    {
        if (socket != INVALID_SOCKET)
            ::closesocket(socket);
    }
};

namespace {

enum SendResult { SEND_DONE, SEND_BLOCKED, SEND_FAILED };

// Sends what the peer takes without waiting: the bytes in hand, then the
// file's in pieces.
SendResult SendPending(CHttpConnection& c)
{
    CHttpResponse& r = c.response;
    for (;;) {
        if (c.sent < r.data.size()) {
            const std::size_t left = r.data.size() - c.sent;
            const int chunk = left > 0x40000000u ? 0x40000000 : static_cast<int>(left);
            int n = ::send(c.socket, r.data.data() + c.sent, chunk, 0);
            if (n > 0) {
                c.sent += static_cast<std::size_t>(n);
                c.lastProgress = ::GetTickCount64();
                continue;
            }
            if (n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK)
                return SEND_BLOCKED;
            return SEND_FAILED;
        }
        if (r.fileLeft > 0 && r.file != INVALID_HANDLE_VALUE) {
            const DWORD piece = static_cast<DWORD>(std::min<ULONGLONG>(r.fileLeft, 64 * 1024));
            r.data.resize(piece);
            DWORD read = 0;
            if (!::ReadFile(r.file, &r.data[0], piece, &read, nullptr) || read == 0) {
                r.data.clear();
                return SEND_FAILED;  // the file shrank: the answer is cut short
            }
            r.data.resize(read);
            r.fileLeft -= read;
            c.sent = 0;
            continue;
        }
        return SEND_DONE;
    }
}

}  // namespace

CHttpListenerState::CHttpListenerState() = default;

CHttpListenerState::~CHttpListenerState()
{
    if (startedEvent)
        ::CloseHandle(startedEvent);
    if (wakeSocket != INVALID_SOCKET)
        ::closesocket(wakeSocket);
    if (token)
        ::CloseHandle(token);
}

void CHttpListenerState::Wake()
{
    if (wakeSocket != INVALID_SOCKET)
        ::sendto(wakeSocket, "w", 1, 0, reinterpret_cast<const sockaddr*>(&wakeAddress), sizeof wakeAddress);
}

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

DWORD WINAPI CHttpServer::WorkerThread(LPVOID param)
{
    auto* ref = static_cast<std::shared_ptr<CHttpListenerState>*>(param);
    std::shared_ptr<CHttpListenerState> state = *ref;
    delete ref;
    Work(state);
    return 1;
}

BOOL CHttpServer::Stop()
{
    if (!m_hThread)
        return TRUE;
    m_state->stop = 1;
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        m_state->ready.notify_all();
    }
    m_state->Wake();
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

void CHttpServer::Work(const std::shared_ptr<CHttpListenerState>& state)
{
    if (state->token)
        ::ImpersonateLoggedOnUser(state->token);
    HttpClientFactory factory = state->settings.m_pClientFactory;
    CHttpClient* client = factory ? factory() : new CHttpClient;
    client->SetServer(state);
    for (;;) {
        std::unique_ptr<CHttpConnection> c;
        {
            std::unique_lock<std::mutex> guard(state->lock);
            state->ready.wait(guard, [&] { return state->stop.load() || !state->queue.empty(); });
            if (state->stop)
                break;
            c = std::move(state->queue.front());
            state->queue.pop_front();
            ++state->working;
        }
        client->SetReadRequest(std::move(c->reader));
        try {
            client->HandleClient(INVALID_SOCKET, c->peer);
        } catch (...) {
            // The answer so far (if any) still goes out.
        }
        c->response = client->TakeResponse();
        c->state = CHttpConnection::Sending;
        c->sent = 0;
        c->lastProgress = ::GetTickCount64();
        // Most answers fit into the socket's buffer: sent and closed here.
        bool handBack = true;
        if (c->response.notBefore <= c->lastProgress) {
            SendResult r = SendPending(*c);
            handBack = r == SEND_BLOCKED;
        } else {
            c->tryNow = true;  // held back: sent when its time comes
        }
        if (!handBack)
            c.reset();  // closes the socket
        {
            std::lock_guard<std::mutex> guard(state->lock);
            --state->working;
            if (c)
                state->done.push_back(std::move(c));
        }
        if (handBack)
            state->Wake();
    }
    delete client;
    if (state->token)
        ::RevertToSelf();
}

void CHttpServer::ServeConnections(const std::shared_ptr<CHttpListenerState>& state, CHttpSocket& listener)
{
    const CHttpServerSettings& settings = state->settings;
    const DWORD wholeMs = settings.m_dwIdleTimeout;
    const DWORD headMs = std::min(settings.m_dwHeadTimeout, wholeMs);
    const DWORD sendMs = settings.m_dwSendTimeout;
    const DWORD busyMs = settings.m_dwBusyTimeout;
    // select() sees the listener, the wake socket and every connection read
    // or sent to.
    const std::size_t bound = static_cast<std::size_t>(
        std::max(1, std::min(settings.m_nMaxConnections, kMaxSetSockets - 2)));
    std::vector<std::unique_ptr<CHttpConnection>> table;
    table.reserve(bound);
    char buffer[8192];

    auto queueForWorker = [&](std::unique_ptr<CHttpConnection> c) {
        c->queued = ::GetTickCount64();
        std::lock_guard<std::mutex> guard(state->lock);
        state->queue.push_back(std::move(c));
        state->ready.notify_one();
    };
    // Reads what has come; true when the connection is done with (closed or
    // handed to a worker) and its entry is empty.
    auto readSome = [&](std::unique_ptr<CHttpConnection>& c) {
        int n = ::recv(c->socket, buffer, sizeof buffer, 0);
        if (n > 0) {
            if (c->reader.Feed(buffer, static_cast<std::size_t>(n)) != websrv::RequestReader::NeedMore) {
                queueForWorker(std::move(c));
                return true;
            }
            return false;
        }
        if (n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK)
            return false;
        c.reset();  // closed or failed before the request was whole
        return true;
    };
    // Connections in hand: the table, the queue and the workers'.
    auto held = [&] {
        std::lock_guard<std::mutex> guard(state->lock);
        return table.size() + state->queue.size() + state->done.size() + static_cast<std::size_t>(state->working);
    };
    // Makes room for a new connection: the oldest one still sending its
    // request goes first, then the answer the peer has taken least of lately.
    auto evictOne = [&] {
        std::size_t victim = table.size();
        for (std::size_t i = 0; i < table.size(); ++i)
            if (table[i]->state == CHttpConnection::Reading &&
                (victim == table.size() || table[i]->started < table[victim]->started))
                victim = i;
        if (victim == table.size())
            for (std::size_t i = 0; i < table.size(); ++i)
                if (victim == table.size() || table[i]->lastProgress < table[victim]->lastProgress)
                    victim = i;
        if (victim == table.size())
            return false;
        table[victim] = std::move(table.back());
        table.pop_back();
        return true;
    };

    SocketSet readSet, writeSet;
    while (!state->stop) {
        ULONGLONG now = ::GetTickCount64();
        // Answers the workers handed back; requests that waited too long for
        // a worker get the busy page.
        {
            std::lock_guard<std::mutex> guard(state->lock);
            for (auto& c : state->done)
                table.push_back(std::move(c));
            state->done.clear();
            while (!state->queue.empty() && now - state->queue.front()->queued >= busyMs) {
                std::unique_ptr<CHttpConnection> c = std::move(state->queue.front());
                state->queue.pop_front();
                c->state = CHttpConnection::Sending;
                c->response.Reset();
                c->response.data = CHttpClient::BusyAnswer(settings);
                c->sent = 0;
                c->tryNow = true;
                c->lastProgress = now;
                table.push_back(std::move(c));
            }
        }
        // The wait: until the nearest deadline, a quarter second at most.
        ULONGLONG wait = 250;
        auto until = [&](ULONGLONG limit) {
            const ULONGLONG left = limit > now ? limit - now : 0;
            if (left < wait)
                wait = left;
        };
        readSet.fd_count = 0;
        writeSet.fd_count = 0;
        AddSocket(readSet, listener.m_hSocket);
        if (state->wakeSocket != INVALID_SOCKET)
            AddSocket(readSet, state->wakeSocket);
        for (const auto& c : table) {
            if (c->state == CHttpConnection::Reading) {
                AddSocket(readSet, c->socket);
                until(c->started + (c->reader.HeadComplete() ? wholeMs : headMs));
            } else if (c->response.notBefore > now) {
                until(c->response.notBefore);
            } else {
                if (c->tryNow)
                    wait = 0;
                AddSocket(writeSet, c->socket);
                until(c->ProgressSince() + sendMs);
            }
        }
        {
            std::lock_guard<std::mutex> guard(state->lock);
            if (!state->queue.empty())
                until(state->queue.front()->queued + busyMs);
        }
        timeval tv = {static_cast<long>(wait / 1000), static_cast<long>((wait % 1000) * 1000)};
        int n = ::select(0, AsFdSet(readSet), writeSet.fd_count ? AsFdSet(writeSet) : nullptr, nullptr, &tv);
        if (n == SOCKET_ERROR) {
            ::Sleep(10);  // a failing wait must not spin
            continue;
        }
        if (state->stop)
            break;
        auto inSet = [](const SocketSet& set, SOCKET s) {
            for (u_int i = 0; i < set.fd_count; ++i)
                if (set.fd_array[i] == s)
                    return true;
            return false;
        };
        if (n > 0) {
            for (auto& c : table) {
                c->readable = c->state == CHttpConnection::Reading && inSet(readSet, c->socket);
                c->writable = c->state == CHttpConnection::Sending && inSet(writeSet, c->socket);
            }
            if (state->wakeSocket != INVALID_SOCKET && inSet(readSet, state->wakeSocket)) {
                char drain[64];
                while (::recv(state->wakeSocket, drain, sizeof drain, 0) > 0) {
                }
            }
        } else {
            for (auto& c : table)
                c->readable = c->writable = false;
        }
        // Reads, sends and deadlines of the connections in hand.
        now = ::GetTickCount64();
        for (std::size_t i = 0; i < table.size();) {
            std::unique_ptr<CHttpConnection>& c = table[i];
            bool gone = false;
            if (c->state == CHttpConnection::Reading) {
                if (c->readable)
                    gone = readSome(c);
                if (!gone && now >= c->started + (c->reader.HeadComplete() ? wholeMs : headMs)) {
                    c.reset();  // too slow: closed unanswered
                    gone = true;
                }
            } else if (c->response.notBefore <= now) {
                if (c->writable || c->tryNow) {
                    c->tryNow = false;
                    SendResult r = SendPending(*c);
                    if (r != SEND_BLOCKED) {
                        c.reset();
                        gone = true;
                    }
                }
                if (!gone && now >= c->ProgressSince() + sendMs) {
                    c.reset();  // the peer takes nothing of its answer
                    gone = true;
                }
            }
            if (gone) {
                table[i] = std::move(table.back());
                table.pop_back();
                continue;
            }
            ++i;
        }
        // New connections: each is taken; when the table is full the oldest
        // idle connection makes room, so a new client is always served.
        if (n > 0 && inSet(readSet, listener.m_hSocket)) {
            for (;;) {
                sockaddr_in peer = {};
                int len = sizeof peer;
                SOCKET s = ::accept(listener.m_hSocket, reinterpret_cast<sockaddr*>(&peer), &len);
                if (s == INVALID_SOCKET)
                    break;
                // Accepted sockets are non-blocking as the listener is.
                while (held() >= bound && evictOne()) {
                }
                if (held() >= bound) {
                    ::closesocket(s);  // every connection is being worked on
                    continue;
                }
                auto c = std::make_unique<CHttpConnection>();
                c->socket = s;
                c->peer = peer;
                c->started = c->lastProgress = ::GetTickCount64();
                // The request has usually come with the connection.
                if (!readSome(c))
                    table.push_back(std::move(c));
            }
        }
    }
    table.clear();
    std::lock_guard<std::mutex> guard(state->lock);
    state->queue.clear();
    state->done.clear();
    state->ready.notify_all();
}

void CHttpServer::Listen(const std::shared_ptr<CHttpListenerState>& state)
{
    // Everything the threads touch is in the shared state, which each keeps
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
    sockaddr_in bound = {};
    int len = sizeof bound;
    if (::getsockname(listener.m_hSocket, reinterpret_cast<sockaddr*>(&bound), &len) == 0)
        state->boundPort = ntohs(bound.sin_port);
    // The names a request's Host may give: the loopback names, the address
    // listened on, and the names the settings add.
    state->served.port = state->boundPort;
    if (state->settings.m_dwBindAddress != 0) {
        in_addr a;
        a.s_addr = state->settings.m_dwBindAddress;
        state->served.Add(::inet_ntoa(a));
    }
    for (const CString& name : state->settings.m_HostNames)
        state->served.Add(static_cast<const char*>(name));

    // The listener's own wake-up: a datagram socket on the loopback address.
    state->wakeSocket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (state->wakeSocket != INVALID_SOCKET) {
        sockaddr_in wa = {};
        wa.sin_family = AF_INET;
        wa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int wl = sizeof wa;
        u_long nb = 1;
        if (::bind(state->wakeSocket, reinterpret_cast<sockaddr*>(&wa), sizeof wa) != 0 ||
            ::getsockname(state->wakeSocket, reinterpret_cast<sockaddr*>(&wa), &wl) != 0 ||
            ::ioctlsocket(state->wakeSocket, FIONBIO, &nb) != 0) {
            ::closesocket(state->wakeSocket);
            state->wakeSocket = INVALID_SOCKET;
        } else {
            state->wakeAddress = wa;
        }
    }

    if (!state->settings.m_strUserName.IsEmpty()) {
        HANDLE token = nullptr;
        BOOL impersonated = FALSE;
        if (::LogonUserA(state->settings.m_strUserName, nullptr, state->settings.m_strPassword, 3, 0, &token))
            impersonated = ::ImpersonateLoggedOnUser(token);
        state->settings.m_strPassword.Empty();
        if (!impersonated) {
            if (token)
                ::CloseHandle(token);
            fail();
            return;
        }
        state->token = token;
    }

    // The workers.
    const int workers = std::max(1, std::min(state->settings.m_nWorkers, 32));
    std::vector<HANDLE> threads;
    for (int i = 0; i < workers; ++i) {
        auto* ref = new std::shared_ptr<CHttpListenerState>(state);
        HANDLE t = ::CreateThread(nullptr, 0, &CHttpServer::WorkerThread, ref, 0, nullptr);
        if (t)
            threads.push_back(t);
        else
            delete ref;
    }
    if (threads.empty()) {
        fail();
        return;
    }
    state->result = 1;
    ::SetEvent(state->startedEvent);

    ServeConnections(state, listener);
    listener.Close();
    {
        std::lock_guard<std::mutex> guard(state->lock);
        state->ready.notify_all();
    }
    // The workers end after the request in hand; one that does not end in
    // the request time-out is left to end by itself.
    ::WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE,
                             state->settings.m_dwIdleTimeout);
    for (HANDLE t : threads)
        ::CloseHandle(t);
    if (state->token)
        ::RevertToSelf();
}

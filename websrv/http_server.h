// The main program's small HTTP/1.0 server. One listener thread owns every
// socket: it accepts, reads requests (each connection with deadlines for its
// head, its body and the progress of its answer) and sends answers without
// ever waiting on one client. Complete requests are worked on by a bounded
// pool of worker threads, each with its own client object, which build the
// answer; a worker sends it at once when the peer takes it, and hands the rest
// back to the listener otherwise. When the table of connections is full, the
// oldest idle connection makes room for the new one.
#pragma once

#include "fx/fx.h"
#include "http_parse.h"
#include "site_rules.h"

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CHttpServer;
class CHttpClient;

// One virtual directory.
class CHttpDirectory {
public:
    CHttpDirectory() : m_nFlags(0) {}
    void SetAlias(const CString& alias);  // stored normalised
    CString m_strAlias;
    CString m_strDirectory;
    CString m_strDefaultFile;
    int m_nFlags;  // nonzero: folders get a listing
    CString m_strUserName;
    CString m_strPassword;
    CString m_strRealm;
};

using HttpClientFactory = CHttpClient* (*)();

class CHttpServerSettings {
public:
    CHttpServerSettings();
    unsigned short m_nPort;
    std::vector<CHttpDirectory> m_Directories;
    unsigned long m_dwBindAddress;  // network order; 0 any
    DWORD m_dwIdleTimeout;          // whole-request deadline, milliseconds
    DWORD m_dwHeadTimeout;          // deadline for the head, milliseconds (at most the above)
    DWORD m_dwSendTimeout;          // an answer the peer takes nothing of for this long is dropped
    DWORD m_dwBusyTimeout;          // a request that finds no free worker for this long gets the busy page
    int m_nMaxConnections;          // connections held at once; beyond it the oldest idle one goes
    int m_nWorkers;                 // threads that work on requests
    // Names besides 127.0.0.1 and localhost under which clients reach the
    // server (the Host of a request must name one of them and the port).
    std::vector<CString> m_HostNames;
    CString m_strServerName;
    HttpClientFactory m_pClientFactory;
    CString m_strUserName;
    CString m_strPassword;
};

// Socket wrapper. A client object writes its answer through it; while a
// capture buffer is set (always, under the server) Send only appends to it,
// and the server sends the bytes without blocking.
class CHttpSocket {
public:
    CHttpSocket() : m_hSocket(INVALID_SOCKET), m_pCapture(nullptr) {}
    ~CHttpSocket() { Close(); }
    BOOL Create();
    BOOL Bind(unsigned short port, unsigned long address);
    BOOL Listen();
    // All of it or FALSE.
    BOOL Send(const char* data, int length);
    void Close();
    void Attach(SOCKET s) { Close(); m_hSocket = s; }
    void Capture(std::string* buffer) { m_pCapture = buffer; }
    bool IsCapturing() const { return m_pCapture != nullptr; }
    SOCKET m_hSocket;

private:
    std::string* m_pCapture;
};

// An answer as a client object built it: bytes, then possibly the rest of a
// file, sent by the server.
struct CHttpResponse {
    std::string data;
    HANDLE file = INVALID_HANDLE_VALUE;  // owned: the body goes on with this file
    ULONGLONG fileLeft = 0;
    ULONGLONG notBefore = 0;  // GetTickCount64 time before which nothing is sent (a login's delay)
    CHttpResponse() = default;
    CHttpResponse(CHttpResponse&& other) noexcept { *this = std::move(other); }
    CHttpResponse& operator=(CHttpResponse&& other) noexcept;
    CHttpResponse(const CHttpResponse&) = delete;
    CHttpResponse& operator=(const CHttpResponse&) = delete;
    ~CHttpResponse() { Reset(); }
    void Reset();
};

class CHttpResponseHeader {
public:
    void AddStatus(int status);
    void AddContentLength(long length);
    void AddContentType(const CString& type);
    void AddAllow();
    void AddDate(const SYSTEMTIME& utc);
    void AddLastModified(const SYSTEMTIME& utc);
    void AddExpires(const SYSTEMTIME& utc);
    void AddWWWAuthenticateBasic(const CString& realm);
    void AddLocation(const CString& location);
    void AddServer(const CString& server);
    BOOL Send(CHttpSocket& socket);
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

class CHttpMimeManager {
public:
    CHttpMimeManager();
    ~CHttpMimeManager();
    CString GetContentType(const CString& extension);
    void Clear();

private:
    std::vector<std::pair<CString, CString>> m_cache;
    CRITICAL_SECTION m_lock;
};

websrv::HttpDate ToHttpDate(const SYSTEMTIME& st);

struct CHttpConnection;

// What the listener, the workers and the server object share; it outlives the
// server when a stop had to give up waiting for a thread.
struct CHttpListenerState {
    CHttpServerSettings settings;
    std::atomic<int> stop{0};
    int result = 0;
    HANDLE startedEvent = nullptr;
    HANDLE token = nullptr;  // the account's logon, impersonated by every thread
    CHttpMimeManager mime;
    std::atomic<unsigned short> boundPort{0};
    websrv::ServedNames served;  // set before the first request
    // Requests waiting for a worker, answers handed back to the listener.
    std::mutex lock;
    std::condition_variable ready;
    std::deque<std::unique_ptr<CHttpConnection>> queue;
    std::vector<std::unique_ptr<CHttpConnection>> done;
    int working = 0;  // connections a worker holds
    // Wakes the listener from its wait (a datagram to itself).
    SOCKET wakeSocket = INVALID_SOCKET;
    sockaddr_in wakeAddress = {};
    void Wake();
    // Workers in the site's request lock or waiting for it.
    std::atomic<int> lockHolders{0};
    CHttpListenerState();
    ~CHttpListenerState();
};

class CHttpServer : public CObject {
    DECLARE_DYNAMIC(CHttpServer)
public:
    CHttpServer();
    ~CHttpServer() override;
    BOOL Start(const CHttpServerSettings& settings);
    // Stops the listener. The wait is bounded (the request deadline plus a
    // margin) and pumps the calling thread's messages, so a request that
    // needs the GUI thread can still finish; a listener that does not end in
    // time is left to end by itself. Returns TRUE.
    BOOL Stop();
    BOOL Wait();
    BOOL IsRunning() const { return m_hThread != nullptr; }
    const CHttpServerSettings& GetSettings() const { return m_state->settings; }
    CHttpMimeManager& GetMime() { return m_state->mime; }
    const std::atomic<int>& StopFlag() const { return m_state->stop; }
    // The port the listener is bound to (useful when 0 asked for a free one).
    unsigned short GetBoundPort() const { return m_state ? m_state->boundPort.load() : 0; }

    static DWORD WINAPI ListenThread(LPVOID param);
    static DWORD WINAPI WorkerThread(LPVOID param);
    static void Listen(const std::shared_ptr<CHttpListenerState>& state);
    // The listener's loop: accepts, reads and sends until the stop flag.
    static void ServeConnections(const std::shared_ptr<CHttpListenerState>& state, CHttpSocket& listener);
    static void Work(const std::shared_ptr<CHttpListenerState>& state);

private:
    std::shared_ptr<CHttpListenerState> m_state;
    HANDLE m_hThread;
};

// Serves accepted connections for a CHttpServer.
class CHttpClient : public CObject {
    DECLARE_DYNCREATE(CHttpClient)
public:
    CHttpClient();
    ~CHttpClient() override;

    virtual void HandleClient(SOCKET socket, const sockaddr_in& address);
    virtual void ReturnErrorMessage(int status);
    virtual void ReturnRedirectMessage(const CString& location);
    virtual void ReturnFileDeletedOkMessage();
    virtual void ReturnUnauthorizedMessage(const CString& realm);
    virtual void TransmitFile(const CString& localPath);
    virtual void TransmitDirectory(const CString& localPath);
    virtual BOOL MapPath(CString& localPath, BOOL& isFolder);
    virtual BOOL AcceptRequest();
    virtual const CHttpDirectory* FindDirectory(const CString& alias);
    virtual void PostLog(int status, long bytes);

    void SetServer(std::shared_ptr<CHttpListenerState> state) { m_state = std::move(state); }
    // The request the listener has read (complete, or too large): the next
    // HandleClient parses it.
    void SetReadRequest(websrv::RequestReader&& reader)
    {
        m_reader = std::move(reader);
        m_bRead = true;
    }
    // The answer the last HandleClient built.
    CHttpResponse TakeResponse() { return std::move(m_response); }
    // The busy page ("503 Service Unavailable") as a whole answer.
    static std::string BusyAnswer(const CHttpServerSettings& settings);

protected:
    // Parses the request the listener read; FALSE when it is not to be served
    // (answered: 400 for what cannot be parsed or a Host this server does
    // not answer to, 403 for a form posted from another site).
    BOOL ReadAndParse(bool& answered);
    void FinishConnection();
    BOOL SendPage(int status, int resourceId, const CString* realm, const CString* location);
    // A local path for the URL: alias walk up the URL's folders.
    BOOL ResolvePath(CString& localPath, BOOL& isFolder, const CHttpDirectory** dir, CString* fileName,
                     bool retryTilde);
    const CHttpServerSettings& Settings() const { return m_state->settings; }
    const std::atomic<int>* StopFlagPtr() const { return &m_state->stop; }
    bool IsHead() const { return m_request.verb == websrv::HTTP_VERB_HEAD; }
    void TransmitData(const char* data, long length);
    // Takes the connection's address; the answer goes into m_response.
    void AttachConnection(SOCKET socket, const sockaddr_in& address);
    // The peer's IPv4 address, host byte order.
    std::uint32_t PeerAddress() const { return ntohl(m_clientAddress.sin_addr.s_addr); }

    std::shared_ptr<CHttpListenerState> m_state;
    CHttpSocket m_socket;
    websrv::HttpRequest m_request;
    sockaddr_in m_clientAddress;
    websrv::RequestReader m_reader;
    bool m_bRead = false;  // m_reader holds what the listener read
    CHttpResponse m_response;
    HANDLE m_hImpersonation;
};

// The server log "Vindalex_WWW_Server.log" in the current folder.
class CWebServerLog {
public:
    CWebServerLog();
    ~CWebServerLog();
    // printf-style; for text that came from outside use "%s".
    void Log(const char* format, ...);
    void EnableConsole();
    void LogLastError();
    // Reopens (and rotates) the log in the given folder; for tests.
    void OpenIn(const CString& folder);

private:
    void Open(const CString& folder);
    HANDLE m_hFile;
    HANDLE m_hMutex;
    CRITICAL_SECTION m_lock;
    BOOL m_bConsole;
};

extern CWebServerLog g_WebServerLog;

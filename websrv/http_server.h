// The main program's small HTTP/1.0 server: one listener thread that reads
// the requests of a bounded number of connections at once (each with its own
// deadlines) and serves the complete ones one at a time through one client
// object.
#pragma once

#include "fx/fx.h"
#include "http_parse.h"

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <memory>
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
    int m_nMaxConnections;          // connections read at once; more are refused
    CString m_strServerName;
    HttpClientFactory m_pClientFactory;
    CString m_strUserName;
    CString m_strPassword;
};

// Thin socket wrapper. Under Wine every socket call is a round trip to the
// wine server, so the connection's calls are kept to the few that do work:
// a non-blocking socket is read and written first and waited on only when it
// would block.
class CHttpSocket {
public:
    CHttpSocket() : m_hSocket(INVALID_SOCKET), m_bNonBlocking(FALSE), m_dwSendTimeout(30000), m_pStop(nullptr) {}
    ~CHttpSocket() { Close(); }
    BOOL Create();
    BOOL Bind(unsigned short port, unsigned long address);
    BOOL Listen();
    BOOL Accept(CHttpSocket& connected, sockaddr_in& address);
    // All of it or FALSE. On a non-blocking socket a peer that takes nothing
    // for the send time-out, or a stop, ends the send.
    BOOL Send(const char* data, int length);
    int Receive(char* buffer, int length);
    void Close();
    void Attach(SOCKET s, BOOL nonBlocking = FALSE)
    {
        Close();
        m_hSocket = s;
        m_bNonBlocking = nonBlocking;
    }
    // How long a send may wait for a peer that does not read, and the flag
    // that ends the wait early.
    void SetSendLimits(DWORD timeoutMs, const std::atomic<int>* stop)
    {
        m_dwSendTimeout = timeoutMs;
        m_pStop = stop;
    }
    BOOL IsReadable(DWORD milliseconds, BOOL& readable);
    BOOL IsWritable(DWORD milliseconds, BOOL& writable);
    // Reads one request: the head up to the blank line, then the body by its
    // Content-Length; both capped. Ends by deadline (whole request) or when
    // *stop becomes nonzero. FALSE when no complete request came.
    BOOL ReadRequest(websrv::RequestReader& reader, DWORD deadlineMs, const std::atomic<int>* stop);
    SOCKET m_hSocket;
    BOOL m_bNonBlocking;  // the socket was made non-blocking (or inherited it)

private:
    BOOL WaitReadable(ULONGLONG remainingMs, BOOL& readable);
    DWORD m_dwSendTimeout;
    const std::atomic<int>* m_pStop;
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

// What the listener thread shares with the server object; it outlives the
// server when a stop had to give up waiting for the thread.
struct CHttpListenerState {
    CHttpServerSettings settings;
    std::atomic<int> stop{0};
    int result = 0;
    HANDLE startedEvent = nullptr;
    // Accepted sockets are non-blocking.
    std::atomic<bool> nonBlocking{false};
    CHttpMimeManager mime;
    std::atomic<unsigned short> boundPort{0};
    ~CHttpListenerState()
    {
        if (startedEvent)
            ::CloseHandle(startedEvent);
    }
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
    static void Listen(const std::shared_ptr<CHttpListenerState>& state);
    // The listener's loop: accepts, reads and serves until the stop flag.
    static void ServeConnections(const std::shared_ptr<CHttpListenerState>& state, CHttpSocket& listener,
                                 CHttpClient& client);

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
    // The request the listener has read already (complete, or too large):
    // the next HandleClient parses it instead of reading the socket.
    void SetReadRequest(websrv::RequestReader&& reader)
    {
        m_reader = std::move(reader);
        m_bRead = true;
    }

protected:
    // Reads and parses; FALSE when the connection is to be closed unanswered.
    // Answers 400 itself for a request it cannot parse (*answered set).
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
    // Takes the accepted connection: its socket (in the listener's blocking
    // mode, with the request time-out and the stop flag as send limits).
    void AttachConnection(SOCKET socket, const sockaddr_in& address);

    std::shared_ptr<CHttpListenerState> m_state;
    CHttpSocket m_socket;
    websrv::HttpRequest m_request;
    sockaddr_in m_clientAddress;
    websrv::RequestReader m_reader;
    bool m_bRead = false;  // m_reader holds what the listener read
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

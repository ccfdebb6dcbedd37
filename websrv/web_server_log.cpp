#include "http_server.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {
const char kLogName[] = "Vindalex_WWW_Server.log";
}

CWebServerLog g_WebServerLog;

CWebServerLog::CWebServerLog() : m_hFile(INVALID_HANDLE_VALUE), m_hMutex(nullptr), m_bConsole(FALSE)
{
    ::InitializeCriticalSection(&m_lock);
    Open(CString());
}

CWebServerLog::~CWebServerLog()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hFile);
    if (m_hMutex)
        ::CloseHandle(m_hMutex);
    ::DeleteCriticalSection(&m_lock);
}

void CWebServerLog::OpenIn(const CString& folder)
{
    ::EnterCriticalSection(&m_lock);
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    if (m_hMutex)
        ::CloseHandle(m_hMutex);
    m_hMutex = nullptr;
    Open(folder);
    ::LeaveCriticalSection(&m_lock);
}

void CWebServerLog::Open(const CString& folder)
{
    CString name = folder.IsEmpty() ? CString(kLogName) : folder + "\\" + kLogName;
    m_hMutex = ::OpenMutexA(SYNCHRONIZE, FALSE, "WWWSerLogMutex");
    if (!m_hMutex || !folder.IsEmpty()) {
        if (!m_hMutex)
            m_hMutex = ::CreateMutexA(nullptr, FALSE, "WWWSerLogMutex");
        // First process: keep two earlier logs and start afresh.
        ::CopyFileA(name + "~", name + "~~", FALSE);
        ::CopyFileA(name, name + "~", FALSE);
        HANDLE f = ::CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            SYSTEMTIME st;
            ::GetLocalTime(&st);
            char banner[512];
            int n = std::snprintf(banner, sizeof banner,
                                  "Vindalex Personal Assistant\r\nWeb server of the assistant.\r\n"
                                  "Requests served, one line each.\r\n"
                                  "Web Server Log Started: %02d/%02d/%02d %02d:%02d:%02d  \r\n------\r\n",
                                  st.wMonth, st.wDay, st.wYear, st.wHour, st.wMinute, st.wSecond);
            DWORD written;
            ::WriteFile(f, banner, static_cast<DWORD>(n), &written, nullptr);
            ::CloseHandle(f);
        }
    }
    m_hFile = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CWebServerLog::Log(const char* format, ...)
{
    char text[1025];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0)
        return;
    if (n > 1024)
        n = 1024;
    ::EnterCriticalSection(&m_lock);
    if (m_hFile != INVALID_HANDLE_VALUE) {
        // Written at the end of the file in one call (an offset of all ones
        // means the end), whatever another process appended meanwhile.
        OVERLAPPED atEnd = {};
        atEnd.Offset = 0xFFFFFFFF;
        atEnd.OffsetHigh = 0xFFFFFFFF;
        DWORD written;
        ::WriteFile(m_hFile, text, static_cast<DWORD>(n), &written, &atEnd);
    }
    if (m_bConsole)
        std::fwrite(text, 1, static_cast<size_t>(n), stdout);
    ::LeaveCriticalSection(&m_lock);
}

void CWebServerLog::EnableConsole()
{
    ::EnterCriticalSection(&m_lock);
    m_bConsole = TRUE;
    ::AllocConsole();
    ::LeaveCriticalSection(&m_lock);
}

void CWebServerLog::LogLastError()
{
    char* message = nullptr;
    ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, ::GetLastError(), 0, reinterpret_cast<LPSTR>(&message), 0, nullptr);
    std::string text = message ? message : "";
    if (message)
        ::LocalFree(message);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    Log("GetLastError(): %s", text.c_str());
}

#include "pending_requests.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

const DWORD kMaxFileBytes = 1u << 20;

bool IsPlausibleId(const std::string& id)
{
    if (id.empty() || id.size() > CPendingRequests::MAX_ID_LENGTH)
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) > ' '; });
}

} // namespace

void CPendingRequests::Open(const CString& path)
{
    m_path = path;
    m_bOpen = true;
    m_ids.clear();
    m_attempts.clear();
    if (m_path.IsEmpty())
        return;
    ::DeleteFileA(m_path + ".tmp");  // a save cut short: the list itself is whole
    HANDLE h = ::CreateFileA(m_path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::string text(kMaxFileBytes, '\0');
    DWORD read = 0;
    if (!::ReadFile(h, &text[0], kMaxFileBytes, &read, nullptr))
        read = 0;
    ::CloseHandle(h);
    text.resize(read);
    size_t start = 0;
    while (start < text.size() && m_ids.size() < MAX_PENDING) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            break;  // a last line without its end was never finished
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // "<id>" or "<id> <attempts>"
        int attempts = 0;
        size_t blank = line.find(' ');
        if (blank != std::string::npos) {
            attempts = std::atoi(line.c_str() + blank + 1);
            if (attempts < 0 || attempts > 1000)
                attempts = 0;
            line.resize(blank);
        }
        CString id = line.c_str();
        if (IsPlausibleId(line) && !Contains(id)) {
            m_ids.push_back(id);
            m_attempts.push_back(attempts);
        }
        start = end + 1;
    }
}

int CPendingRequests::IndexOf(const CString& id) const
{
    auto it = std::find(m_ids.begin(), m_ids.end(), id);
    return it == m_ids.end() ? -1 : static_cast<int>(it - m_ids.begin());
}

bool CPendingRequests::Contains(const CString& id) const { return IndexOf(id) >= 0; }

int CPendingRequests::Attempts(const CString& id) const
{
    int i = IndexOf(id);
    return i < 0 ? 0 : m_attempts[static_cast<size_t>(i)];
}

int CPendingRequests::Begin(const CString& id)
{
    int i = IndexOf(id);
    if (i < 0) {
        if (!Add(id))
            return 1;  // not noted: carried out once, as without the list
        i = IndexOf(id);
    }
    int& attempts = m_attempts[static_cast<size_t>(i)];
    ++attempts;
    Save();
    return attempts;
}

bool CPendingRequests::Add(const CString& id)
{
    if (Contains(id))
        return true;
    if (m_ids.size() >= MAX_PENDING || !IsPlausibleId(static_cast<const char*>(id)))
        return false;
    m_ids.push_back(id);
    m_attempts.push_back(0);
    if (Save())
        return true;
    m_ids.pop_back();
    m_attempts.pop_back();
    return false;
}

void CPendingRequests::Remove(const CString& id)
{
    int i = IndexOf(id);
    if (i < 0)
        return;
    m_ids.erase(m_ids.begin() + i);
    m_attempts.erase(m_attempts.begin() + i);
    Save();
}

bool CPendingRequests::Save() const
{
    if (m_path.IsEmpty())
        return true;
    if (m_ids.empty())
        return ::DeleteFileA(m_path) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    std::string text;
    for (size_t i = 0; i < m_ids.size(); ++i)
        text += std::string(static_cast<const char*>(m_ids[i])) + " " + std::to_string(m_attempts[i]) + "\r\n";
    // Written aside and moved over the list: a run cut short leaves the old
    // list or the new one, never half of one.
    const CString tmp = m_path + ".tmp";
    HANDLE h = ::CreateFileA(tmp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && ::FlushFileBuffers(h);
    ::CloseHandle(h);
    if (ok && ::MoveFileExA(tmp, m_path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileA(tmp);
    return false;
}

// CDocument: the document sent as a mail attachment through Simple MAPI.
#include "window_state.h"

#include <mapi.h>

#include <cstring>

namespace {

// The title as a file name: characters a file name cannot hold become "_".
CString AttachmentName(const CString& title)
{
    CString name = title.IsEmpty() ? CString("Untitled") : title;
    for (int i = 0; i < name.GetLength(); ++i)
        if (std::strchr("\\/:*?\"<>|", name[i]) || static_cast<unsigned char>(name[i]) < 32)
            name.SetAt(i, '_');
    return name;
}

} // namespace

ULONG CDocument::SendMail()
{
    HMODULE mapi = ::LoadLibraryA("MAPI32.DLL");
    if (!mapi)
        return MAPI_E_FAILURE;
    auto send = reinterpret_cast<LPMAPISENDMAIL>(::GetProcAddress(mapi, "MAPISendMail"));
    if (!send) {
        ::FreeLibrary(mapi);
        return MAPI_E_FAILURE;
    }
    CString name = AttachmentName(m_strTitle);
    CString ext;
    if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty() &&
        name.Find('.') < 0)
        name += ext;
    char folder[MAX_PATH] = {};
    DWORD n = ::GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH || lstrlenA(folder) + name.GetLength() >= MAX_PATH) {
        ::FreeLibrary(mapi);
        return MAPI_E_FAILURE;
    }
    CString path = CString(folder) + name;
    // Saving to the temporary file leaves the document's own state as it was.
    BOOL modified = IsModified();
    CString pathName = m_strPathName;
    BOOL saved = OnSaveDocument(path);
    m_strPathName = pathName;
    SetModifiedFlag(modified);
    if (!saved) {
        ::DeleteFileA(path);
        ::FreeLibrary(mapi);
        return MAPI_E_FAILURE;
    }
    MapiFileDesc file = {};
    file.nPosition = static_cast<ULONG>(-1);
    file.lpszPathName = const_cast<char*>(static_cast<const char*>(path));
    file.lpszFileName = const_cast<char*>(static_cast<const char*>(name));
    MapiMessage message = {};
    message.nFileCount = 1;
    message.lpFiles = &file;
    CWnd* main = AfxGetMainWnd();
    ULONG result = send(0, reinterpret_cast<ULONG_PTR>(main ? main->GetSafeHwnd() : nullptr), &message,
                        MAPI_LOGON_UI | MAPI_DIALOG, 0);
    ::DeleteFileA(path);
    ::FreeLibrary(mapi);
    return result;
}

void CDocument::OnFileSendMail()
{
    ULONG result = SendMail();
    if (result != SUCCESS_SUCCESS && result != MAPI_USER_ABORT)
        AfxMessageBox("The mail could not be sent.", MB_OK | MB_ICONEXCLAMATION);
}

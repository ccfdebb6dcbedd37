// CDocument: views, titles, reading and writing through Serialize, closing.
#include "window_state.h"

#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <vector>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

using namespace fx::win;

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
    ON_COMMAND(ID_FILE_SEND_MAIL, OnFileSendMail)
END_MESSAGE_MAP()

CDocument::CDocument()
    : m_pDocTemplate(nullptr), m_bModified(FALSE), m_bAutoDelete(TRUE), m_bEmbedded(FALSE)
{
}

CDocument::~CDocument()
{
    // Views outliving their document forget it.
    POSITION pos = m_viewList.GetHeadPosition();
    while (pos) {
        CView* pView = static_cast<CView*>(m_viewList.GetNext(pos));
        if (pView->m_pDocument == this)
            pView->m_pDocument = nullptr;
    }
    m_viewList.RemoveAll();
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle ? lpszTitle : "";
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL)
{
    if (!lpszPathName)
        lpszPathName = "";
    char full[MAX_PATH];
    DWORD n = *lpszPathName ? ::GetFullPathNameA(lpszPathName, MAX_PATH, full, nullptr) : 0;
    m_strPathName = (n > 0 && n < MAX_PATH) ? CString(full) : CString(lpszPathName);
    // The title is the file's name without its folder.
    const char* base = m_strPathName;
    for (const char* p = base; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            base = p + 1;
    SetTitle(base);
}

BOOL CDocument::IsModified() { return m_bModified; }
void CDocument::SetModifiedFlag(BOOL bModified) { m_bModified = bModified; }

void CDocument::AddView(CView* pView)
{
    if (!pView || pView->m_pDocument == this)
        return;
    if (pView->m_pDocument)
        pView->m_pDocument->RemoveView(pView);
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    if (!pView || pView->m_pDocument != this)
        return;
    POSITION pos = m_viewList.Find(pView);
    if (pos)
        m_viewList.RemoveAt(pos);
    pView->m_pDocument = nullptr;
    OnChangedViewList();  // may delete this
}

POSITION CDocument::GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    if (!rPosition)
        return nullptr;
    return static_cast<CView*>(m_viewList.GetNext(rPosition));
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    POSITION pos = GetFirstViewPosition();
    while (pos) {
        CView* pView = GetNextView(pos);
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::UpdateFrameCounts()
{
    // The distinct frames of the views, in view order.
    std::vector<CFrameWnd*> frames;
    POSITION pos = GetFirstViewPosition();
    while (pos) {
        CView* pView = GetNextView(pos);
        CFrameWnd* pFrame = pView->m_hWnd ? pView->GetParentFrame() : nullptr;
        if (pFrame && std::find(frames.begin(), frames.end(), pFrame) == frames.end())
            frames.push_back(pFrame);
    }
    int n = 1;
    for (CFrameWnd* pFrame : frames) {
        pFrame->m_nWindow = frames.size() > 1 ? n++ : -1;
        pFrame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

CFile* CDocument::GetFile(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    std::unique_ptr<CFile> file(new CFile);
    if (!file->Open(lpszFileName, nOpenFlags, pError))
        return nullptr;
    return file.release();
}

namespace {
// Runs the document's Serialize over the file in one direction. FALSE when it
// failed; *failure then holds the class library's exception, if it was one.
bool SerializeFile(CDocument& doc, CFile* pFile, UINT mode, CException** failure)
{
    *failure = nullptr;
    bool ok = true;
    doc.BeginWaitCursor();
    try {
        CArchive ar(pFile, mode | CArchive::bNoFlushOnDelete);
        doc.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        *failure = e;
        ok = false;
    } catch (...) {
        ok = false;
    }
    doc.EndWaitCursor();
    return ok;
}
}  // namespace

void CDocument::ReleaseFile(CFile* pFile, BOOL bAbort)
{
    if (!pFile)
        return;
    if (bAbort)
        pFile->Abort();
    else
        pFile->Close();
    delete pFile;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    CFileException fe;
    CFile* pFile = GetFile(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe);
    if (!pFile) {
        if (fe.m_strFileName.IsEmpty())
            fe.m_strFileName = lpszPathName;
        ReportSaveLoadException(lpszPathName, &fe, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(TRUE);  // the contents are in between while loading
    CException* failure = nullptr;
    if (!SerializeFile(*this, pFile, CArchive::load, &failure)) {
        ReleaseFile(pFile, TRUE);
        DeleteContents();
        ReportSaveLoadException(lpszPathName, failure, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        if (failure)
            failure->Delete();
        return FALSE;
    }
    ReleaseFile(pFile, FALSE);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    CFileException fe;
    CFile* pFile = GetFile(lpszPathName, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &fe);
    if (!pFile) {
        if (fe.m_strFileName.IsEmpty())
            fe.m_strFileName = lpszPathName;
        ReportSaveLoadException(lpszPathName, &fe, TRUE, AFX_IDP_INVALID_FILENAME);
        return FALSE;
    }
    CException* failure = nullptr;
    if (!SerializeFile(*this, pFile, CArchive::store, &failure)) {
        ReleaseFile(pFile, TRUE);
        // A half-written file is worse than none.
        ::DeleteFileA(lpszPathName);
        ReportSaveLoadException(lpszPathName, failure, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        if (failure)
            failure->Delete();
        return FALSE;
    }
    ReleaseFile(pFile, FALSE);
    SetModifiedFlag(FALSE);
    return TRUE;
}

namespace {

UINT FilePrompt(int cause)
{
    switch (cause) {
    case CFileException::fileNotFound: return AFX_IDP_FILE_NOT_FOUND;
    case CFileException::badPath: return AFX_IDP_FILE_BAD_PATH;
    case CFileException::tooManyOpenFiles: return AFX_IDP_FILE_TOO_MANY_OPEN;
    case CFileException::accessDenied: return AFX_IDP_FILE_ACCESS_DENIED;
    case CFileException::invalidFile: return AFX_IDP_FILE_INVALID_FILE;
    case CFileException::sharingViolation: return AFX_IDP_FILE_SHARING;
    case CFileException::diskFull: return AFX_IDP_FILE_DISKFULL;
    case CFileException::endOfFile: return AFX_IDP_FILE_EOF;
    default: return AFX_IDP_FILE_GENERIC;
    }
}

UINT ArchivePrompt(int cause)
{
    switch (cause) {
    case CArchiveException::readOnly: return AFX_IDP_ARCH_READONLY;
    case CArchiveException::endOfFile: return AFX_IDP_ARCH_ENDOFFILE;
    case CArchiveException::writeOnly: return AFX_IDP_ARCH_WRITEONLY;
    case CArchiveException::badIndex: return AFX_IDP_ARCH_BADINDEX;
    case CArchiveException::badClass: return AFX_IDP_ARCH_BADCLASS;
    case CArchiveException::badSchema: return AFX_IDP_ARCH_BADSCHEMA;
    default: return AFX_IDP_ARCH_GENERIC;
    }
}

// The prompt with "%1" replaced by the file name.
CString FormatPrompt(UINT nID, LPCTSTR lpszFile)
{
    CString text;
    if (!text.LoadString(nID))
        return text;
    text.Replace("%1", lpszFile ? lpszFile : "");
    return text;
}

} // namespace

void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault)
{
    // The user was told already.
    if (e && e->IsKindOf(RUNTIME_CLASS(CUserException)))
        return;
    UINT nIDP = nIDPDefault;
    CString file(lpszPathName ? lpszPathName : "");
    if (CArchiveException* ae = dynamic_cast<CArchiveException*>(e)) {
        nIDP = ArchivePrompt(ae->m_cause);
    } else if (CFileException* fe = dynamic_cast<CFileException*>(e)) {
        nIDP = FilePrompt(fe->m_cause);
        if (!fe->m_strFileName.IsEmpty())
            file = fe->m_strFileName;
    } else if (e && e->IsKindOf(RUNTIME_CLASS(CMemoryException))) {
        nIDP = AFX_IDP_FILE_TOO_LARGE;
    }
    CString text = FormatPrompt(nIDP, file);
    if (text.IsEmpty())
        text = FormatPrompt(bSaving ? AFX_IDP_FAILED_TO_SAVE_DOC : AFX_IDP_FAILED_TO_OPEN_DOC, file);
    AfxMessageBox(text, MB_ICONEXCLAMATION, nIDP);
}

void CDocument::OnCloseDocument()
{
    // The frames go first; the document must not delete itself meanwhile.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.IsEmpty()) {
        CView* pView = static_cast<CView*>(m_viewList.GetHead());
        CFrameWnd* pFrame = pView->m_hWnd ? pView->GetParentFrame() : nullptr;
        if (pFrame) {
            PreCloseFrame(pFrame);
            pFrame->DestroyWindow();
        }
        // A view the frame did not take with it leaves the list all the same.
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == pView)
            RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrameArg)
{
    // Another frame keeps the document open: nothing to save yet.
    POSITION pos = GetFirstViewPosition();
    while (pos) {
        CView* pView = GetNextView(pos);
        CFrameWnd* pFrame = pView->m_hWnd ? pView->GetParentFrame() : nullptr;
        if (pFrame && pFrame != pFrameArg)
            return TRUE;
    }
    return SaveModified();
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    if (name.IsEmpty() && !name.LoadString(AFX_IDS_UNTITLED))
        name = "Untitled";
    CString prompt = FormatPrompt(AFX_IDP_ASK_TO_SAVE, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        return TRUE;
    }
}

void CDocument::PreCloseFrame(CFrameWnd*) {}

void CDocument::OnChangedViewList()
{
    // The last view gone: an automatic document closes.
    if (m_viewList.IsEmpty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

BOOL CDocument::DoFileSave()
{
    DWORD attrs = m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(m_strPathName);
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
        return DoSave(nullptr);
    return DoSave(m_strPathName.IsEmpty() ? nullptr : (LPCTSTR)m_strPathName);
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace)
{
    CString newName = lpszPathName ? lpszPathName : "";
    if (newName.IsEmpty()) {
        newName = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
        CString ext;
        if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty() &&
            newName.Find('.') < 0)
            newName += ext;
        CWinApp* pApp = AfxGetApp();
        if (!pApp || !pApp->DoPromptFileName(newName, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                                             FALSE, m_pDocTemplate))
            return FALSE;
    }
    if (!OnSaveDocument(newName))
        return FALSE;
    if (bReplace)
        SetPathName(newName);
    return TRUE;
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(nullptr); }

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

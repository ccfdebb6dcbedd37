// Document templates: documents made together with their frame and view.
#include "window_state.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

using namespace fx::win;

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const
{
    return AfxExtractSubString(rString, m_strDocStrings, (int)index, '\n') && !rString.IsEmpty();
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    if (pDoc)
        pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc && pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    if (!lpszPathName || !*lpszPathName)
        return noAttempt;
    char full[MAX_PATH];
    DWORD n = ::GetFullPathNameA(lpszPathName, MAX_PATH, full, nullptr);
    CString path = (n > 0 && n < MAX_PATH) ? CString(full) : CString(lpszPathName);
    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc->GetPathName().IsEmpty() && pDoc->GetPathName().CompareNoCase(path) == 0) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }
    // The extension of the file's name (not of a folder).
    CString ext;
    int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    int dot = path.ReverseFind('.');
    if (dot > slash)
        ext = path.Mid(dot);
    CString exts;
    if (GetDocString(exts, CDocTemplate::filterExt)) {
        // One extension, or several separated by ';' (".a;.b").
        for (int i = 0;; ++i) {
            CString one;
            if (!AfxExtractSubString(one, exts, i, ';'))
                break;
            one.TrimLeft();
            one.TrimRight();
            if (!one.IsEmpty() && one[0] == '*')
                one = one.Mid(1);
            if (!one.IsEmpty() && one.CompareNoCase(ext) == 0)
                return yesAttemptNative;
        }
    }
    return yesAttemptForeign;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    CObject* obj = m_pDocClass->CreateObject();
    CDocument* pDoc = dynamic_cast<CDocument*>(obj);
    if (!pDoc) {
        delete obj;
        return nullptr;
    }
    AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (!m_pFrameClass)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* obj = m_pFrameClass->CreateObject();
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(obj);
    if (!pFrame) {
        delete obj;
        return nullptr;
    }
    ThreadState& ts = Thread();
    ts.pLastNcDestroyed = nullptr;
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        // A frame whose window was made and refused went with it; any other is ours.
        if (ts.pLastNcDestroyed != pFrame && !pFrame->m_hWnd)
            delete pFrame;
        return nullptr;
    }
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    if (pFrame)
        pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    // Closing a document removes it from the list: take the head each time.
    for (;;) {
        POSITION pos = GetFirstDocPosition();
        if (!pos)
            break;
        CDocument* pDoc = GetNextDoc(pos);
        BOOL bAutoDelete = pDoc->m_bAutoDelete;
        pDoc->OnCloseDocument();
        if (!bAutoDelete) {
            // Still alive: it leaves the template's list so the loop ends.
            RemoveDocument(pDoc);
        }
    }
}

void CDocTemplate::DiscardFrame(CFrameWnd* pFrame, CDocument* pDoc)
{
    // The frame's view leaves the document, which then closes itself (it is
    // an automatic document); a document kept alive is deleted here.
    BOOL bAutoDelete = pDoc->m_bAutoDelete;
    pDoc->m_bAutoDelete = FALSE;
    pFrame->DestroyWindow();
    pDoc->m_bAutoDelete = bAutoDelete;
}

// ---- CSingleDocTemplate ---------------------------------------------------------------------

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_pOnlyDoc(nullptr)
{
    LoadTemplate();
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc && m_pOnlyDoc->m_pDocTemplate == this)
        m_pOnlyDoc->m_pDocTemplate = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc ? reinterpret_cast<POSITION>(1) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* pDoc = rPos == reinterpret_cast<POSITION>(1) ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    if (!pDoc || m_pOnlyDoc)
        return;  // one document at a time
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc && pDoc == m_pOnlyDoc) {
        CDocTemplate::RemoveDocument(pDoc);
        m_pOnlyDoc = nullptr;
    }
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName) && !title.LoadString(AFX_IDS_UNTITLED))
        title = "Untitled";
    if (title.IsEmpty() && !title.LoadString(AFX_IDS_UNTITLED))
        title = "Untitled";
    pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = nullptr;
    CFrameWnd* pFrame = nullptr;
    BOOL bCreated = FALSE;
    if (m_pOnlyDoc) {
        // The one document is reused: it may have changes to save first.
        pDocument = m_pOnlyDoc;
        if (!pDocument->SaveModified())
            return nullptr;
        POSITION pos = pDocument->GetFirstViewPosition();
        if (pos)
            if (CView* pView = pDocument->GetNextView(pos))
                pFrame = pView->m_hWnd ? pView->GetParentFrame() : nullptr;
    } else {
        pDocument = CreateNewDocument();
        bCreated = TRUE;
    }
    if (!pDocument) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return nullptr;
    }
    if (!pFrame) {
        BOOL bAutoDelete = pDocument->m_bAutoDelete;
        pDocument->m_bAutoDelete = FALSE;  // a failed frame must not take the document along
        pFrame = CreateNewFrame(pDocument, nullptr);
        pDocument->m_bAutoDelete = bAutoDelete;
        if (!pFrame) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            if (bCreated)
                delete pDocument;
            return nullptr;
        }
    }
    if (!lpszPathName) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            if (bCreated) {
                DiscardFrame(pFrame, pDocument);
                delete pDocument;
            }
            return nullptr;
        }
    } else {
        BOOL bWasModified = pDocument->IsModified();
        pDocument->SetModifiedFlag(FALSE);
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            if (bCreated) {
                DiscardFrame(pFrame, pDocument);
                delete pDocument;
            } else if (!pDocument->IsModified()) {
                pDocument->SetModifiedFlag(bWasModified);
            } else {
                // The old contents are gone: start afresh rather than show half a file.
                SetDefaultTitle(pDocument);
                if (!pDocument->OnNewDocument())
                    pFrame->DestroyWindow();
            }
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName);
    }
    CWinThread* pThread = AfxGetThread();
    if (bCreated && pThread && !pThread->m_pMainWnd)
        pThread->m_pMainWnd = pFrame;  // the frame of a single-document program is its main window
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}

// ---- CMultiDocTemplate ----------------------------------------------------------------------

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_hMenuShared(nullptr),
      m_hAccelTable(nullptr), m_nUntitledCount(0)
{
    LoadTemplate();
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    POSITION pos = m_docList.GetHeadPosition();
    while (pos) {
        CDocument* pDoc = static_cast<CDocument*>(m_docList.GetNext(pos));
        if (pDoc->m_pDocTemplate == this)
            pDoc->m_pDocTemplate = nullptr;
    }
    m_docList.RemoveAll();
    if (m_hMenuShared && ::IsMenu(m_hMenuShared))
        ::DestroyMenu(m_hMenuShared);
}

void CMultiDocTemplate::LoadTemplate()
{
    CDocTemplate::LoadTemplate();
    LPCTSTR id = MAKEINTRESOURCEA(m_nIDResource);
    if (!m_hMenuShared) {
        HINSTANCE h = AfxFindResourceHandle(id, RT_MENU);
        if (::FindResourceA(h, id, RT_MENU))
            m_hMenuShared = ::LoadMenuA(h, id);
    }
    if (!m_hAccelTable) {
        HINSTANCE h = AfxFindResourceHandle(id, RT_ACCELERATOR);
        if (::FindResourceA(h, id, RT_ACCELERATOR))
            m_hAccelTable = ::LoadAcceleratorsA(h, id);
    }
}

POSITION CMultiDocTemplate::GetFirstDocPosition() const { return m_docList.GetHeadPosition(); }

CDocument* CMultiDocTemplate::GetNextDoc(POSITION& rPos) const
{
    if (!rPos)
        return nullptr;
    return static_cast<CDocument*>(m_docList.GetNext(rPos));
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    if (!pDoc || m_docList.Find(pDoc))
        return;
    CDocTemplate::AddDocument(pDoc);
    m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    POSITION pos = pDoc ? m_docList.Find(pDoc) : nullptr;
    if (!pos)
        return;
    m_docList.RemoveAt(pos);
    CDocTemplate::RemoveDocument(pDoc);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (GetDocString(title, docName)) {
        char num[16];
        wsprintfA(num, "%u", m_nUntitledCount + 1);
        title += num;
    } else if (!title.LoadString(AFX_IDS_UNTITLED)) {
        title = "Untitled";
    }
    pDocument->SetTitle(title);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = CreateNewDocument();
    if (!pDocument) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return nullptr;
    }
    BOOL bAutoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = FALSE;  // a failed frame must not take the document along
    CFrameWnd* pFrame = CreateNewFrame(pDocument, nullptr);
    pDocument->m_bAutoDelete = bAutoDelete;
    if (!pFrame) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        delete pDocument;
        return nullptr;
    }
    if (!lpszPathName) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            DiscardFrame(pFrame, pDocument);
            delete pDocument;
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            DiscardFrame(pFrame, pDocument);
            delete pDocument;
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}

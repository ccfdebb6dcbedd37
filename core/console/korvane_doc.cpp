#include "korvane_doc.h"

#include "korvane_app.h"
#include "dictionary_check.h"
#include "request_lock.h"
#include "running_log.h"
#include "resource.h"

CKorvaneDoc* g_pCurrentDocument = nullptr;

// The desktop toolbar refreshes its controls when the current document
// changes; until the toolbar exists this is a no-op hook it can take over.
void (*g_pfnToolbarUpdateData)() = nullptr;

void SetCurrentDocument(CKorvaneDoc* doc)
{
    g_pCurrentDocument = doc;
    if (g_pfnToolbarUpdateData)
        g_pfnToolbarUpdateData();
}

IMPLEMENT_DYNCREATE(CKorvaneDoc, CDocument)

BEGIN_MESSAGE_MAP(CKorvaneDoc, CDocument)
    ON_COMMAND(ID_PROCESS, OnProcess)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
    ON_COMMAND(ID_DICTIONARY_TEST, OnDictionaryTest)
END_MESSAGE_MAP()

CKorvaneDoc::CKorvaneDoc() { SetCurrentDocument(this); }

CKorvaneDoc::~CKorvaneDoc()
{
    if (g_pCurrentDocument == this)
        SetCurrentDocument(nullptr);
}

BOOL CKorvaneDoc::OnNewDocument() { return CDocument::OnNewDocument() ? TRUE : FALSE; }

void CKorvaneDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        return;
    ReadKvnStrings(ar, g_DocumentStrings);
}

void CKorvaneDoc::OnProcess() { theApp.m_Engine.OnProcess(); }

// The console has nothing to save, and no file is ever written.
void CKorvaneDoc::OnFileSave() {}
void CKorvaneDoc::OnFileSaveAs() {}

void CKorvaneDoc::OnDictionaryTest()
{
    RunDictionaryTest();
    // The results go to the log file at once: the console takes them into
    // its view and the file now, in one piece.
    POSITION pos = GetFirstViewPosition();
    while (pos) {
        CView* view = GetNextView(pos);
        view->Invalidate(TRUE);
        view->UpdateWindow();
    }
    runlog::Transfer(theApp.m_strLogPath, nullptr, CRequestLock::WAIT_GUI_MS);
}

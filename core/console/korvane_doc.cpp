#include "korvane_doc.h"

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

CKorvaneDoc::CKorvaneDoc() { SetCurrentDocument(this); }

CKorvaneDoc::~CKorvaneDoc()
{
    if (g_pCurrentDocument == this)
        SetCurrentDocument(nullptr);
}

void CKorvaneDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        return;
    ReadKvnStrings(ar, g_DocumentStrings);
}

BOOL CKorvaneDoc::OnOpenDocument(const char* path)
{
    try {
        CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
        CArchive ar(&file, CArchive::load);
        Serialize(ar);
        ar.Close();
        return TRUE;
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
}

// The console document: the command target of the mail road and the reader
// of ".kvn" files, whose strings join g_DocumentStrings. It stores nothing.
#pragma once

#include "fx/fxwin.h"

#include "kvn_file.h"

class CKorvaneDoc : public CDocument {
    DECLARE_DYNCREATE(CKorvaneDoc)
public:
    CKorvaneDoc();
    ~CKorvaneDoc() override;

    // Storing writes nothing; loading reads a ".kvn" file into strings.
    void Serialize(CArchive& ar) override;
    BOOL OnNewDocument() override;

protected:
    afx_msg void OnProcess();
    afx_msg void OnFileSave();
    afx_msg void OnFileSaveAs();
    afx_msg void OnDictionaryTest();
    DECLARE_MESSAGE_MAP()
};

extern CStringList g_DocumentStrings;
extern CKorvaneDoc* g_pCurrentDocument;
void SetCurrentDocument(CKorvaneDoc* doc);

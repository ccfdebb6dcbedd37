// The console document: the command target of the mail road and the reader
// of ".kvn" files, whose strings join g_DocumentStrings. It stores nothing.
#pragma once

#include "fx/fx.h"

class CKorvaneDoc : public CObject {
public:
    CKorvaneDoc();
    ~CKorvaneDoc() override;
    CKorvaneDoc(const CKorvaneDoc&) = delete;
    CKorvaneDoc& operator=(const CKorvaneDoc&) = delete;

    // Storing writes nothing; loading reads a ".kvn" file into strings.
    void Serialize(CArchive& ar) override;
    // Opens a ".kvn" file; FALSE (strings read so far kept) when it is not one.
    BOOL OnOpenDocument(const char* path);
};

// Reads the strings of a ".kvn" archive onto the end of list: an 8-byte
// value (not used), a signed 32-bit count, then that many archive strings.
void ReadKvnStrings(CArchive& ar, CStringList& list);

extern CStringList g_DocumentStrings;
extern CKorvaneDoc* g_pCurrentDocument;
void SetCurrentDocument(CKorvaneDoc* doc);

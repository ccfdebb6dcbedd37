// CPexmorDoc: the state of the tests and one test step a second.
#pragma once

#include "fx/fxwin.h"

class CPexmorDoc : public CDocument {
    DECLARE_DYNCREATE(CPexmorDoc)
public:
    enum Library { kUntested = 0, kOk = 1, kMissing = -1, kUpdateRequired = -2 };
    enum MailTest { kMailUntested = 0, kMailComplete = 1, kMailTesting = 2, kMailFailed = -1 };

    CPexmorDoc();

    // The first step that applies: a library check, the MAPI library, the
    // mail test, or completion.
    void RunNextTest();
    // The report as drawn.
    CString BuildReport() const;
    void Serialize(CArchive& ar) override;

    int m_bDone = 0;
    int m_nMapi32 = kUntested;
    int m_nMsvcrt = kUntested;
    int m_nMfc42 = kUntested;
    int m_nMsvcp60 = kUntested;
    int m_nMailSent = 0;  // cleared when the mail test fails
    int m_nMailTest = kMailUntested;

    static const char kMailNotice[];
};

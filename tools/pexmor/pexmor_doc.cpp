#include "pexmor_doc.h"

#include "library_check.h"

IMPLEMENT_DYNCREATE(CPexmorDoc, CDocument)

const char CPexmorDoc::kMailNotice[] =
    "Vindalex Setup will now test your email MAPI configuration.\r\n"
    "We will ask your email program to initiate a message.\r\n"
    "A blank message should appear on your screen. You may wish to\r\n"
    "send this message to yourself as a test.\r\n"
    "Make sure the right mail program is starting the message, otherwise\r\n"
    "you may need to reconfigure your correct mail program.\r\n"
    "If your email program asks for a username and/or password,\r\n"
    "you will need to enter Vindalex Properties and fill in the Mail tab.\r\n"
    "If you are not asked, for this information, you do not need to\r\n"
    "enter it into Vindalex.\r\n";

CPexmorDoc::CPexmorDoc() = default;

void CPexmorDoc::RunNextTest()
{
    if (m_nMailTest == kMailTesting)
        return;  // the mail program's window or a message box is open
    if (m_nMailTest == kMailComplete) {
        m_bDone = 1;
        return;
    }
    if (m_nMsvcrt == kUntested) {
        m_nMsvcrt = CheckLibrary("MSVCRT.DLL", 6, 8397);
        return;
    }
    if (m_nMsvcp60 == kUntested) {
        m_nMsvcp60 = CheckLibrary("MSVCP60.DLL", 6, 8168);
        return;
    }
    if (m_nMfc42 == kUntested) {
        m_nMfc42 = CheckLibrary("MFC42.DLL", 6, 8267);
        return;
    }
    if (m_nMapi32 == kUntested) {
        HMODULE mapi = ::LoadLibraryA("MAPI32.DLL");
        m_nMapi32 = mapi ? kOk : kMissing;
        if (mapi)
            ::FreeLibrary(mapi);
        return;
    }
    if (m_nMailTest == kMailUntested && m_nMapi32 == kOk) {
        m_nMailTest = kMailTesting;
        AfxMessageBox(kMailNotice, MB_OK);
        try {
            // A send the mail program refused is a failed test, not a complete one.
            if (SendMail() == 0) {
                m_nMailTest = kMailComplete;
                m_nMailSent = 1;
            } else {
                m_nMailTest = kMailFailed;
                m_nMailSent = 0;
                m_bDone = 1;
            }
        } catch (...) {
            m_nMailTest = kMailFailed;
            m_nMailSent = 0;
            m_bDone = 1;
        }
        return;
    }
    m_nMailTest = kMailFailed;
    m_nMailSent = 0;
    m_bDone = 1;
}

static const char* LibraryText(int result)
{
    switch (result) {
    case CPexmorDoc::kOk:
        return "OK\r\n";
    case CPexmorDoc::kMissing:
        return "Missing\r\n";
    case CPexmorDoc::kUpdateRequired:
        return "Update Required\r\n";
    default:
        return "\r\n";
    }
}

CString CPexmorDoc::BuildReport() const
{
    CString report = "Test Status:\r\n";
    report += "Test DLLs\r\n";
    report += CString("- MSVCRT.DLL:  ") + LibraryText(m_nMsvcrt);
    report += CString("- MSVCP60.DLL: ") + LibraryText(m_nMsvcp60);
    report += CString("- MFC42.DLL:   ") + LibraryText(m_nMfc42);
    report += CString("- MAPI32.DLL:  ") + LibraryText(m_nMapi32);
    report += "Test Mail\r\n";
    report += "- ";
    switch (m_nMailTest) {
    case kMailTesting:
        report += "Testing...\r\n";
        break;
    case kMailComplete:
        report += "Complete\r\n";
        break;
    case kMailFailed:
        report += "Failed\r\n";
        break;
    default:
        report += "Untested\r\n";
        break;
    }
    if (m_bDone)
        report += "\r\n\r\nTests Complete.\r\n";
    return report;
}

void CPexmorDoc::Serialize(CArchive& ar)
{
    // The content of the test mail's attachment.
    if (ar.IsStoring()) {
        CString text = "Testing Simple MAPI Send Message\r\n";
        ar << text;
    } else {
        CString text;
        ar >> text;
    }
}

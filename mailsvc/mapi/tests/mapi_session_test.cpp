// The session against a stand-in MAPI library that records what it is handed.
#include <gtest/gtest.h>

#include <string>

#include "fx/fxwin.h"
#include "mapi/zlm_mapi.h"
#include "stub/stub_mapi.h"
#include "test_access.h"

namespace {

const char kStub[] = "zlmmapistub.dll";
const char kStubWithoutResolveName[] = "zlmmapistub_partial.dll";

// Points the sessions at a library for the length of a test.
class LibraryName {
public:
    explicit LibraryName(const char* name) : m_old(CZLMMapi::m_pszLibraryName) { CZLMMapi::m_pszLibraryName = name; }
    ~LibraryName() { CZLMMapi::m_pszLibraryName = m_old; }

private:
    const char* m_old;
};

// A real window to lend as the MAPI parent.
class ParentWindow {
public:
    ParentWindow()
    {
        m_wnd.Attach(CreateWindowA("STATIC", "parent", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    }
    ~ParentWindow() { DestroyWindow(m_wnd.Detach()); }
    CWnd* wnd() { return &m_wnd; }
    ULONG_PTR handle() const { return reinterpret_cast<ULONG_PTR>(m_wnd.m_hWnd); }

private:
    CWnd m_wnd;
};

bool AllEntryPointsNull()
{
    return !CZLMMapi::lpfnMAPILogon && !CZLMMapi::lpfnMAPILogoff && !CZLMMapi::lpfnMAPISendMail &&
           !CZLMMapi::lpfnMAPISendDocuments && !CZLMMapi::lpfnMAPIFindNext && !CZLMMapi::lpfnMAPIReadMail &&
           !CZLMMapi::lpfnMAPISaveMail && !CZLMMapi::lpfnMAPIDeleteMail && !CZLMMapi::lpfnMAPIFreeBuffer &&
           !CZLMMapi::lpfnMAPIAddress && !CZLMMapi::lpfnMAPIDetails && !CZLMMapi::lpfnMAPIResolveName;
}

bool AllEntryPointsBound()
{
    return CZLMMapi::lpfnMAPILogon && CZLMMapi::lpfnMAPILogoff && CZLMMapi::lpfnMAPISendMail &&
           CZLMMapi::lpfnMAPISendDocuments && CZLMMapi::lpfnMAPIFindNext && CZLMMapi::lpfnMAPIReadMail &&
           CZLMMapi::lpfnMAPISaveMail && CZLMMapi::lpfnMAPIDeleteMail && CZLMMapi::lpfnMAPIFreeBuffer &&
           CZLMMapi::lpfnMAPIAddress && CZLMMapi::lpfnMAPIDetails && CZLMMapi::lpfnMAPIResolveName;
}

// Every test starts with a logged-on session on a fresh stub state.
class MapiSession : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0u, CZLMMapi::m_CZLMMapi_InstanceCount);
        // Held by the test too, so the stub's state outlives the last session.
        m_pin = LoadLibraryA(kStub);
        m_session = new CZLMMapi;
        ASSERT_EQ(0u, m_session->getMAPIInitError());
        auto getState = reinterpret_cast<StubMapiState* (WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(CZLMMapi::hinstMAPIdll, "GetStubMapiState")));
        ASSERT_NE(nullptr, getState);
        m_stub = getState();
        *m_stub = StubMapiState();
    }
    void TearDown() override
    {
        delete m_session;
        EXPECT_EQ(0u, CZLMMapi::m_CZLMMapi_InstanceCount);
        if (m_pin)
            FreeLibrary(m_pin);
    }
    void LogOn(CWnd* parent = nullptr)
    {
        ASSERT_EQ(0u, m_session->Logon("Profile", 0, "secret", parent));
        m_stub->calls = 0;
    }

    LibraryName m_name{kStub};
    HMODULE m_pin = nullptr;
    CZLMMapi* m_session = nullptr;
    StubMapiState* m_stub = nullptr;
};

} // namespace

TEST(MapiLibrary, FirstSessionLoadsLastOneUnloads)
{
    LibraryName name(kStub);
    ASSERT_EQ(nullptr, CZLMMapi::hinstMAPIdll);
    auto* first = new CZLMMapi;
    EXPECT_EQ(1u, CZLMMapi::m_CZLMMapi_InstanceCount);
    HINSTANCE loaded = CZLMMapi::hinstMAPIdll;
    ASSERT_NE(nullptr, loaded);
    EXPECT_TRUE(AllEntryPointsBound());
    auto* second = new CZLMMapi;
    EXPECT_EQ(2u, CZLMMapi::m_CZLMMapi_InstanceCount);
    EXPECT_EQ(loaded, CZLMMapi::hinstMAPIdll);
    delete second;
    EXPECT_EQ(1u, CZLMMapi::m_CZLMMapi_InstanceCount);
    EXPECT_EQ(loaded, CZLMMapi::hinstMAPIdll);
    EXPECT_TRUE(AllEntryPointsBound());
    delete first;
    EXPECT_EQ(0u, CZLMMapi::m_CZLMMapi_InstanceCount);
    EXPECT_EQ(nullptr, CZLMMapi::hinstMAPIdll);
    EXPECT_TRUE(AllEntryPointsNull());
    EXPECT_EQ(nullptr, GetModuleHandleA(kStub));
}

TEST(MapiLibrary, LoadFailuresAreToldOnceAndLeaveNothingBound)
{
    std::vector<std::string> boxes;
    AfxMessageBoxHook old = AfxSetMessageBoxHook([&](HWND, LPCTSTR text, LPCTSTR, UINT type) {
        boxes.push_back(text);
        EXPECT_EQ(static_cast<UINT>(MB_OK), type & 0xF);
        return IDOK;
    });
    {
        LibraryName name("zlm_no_such_mapi.dll");
        CZLMMapi a;
        CZLMMapi b;
        EXPECT_EQ(static_cast<ULONG>(ERROR_MOD_NOT_FOUND), a.getMAPIInitError());
        EXPECT_EQ(static_cast<ULONG>(ERROR_MOD_NOT_FOUND), b.getMAPIInitError());
        EXPECT_EQ(0u, CZLMMapi::m_CZLMMapi_InstanceCount);
        ASSERT_EQ(1u, boxes.size()) << "one box per process, not one per session object";
        EXPECT_EQ("An error (126) occurred while loading your email program's MAPI interface.\r\n"
                  "The interface resides in MAPI32.DLL and should have been installed with either your "
                  "Operating system\r\nor your email program.",
                  boxes[0]);
        // Unusable but harmless.
        CString id, type, seed;
        CZLMMapiMessage message;
        CZLMMapiRecipient recips;
        EXPECT_EQ(0u, a.GetSessionHandle());
        EXPECT_EQ(19u, a.FindNext(id, type, 0, seed, nullptr));
        EXPECT_EQ(19u, a.ReadMail(id, 0, message, nullptr));
        EXPECT_EQ(19u, a.SendMail(message, 0, nullptr));
        EXPECT_EQ(0u, a.Logoff(0, nullptr));
        EXPECT_NE(0u, a.Logon("p", 0, "", nullptr));
        EXPECT_EQ(0u, a.GetSessionHandle());
    }
    {
        // A library without one of the entry points is freed again, nothing left bound.
        LibraryName name(kStubWithoutResolveName);
        CZLMMapi partial;
        EXPECT_EQ(static_cast<ULONG>(ERROR_PROC_NOT_FOUND), partial.getMAPIInitError());
        EXPECT_TRUE(AllEntryPointsNull());
        EXPECT_EQ(nullptr, CZLMMapi::hinstMAPIdll);
        EXPECT_EQ(nullptr, GetModuleHandleA(kStubWithoutResolveName));
        EXPECT_EQ(0u, CZLMMapi::m_CZLMMapi_InstanceCount);
    }
    EXPECT_EQ(1u, boxes.size());
    {
        // The next session tries again, and succeeds with a whole library.
        LibraryName name(kStub);
        CZLMMapi good;
        EXPECT_EQ(0u, good.getMAPIInitError());
        EXPECT_EQ(1u, CZLMMapi::m_CZLMMapi_InstanceCount);
    }
    EXPECT_EQ(0u, CZLMMapi::m_CZLMMapi_InstanceCount);
    AfxSetMessageBoxHook(old);
}

TEST_F(MapiSession, NotLoggedOnCallsNothing)
{
    CString id("x"), type, seed, name("someone");
    CZLMMapiMessage message;
    CZLMMapiRecipient recips, chosen;
    EXPECT_EQ(19u, m_session->FindNext(id, type, 0, seed, nullptr));
    EXPECT_EQ(19u, m_session->ReadMail(id, 0, message, nullptr));
    EXPECT_EQ(19u, m_session->SendMail(message, 0, nullptr));
    EXPECT_EQ(19u, m_session->SaveMail(message, 0, id, nullptr));
    EXPECT_EQ(19u, m_session->DeleteMail(id, nullptr));
    EXPECT_EQ(19u, m_session->ResolveName(name, 0, recips, nullptr));
    EXPECT_EQ(19u, m_session->Address("c", 0, "", recips, 0, chosen, nullptr));
    EXPECT_EQ(19u, m_session->Details(recips, 0, nullptr));
    EXPECT_EQ(0u, m_session->Logoff(0, nullptr));
    EXPECT_EQ(0u, m_session->FreeBuffer(nullptr));
    EXPECT_EQ(0, m_stub->calls);
}

TEST_F(MapiSession, LogonHandsProfileAndPasswordAndKeepsTheFirstParent)
{
    ParentWindow first, second;
    EXPECT_EQ(0u, m_session->Logon("", 0x8000, "", first.wnd()));
    EXPECT_STREQ("", m_stub->profile) << "an empty profile is still a text";
    EXPECT_EQ(1, m_stub->passwordNull) << "an empty password is no password";
    EXPECT_EQ(0x8000u, m_stub->flags);
    EXPECT_EQ(first.handle(), m_stub->uiParam);
    EXPECT_EQ(0x1234u, m_session->GetSessionHandle());

    EXPECT_EQ(95u, m_session->Logon("Other", 0, "pw", second.wnd()));
    EXPECT_EQ(1, m_stub->calls);

    // Later operations without a window use the parent kept by the first logon.
    CString id, type, seed;
    m_session->FindNext(id, type, 0, seed, nullptr);
    EXPECT_EQ(first.handle(), m_stub->uiParam);
    m_session->FindNext(id, type, 0, seed, second.wnd());
    EXPECT_EQ(second.handle(), m_stub->uiParam);

    // Logoff uses only its own window; failure keeps the session.
    m_stub->result = MAPI_E_FAILURE;
    EXPECT_EQ(2u, m_session->Logoff(0, nullptr));
    EXPECT_EQ(0u, m_stub->uiParam);
    EXPECT_NE(0u, m_session->GetSessionHandle());
    m_stub->result = 0;
    EXPECT_EQ(0u, m_session->Logoff(0, nullptr));
    EXPECT_EQ(0u, m_session->GetSessionHandle());
}

TEST_F(MapiSession, FailedLogonLeavesNoSession)
{
    m_stub->result = MAPI_E_LOGIN_FAILURE;
    m_stub->sessionOnFailure = 0x999;
    EXPECT_EQ(3u, m_session->Logon("p", 0, "pw", nullptr));
    EXPECT_STREQ("pw", m_stub->password);
    EXPECT_EQ(0u, m_session->GetSessionHandle());
}

TEST_F(MapiSession, FindNextAddsLongIdentifiersAndCopiesTheResult)
{
    LogOn();
    std::string longID(600, 'i');
    strcpy(m_stub->nextMessageID, longID.c_str());
    CString id("seed-1"), type;
    EXPECT_EQ(0u, m_session->FindNext(id, type, 0x20, id, nullptr));
    EXPECT_EQ(0x4020u, m_stub->flags);
    EXPECT_STREQ("seed-1", m_stub->seed) << "the seed is read before the result is written";
    EXPECT_STREQ("", m_stub->messageType);
    EXPECT_EQ(CString(longID.substr(0, 511).c_str()), id);
}

TEST_F(MapiSession, ReadMailCopiesAndReleasesOnEveryPath)
{
    LogOn();
    CZLMMapiMessage message;
    CString id("msg-7");
    m_stub->readWithOriginator = 1;
    ASSERT_EQ(0u, m_session->ReadMail(id, MAPI_PEEK, message, nullptr));
    EXPECT_STREQ("msg-7", m_stub->messageID);
    EXPECT_EQ(static_cast<ULONG>(MAPI_PEEK), m_stub->flags);
    EXPECT_EQ(0, m_stub->buffersOut) << "MAPI's buffer is released at once";
    EXPECT_EQ(CString("Stub subject"), message.GetSubject());
    EXPECT_EQ(CString("Line one\r\nLine two\r\n"), message.GetNoteText());
    EXPECT_EQ(CString("SMTP:ann@example.org"), message.GetOriginator().GetAddress());
    EXPECT_EQ(2u, message.GetRecips().GetSize());
    EXPECT_EQ(CString("cc@example.org"), message.GetRecips()[1].GetAddress());
    EXPECT_EQ(CString("a.txt"), message.GetFiles().GetFileName());
    CTime when;
    EXPECT_EQ(0u, message.GetTimeReceived(when));
    EXPECT_EQ(CTime(2001, 5, 8, 14, 7, 0), when);

    // Without a sender: an empty originator list.
    m_stub->readWithOriginator = 0;
    ASSERT_EQ(0u, m_session->ReadMail(id, 0, message, nullptr));
    EXPECT_EQ(0u, message.GetOriginator().GetSize());
    EXPECT_EQ(CString("Stub subject"), message.GetSubject());

    // A failure that still hands out a buffer: released, message left empty.
    m_stub->result = MAPI_E_FAILURE;
    m_stub->readFailWithBuffer = 1;
    EXPECT_EQ(2u, m_session->ReadMail(id, 0, message, nullptr));
    EXPECT_EQ(0, m_stub->buffersOut);
    EXPECT_EQ(97u, ThrownCode([&] { message.GetSubject(); }));
}

TEST_F(MapiSession, SendAndSaveHandTheMessage)
{
    LogOn();
    CZLMMapiMessage message;
    message.SetSubject("s");
    EXPECT_EQ(0u, m_session->SendMail(message, 0x8, nullptr));
    EXPECT_EQ(0x8u, m_stub->flags);

    // The identifier buffer has room for the longest identifier, whatever the text held.
    std::string saved(511, 's');
    strcpy(m_stub->nextMessageID, saved.c_str());
    CString id;
    EXPECT_EQ(0u, m_session->SaveMail(message, 0, id, nullptr));
    EXPECT_EQ(CString(saved.c_str()), id);
    CString existing("old-id");
    EXPECT_EQ(0u, m_session->SaveMail(message, 0, existing, nullptr));
    EXPECT_STREQ("old-id", m_stub->messageID) << "the caller's identifier reaches MAPI";

    message.Flush();
    EXPECT_EQ(97u, m_session->SendMail(message, 0, nullptr));
    EXPECT_EQ(97u, m_session->SaveMail(message, 0, id, nullptr));

    CString gone("del-1");
    EXPECT_EQ(0u, m_session->DeleteMail(gone, nullptr));
    EXPECT_STREQ("del-1", m_stub->messageID);
}

TEST_F(MapiSession, ResolveAddressAndDetails)
{
    LogOn();
    CZLMMapiRecipient recip;
    CString empty;
    EXPECT_EQ(25u, m_session->ResolveName(empty, 0, recip, nullptr));
    EXPECT_EQ(0, m_stub->calls);

    CString name("Bob");
    ASSERT_EQ(0u, m_session->ResolveName(name, 0, recip, nullptr));
    EXPECT_EQ(0, m_stub->buffersOut);
    EXPECT_EQ(1u, recip.GetSize());
    EXPECT_EQ(CString("resolved@example.org"), recip.GetAddress());
    EXPECT_EQ(3u, ZLMMapiTestAccess::Pointer(recip)[0].ulEIDSize);

    CZLMMapiRecipient chosen;
    chosen.CreatePointer(1);
    m_stub->addressMode = 0;
    EXPECT_EQ(0u, m_session->Address("Pick", 1, "", recip, 0, chosen, nullptr));
    EXPECT_EQ(0u, chosen.GetSize());
    m_stub->addressMode = 1;
    EXPECT_EQ(0u, m_session->Address("Pick", 1, "", recip, 0, chosen, nullptr));
    EXPECT_EQ(0u, chosen.GetSize());
    EXPECT_EQ(0, m_stub->buffersOut);
    m_stub->addressMode = 2;
    EXPECT_EQ(0u, m_session->Address("Pick", 1, "", recip, 0, chosen, nullptr));
    EXPECT_EQ(2u, chosen.GetSize());
    EXPECT_EQ(CString("Second"), chosen[1].GetName());
    EXPECT_EQ(0, m_stub->buffersOut);
    m_stub->result = MAPI_USER_ABORT;
    EXPECT_EQ(1u, m_session->Address("Pick", 1, "", recip, 0, chosen, nullptr));
    EXPECT_EQ(0u, chosen.GetSize());
    EXPECT_EQ(0, m_stub->buffersOut);
    m_stub->result = 0;

    // Details shows the list's first entry, wherever the position is.
    EXPECT_EQ(0u, chosen.GetSize());
    CZLMMapiRecipient two;
    two.CreatePointer(2);
    two[0].SetName("Zero");
    two[1].SetName("One");
    EXPECT_EQ(0u, m_session->Details(two, 0, nullptr));
    EXPECT_STREQ("Zero", m_stub->detailsName);
}

TEST_F(MapiSession, DestroyingALoggedOnSessionLogsItOff)
{
    LogOn();
    StubMapiState* stub = m_stub;
    delete m_session;
    m_session = nullptr;
    EXPECT_EQ(1, stub->calls) << "the destructor logged off";
    EXPECT_EQ(0u, stub->flags);
    EXPECT_EQ(0u, stub->uiParam);
}

TEST_F(MapiSession, LogonUnscramblesTheStoredTexts)
{
    CString profile("Vindalex Profile"), password("pa ss");
    ZLMScrambleText(profile, kScrambleKeyMailProfile);
    ZLMScrambleText(password, kScrambleKeyMailPassword);
    CString log("before\r\n");
    CMAPILogon logon;
    EXPECT_EQ(0u, logon.Logon(m_session, profile, password, &log, nullptr));
    EXPECT_STREQ("Vindalex Profile", m_stub->profile);
    EXPECT_STREQ("pa ss", m_stub->password);
    EXPECT_EQ(0u, m_stub->flags);
    EXPECT_EQ(CString("before\r\n"), log);

    // Already logged on: 95 and the unknown-error text.
    EXPECT_EQ(95u, logon.Logon(m_session, profile, password, &log, nullptr));
    EXPECT_EQ(CString("before\r\n  Unknown error has occurred.\r\n"), log);
    ASSERT_EQ(0u, m_session->Logoff(0, nullptr));

    // Empty stored texts: an empty profile and no password.
    log.Empty();
    m_stub->result = MAPI_E_LOGIN_FAILURE;
    EXPECT_EQ(3u, logon.Logon(m_session, "", "", &log, nullptr));
    EXPECT_STREQ("", m_stub->profile);
    EXPECT_EQ(1, m_stub->passwordNull);
    EXPECT_EQ(CMAPILogon::GetErrorText(3), log);
    EXPECT_EQ(0u, m_session->GetSessionHandle());

    log.Empty();
    m_stub->result = 4;
    EXPECT_EQ(4u, logon.Logon(m_session, "", "", &log, nullptr));
    EXPECT_EQ(CString("  Unknown error has occurred.\r\n"), log);
}

#include "stub_mapi.h"

#include <cstdlib>
#include <cstring>

namespace {

StubMapiState g_state;

void Copy(char* to, size_t size, const char* from)
{
    if (!from) {
        std::strcpy(to, "<null>");
        return;
    }
    std::strncpy(to, from, size - 1);
    to[size - 1] = '\0';
}

// One block per buffer, as MAPI hands them out: freed with one MAPIFreeBuffer.
void* Allocate(size_t size)
{
    ++g_state.buffersOut;
    return std::calloc(1, size);
}

char* Place(char*& cursor, const char* text)
{
    char* at = cursor;
    std::strcpy(at, text);
    cursor += std::strlen(text) + 1;
    return at;
}

} // namespace

extern "C" {

StubMapiState* WINAPI GetStubMapiState() { return &g_state; }

ULONG WINAPI MAPILogon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags, ULONG, LPLHANDLE session)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    Copy(g_state.profile, sizeof g_state.profile, profile);
    g_state.passwordNull = password == nullptr;
    Copy(g_state.password, sizeof g_state.password, password);
    g_state.flags = flags;
    *session = g_state.result ? g_state.sessionOnFailure : 0x1234;
    return g_state.result;
}

ULONG WINAPI MAPILogoff(LHANDLE, ULONG_PTR ui, FLAGS flags, ULONG)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    g_state.flags = flags;
    return g_state.result;
}

ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR ui, lpMapiMessage, FLAGS flags, ULONG)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    g_state.flags = flags;
    return g_state.result;
}

ULONG WINAPI MAPISendDocuments(ULONG_PTR, LPSTR, LPSTR, LPSTR, ULONG) { return g_state.result; }

ULONG WINAPI MAPIFindNext(LHANDLE, ULONG_PTR ui, LPSTR type, LPSTR seed, FLAGS flags, ULONG, LPSTR id)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    Copy(g_state.messageType, sizeof g_state.messageType, type);
    Copy(g_state.seed, sizeof g_state.seed, seed);
    g_state.flags = flags;
    // Long identifiers fill at most 512 characters with the terminator.
    std::strncpy(id, g_state.nextMessageID, 511);
    id[511] = '\0';
    return g_state.result;
}

ULONG WINAPI MAPIReadMail(LHANDLE, ULONG_PTR ui, LPSTR id, FLAGS flags, ULONG, lpMapiMessage* out)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    Copy(g_state.messageID, sizeof g_state.messageID, id);
    g_state.flags = flags;
    *out = nullptr;
    if (g_state.result && !g_state.readFailWithBuffer)
        return g_state.result;
    char* block = static_cast<char*>(Allocate(4096));
    auto* message = reinterpret_cast<MapiMessage*>(block);
    auto* people = reinterpret_cast<MapiRecipDesc*>(block + sizeof(MapiMessage));
    auto* files = reinterpret_cast<MapiFileDesc*>(block + sizeof(MapiMessage) + 3 * sizeof(MapiRecipDesc));
    char* cursor = block + 1024;
    message->lpszSubject = Place(cursor, "Stub subject");
    message->lpszNoteText = Place(cursor, "Line one\r\nLine two\r\n");
    message->lpszDateReceived = Place(cursor, "2001/05/08 14:07");
    message->flFlags = MAPI_UNREAD;
    if (g_state.readWithOriginator) {
        people[0].ulRecipClass = MAPI_ORIG;
        people[0].lpszName = Place(cursor, "Ann Sender");
        people[0].lpszAddress = Place(cursor, "SMTP:ann@example.org");
        message->lpOriginator = &people[0];
    }
    people[1].ulRecipClass = MAPI_TO;
    people[1].lpszName = Place(cursor, "To One");
    people[2].ulRecipClass = MAPI_CC;
    people[2].lpszAddress = Place(cursor, "cc@example.org");
    message->nRecipCount = 2;
    message->lpRecips = &people[1];
    files[0].nPosition = 0xFFFFFFFF;
    files[0].lpszPathName = Place(cursor, "C:\\temp\\a.txt");
    files[0].lpszFileName = Place(cursor, "a.txt");
    message->nFileCount = 1;
    message->lpFiles = files;
    *out = message;
    return g_state.result;
}

ULONG WINAPI MAPISaveMail(LHANDLE, ULONG_PTR ui, lpMapiMessage, FLAGS flags, ULONG, LPSTR id)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    g_state.flags = flags;
    g_state.saveBufferLengthSeen = static_cast<ULONG>(std::strlen(id));
    Copy(g_state.messageID, sizeof g_state.messageID, id);
    // A provider may write an identifier of up to 512 characters with its terminator.
    std::strncpy(id, g_state.nextMessageID, 511);
    id[511] = '\0';
    return g_state.result;
}

ULONG WINAPI MAPIDeleteMail(LHANDLE, ULONG_PTR ui, LPSTR id, FLAGS flags, ULONG)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    Copy(g_state.messageID, sizeof g_state.messageID, id);
    g_state.flags = flags;
    return g_state.result;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer)
{
    --g_state.buffersOut;
    std::free(buffer);
    return 0;
}

ULONG WINAPI MAPIAddress(LHANDLE, ULONG_PTR ui, LPSTR, ULONG, LPSTR, ULONG, lpMapiRecipDesc, FLAGS flags, ULONG,
                         LPULONG count, lpMapiRecipDesc* out)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    g_state.flags = flags;
    *count = 0;
    *out = nullptr;
    if (g_state.addressMode == 0)
        return g_state.result;
    char* block = static_cast<char*>(Allocate(1024));
    auto* people = reinterpret_cast<MapiRecipDesc*>(block);
    char* cursor = block + 512;
    people[0].lpszName = Place(cursor, "First");
    people[1].lpszName = Place(cursor, "Second");
    *count = g_state.addressMode == 2 ? 2 : 0;
    *out = people;
    return g_state.result;
}

#ifndef STUB_WITHOUT_RESOLVENAME
ULONG WINAPI MAPIResolveName(LHANDLE, ULONG_PTR ui, LPSTR name, FLAGS flags, ULONG, lpMapiRecipDesc* out)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    g_state.flags = flags;
    *out = nullptr;
    if (g_state.result)
        return g_state.result;
    char* block = static_cast<char*>(Allocate(512));
    auto* person = reinterpret_cast<MapiRecipDesc*>(block);
    char* cursor = block + 256;
    person->ulRecipClass = MAPI_TO;
    person->lpszName = Place(cursor, name);
    person->lpszAddress = Place(cursor, "resolved@example.org");
    person->ulEIDSize = 3;
    person->lpEntryID = Place(cursor, "id");
    *out = person;
    return 0;
}
#endif

ULONG WINAPI MAPIDetails(LHANDLE, ULONG_PTR ui, lpMapiRecipDesc recip, FLAGS flags, ULONG)
{
    ++g_state.calls;
    g_state.uiParam = ui;
    g_state.flags = flags;
    Copy(g_state.detailsName, sizeof g_state.detailsName, recip ? recip->lpszName : nullptr);
    return g_state.result;
}

} // extern "C"

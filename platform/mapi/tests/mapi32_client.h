// Test side of Simple MAPI: the system's MAPI32.DLL, loaded and bound the way the
// assistant's session class does it, and mail profiles written into the registry.
#pragma once
#include <windows.h>
#include <mapi.h>

#include <string>

struct Mapi32 {
    HMODULE dll = nullptr;
    LPMAPILOGON Logon = nullptr;
    LPMAPILOGOFF Logoff = nullptr;
    LPMAPISENDMAIL SendMail = nullptr;
    LPMAPISENDDOCUMENTS SendDocuments = nullptr;
    LPMAPIFINDNEXT FindNext = nullptr;
    LPMAPIREADMAIL ReadMail = nullptr;
    LPMAPISAVEMAIL SaveMail = nullptr;
    LPMAPIDELETEMAIL DeleteMail = nullptr;
    LPMAPIFREEBUFFER FreeBuffer = nullptr;
    LPMAPIADDRESS Address = nullptr;
    LPMAPIDETAILS Details = nullptr;
    LPMAPIRESOLVENAME ResolveName = nullptr;

    // LoadLibrary("MAPI32.DLL") and the twelve entry points; false when any is missing.
    bool Load();
};

struct TestProfile {
    std::string name, password, maildir, from, smtp, outbox;
};
bool WriteProfile(const TestProfile& p);
void DeleteProfile(const std::string& name);

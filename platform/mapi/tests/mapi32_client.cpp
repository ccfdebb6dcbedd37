#include "mapi32_client.h"

#include <type_traits>

bool Mapi32::Load() {
    dll = LoadLibraryA("MAPI32.DLL");
    if (!dll) return false;
    auto bind = [&](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
        return fn != nullptr;
    };
    return bind(Logon, "MAPILogon") && bind(Logoff, "MAPILogoff") && bind(SendMail, "MAPISendMail") &&
           bind(SendDocuments, "MAPISendDocuments") && bind(FindNext, "MAPIFindNext") &&
           bind(ReadMail, "MAPIReadMail") && bind(SaveMail, "MAPISaveMail") && bind(DeleteMail, "MAPIDeleteMail") &&
           bind(FreeBuffer, "MAPIFreeBuffer") && bind(Address, "MAPIAddress") && bind(Details, "MAPIDetails") &&
           bind(ResolveName, "MAPIResolveName");
}

namespace {
const char kProfiles[] = "Software\\Vindalex\\VxMail\\Profiles\\";

void Set(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
}
} // namespace

bool WriteProfile(const TestProfile& p) {
    HKEY key;
    std::string path = kProfiles + p.name;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    Set(key, "Password", p.password);
    Set(key, "Maildir", p.maildir);
    Set(key, "From", p.from);
    Set(key, "SmtpServer", p.smtp);
    Set(key, "Outbox", p.outbox);
    RegCloseKey(key);
    return true;
}

void DeleteProfile(const std::string& name) {
    RegDeleteKeyA(HKEY_CURRENT_USER, (kProfiles + name).c_str());
}

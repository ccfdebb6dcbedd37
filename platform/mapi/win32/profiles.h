// Mail profiles, kept in the registry under HKEY_CURRENT_USER\Software\Vindalex\VxMail:
//   value "DefaultProfile"            the profile an empty logon name means
//   key   "Profiles\<name>" values    "Password", "Maildir", "From",
//                                     "SmtpServer" (host[:port]), "Outbox"
#pragma once
#include <string>

namespace vxmail {

struct Profile {
    std::string name;
    std::string password;
    std::string maildir;      // the store
    std::string from;         // sender address of outgoing mail
    std::string smtpHost;     // empty: outgoing mail stays in the outbox
    unsigned short smtpPort = 25;
    std::string outbox;       // Maildir of outgoing mail
};

extern const char kProfilesKey[];

// Reads the named profile (the default one for an empty name). False when it does
// not exist or has no store.
bool LoadProfile(const std::string& name, Profile& out);

} // namespace vxmail

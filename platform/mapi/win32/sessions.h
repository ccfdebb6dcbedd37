// Simple MAPI sessions: a handle per logon, each bound to a copy of its profile.
// The table is shared by every thread of the process.
#pragma once
#include <memory>
#include <string>

#include "../core/maildir.h"
#include "profiles.h"

namespace vxmail {

struct Session {
    Profile profile;
    // The profile's store, with its listing kept for the length of the session.
    std::unique_ptr<Maildir> store;
};

using SessionPtr = std::shared_ptr<const Session>;

constexpr size_t kMaxSessions = 64;

// MAPI result codes. A logon checks the profile and its password and opens (or
// creates) the store.
unsigned long OpenSession(const char* profile, const char* password, unsigned long* handle);
unsigned long CloseSession(unsigned long handle);
// The session of a handle; with allowImplicit, handle 0 means a session on the
// default profile for the length of one call.
unsigned long SessionFor(unsigned long handle, bool allowImplicit, SessionPtr& out);

} // namespace vxmail

// Mailbox lists of address header fields, and the plain addresses that Simple MAPI
// callers hand us ("john@x.org", "SMTP:john@x.org", "John <john@x.org>").
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vxmail {

struct Address {
    std::string name;      // UTF-8 display name, may be empty
    std::string address;   // addr-spec, may be empty for a malformed entry
};

// Parses an unfolded header value. Groups are flattened; at most 1000 entries.
std::vector<Address> ParseAddressList(std::string_view raw);

// The addr-spec a caller meant, with a protocol prefix such as "SMTP:" or "mailto:"
// removed. Empty when the text does not hold exactly one plausible address
// (local part "@" domain, no blanks or controls).
std::string PlainAddress(std::string_view text);

bool IsPlausibleAddress(std::string_view addr);

} // namespace vxmail

// Name resolution: the store has no address book, so a name resolves when it is
// (or holds) one e-mail address; the result carries the "SMTP:" address form.
#include <string>
#include <vector>

#include "../core/mail_address.h"
#include "ansi_text.h"
#include "mail_operations.h"
#include "mapi_buffers.h"

namespace vxmail {

ULONG ResolveName(const Session&, const char* name, MapiRecipDesc** out) {
    if (!out) return MAPI_E_FAILURE;
    *out = nullptr;
    std::string text = AnsiToUtf8(name);
    if (text.empty() || text.size() > 1024) return MAPI_E_UNKNOWN_RECIPIENT;
    std::string address = PlainAddress(text);
    if (address.empty()) return MAPI_E_UNKNOWN_RECIPIENT;
    std::string display;
    std::vector<Address> list = ParseAddressList(text);
    if (list.size() == 1 && !list[0].name.empty()) display = list[0].name;
    if (display.empty()) display = address;
    std::string ansiName = Utf8ToAnsi(display);
    std::string ansiAddress = "SMTP:" + Utf8ToAnsi(address);
    MapiBlock block(sizeof(MapiRecipDesc) + MapiBlock::TextSize(ansiName) + MapiBlock::TextSize(ansiAddress) + 16);
    if (!block.Ok()) return MAPI_E_INSUFFICIENT_MEMORY;
    MapiRecipDesc* r = block.Take<MapiRecipDesc>(1);
    r->ulRecipClass = MAPI_TO;
    r->lpszName = block.Copy(ansiName);
    r->lpszAddress = block.Copy(ansiAddress);
    *out = static_cast<MapiRecipDesc*>(block.Release());
    return SUCCESS_SUCCESS;
}

} // namespace vxmail

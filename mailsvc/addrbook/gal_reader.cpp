// The mail server's global address list, read through the process's directory.
#include "addrbook/address_book.h"

namespace {

CGalDirectory* g_directory = nullptr;

// The Exchange address book provider's identifier: its global address list is
// its container number 0.
const unsigned char kExchangeProviderUid[16] = {0xdc, 0xa7, 0x40, 0xc8, 0xc0, 0x42, 0x10, 0x1a,
                                                0xb4, 0xb9, 0x08, 0x00, 0x2b, 0x2f, 0xe1, 0x82};
const int kAddressBookContainer = 4;  // object type

// The one container that is the global address list; false when there is not
// exactly one.
bool FindGALEntryID(CGalDirectory& directory, std::string& entryId)
{
    std::vector<CGalDirectory::Container> containers;
    if (!directory.GetHierarchy(containers))
        return false;
    const std::string uid(reinterpret_cast<const char*>(kExchangeProviderUid), sizeof kExchangeProviderUid);
    int found = 0;
    for (const CGalDirectory::Container& c : containers) {
        if (c.providerUid == uid && c.number == 0 && c.objectType == kAddressBookContainer) {
            entryId = c.entryId;
            ++found;
        }
    }
    return found == 1 && !entryId.empty();
}

} // namespace

const unsigned long GAL_O_AddressBook::kPropertyTags[AddressEntry::FIELD_COUNT] = {
    0x3001001E, 0x3003001E, 0x3002001E, 0x3A08001E, 0x3A09001E, 0x3A15001E, 0x3A16001E,
    0x3A17001E, 0x3A18001E, 0x3A08001E, 0x3A1B001E, 0x3A1C001E, 0x3A21001E, 0x3A23001E,
    0x3A24001E, 0x3A25001E, 0x3A26001E, 0x3A27001E, 0x3A28001E, 0x3A29001E, 0x3A2A001E,
    0x3A50001E, 0x3A51001E, 0x3A5D001E, 0x3A59001E, 0x3A5C001E, 0x3A5A001E};

void GAL_O_AddressBook::SetDirectory(CGalDirectory* directory) { g_directory = directory; }
CGalDirectory* GAL_O_AddressBook::GetDirectory() { return g_directory; }

bool GAL_O_AddressBook::Load(CString& profileName, CString& password)
{
    CGalDirectory* directory = g_directory;
    if (!directory || !directory->Logon(profileName, password))
        return false;
    bool ok = GetGALContents(*directory);
    directory->Logoff();
    return ok;
}

bool GAL_O_AddressBook::GetGALContents(CGalDirectory& directory)
{
    std::string entryId;
    if (!FindGALEntryID(directory, entryId))
        return false;
    std::vector<unsigned long> columns(kPropertyTags, kPropertyTags + AddressEntry::FIELD_COUNT);
    if (!directory.OpenContents(entryId, columns))
        return false;
    // Row sets until one comes back empty, at most MAX_ROW_SETS of them.
    for (int set = 0; set < MAX_ROW_SETS; ++set) {
        std::vector<CGalDirectory::Row> rows;
        if (!directory.QueryRows(100, rows) || rows.empty())
            break;
        for (const CGalDirectory::Row& row : rows) {
            AddressEntry entry;
            for (size_t k = 0; k < row.size() && k < static_cast<size_t>(AddressEntry::FIELD_COUNT); ++k) {
                if (row[k].ok && (row[k].tag & 0xFFFF) == 0x001E)
                    entry.m_Fields[k] = row[k].text;
            }
            Add(entry);
        }
    }
    return true;
}

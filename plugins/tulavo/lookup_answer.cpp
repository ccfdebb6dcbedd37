#include "lookup_answer.h"

namespace {

// The label and the field the answer shows; later kinds win.
void ChosenField(const LookupReading& r, CString& label, int& field)
{
    label = "Phone number";
    field = AddressEntry::BUS_PHONE_AGAIN;
    if (r.m_bEmail) {
        label = "Email address";
        field = AddressEntry::EMAIL;
    }
    if (r.m_bBusiness) {
        label = "Business number";
        field = AddressEntry::BUS_PHONE;
    }
    if (r.m_bHome) {
        label = "Home number";
        field = AddressEntry::HOME_PHONE;
    }
    if (r.m_bMobile) {
        label = "Mobile number";
        field = AddressEntry::MOBILE_PHONE;
    }
    if (r.m_bFax) {
        label = "Fax number";
        field = AddressEntry::PRIMARY_FAX;
    }
    if (r.m_bPager) {
        label = "Pager number";
        field = AddressEntry::PAGER;
    }
}

CString EntryText(const LookupReading& r, const AddressEntry& e, int field)
{
    if (r.m_bSummary) {
        CString more;
        more.Format("\r\nEmail: %s Bus: %s Fax: %s\r\nMobile: %s Pager: %s Home: %s",
                    (LPCTSTR)e.m_Fields[AddressEntry::EMAIL], (LPCTSTR)e.m_Fields[AddressEntry::BUS_PHONE],
                    (LPCTSTR)e.m_Fields[AddressEntry::PRIMARY_FAX], (LPCTSTR)e.m_Fields[AddressEntry::MOBILE_PHONE],
                    (LPCTSTR)e.m_Fields[AddressEntry::PAGER], (LPCTSTR)e.m_Fields[AddressEntry::HOME_PHONE]);
        return e.GetBusAddress() + more;
    }
    if (r.m_bAddress)
        return e.GetBusAddress();
    return e.GetName() + " - " + e.m_Fields[field];
}

} // namespace

bool BuildLookupText(const LookupReading& reading, const std::vector<AddressBook*>& books, CString& text)
{
    CString label;
    int field = 0;
    ChosenField(reading, label, field);
    text.Format("%s entries matching \"%s\":\r\n", (LPCTSTR)label, (LPCTSTR)reading.m_strName);
    // No name would match every entry of every book.
    if (reading.m_strName.IsEmpty())
        return false;
    int found = 0;
    for (AddressBook* book : books) {
        if (!book)
            continue;
        book->FindName(reading.m_strName);
        // A book gives each of its entries at most once.
        for (int left = book->GetSize(); left > 0; --left) {
            AddressEntry entry = book->GetNext();
            if (entry.GetName().IsEmpty())
                break;
            // Entries stand apart, also across books.
            if (found > 0)
                text += "\r\n-------------------\r\n";
            text += EntryText(reading, entry, field);
            ++found;
        }
    }
    return found > 0;
}

CString NotFoundText(const CString& name, const CString& logLine)
{
    CString text;
    text.Format("An entry for that name could not be found in the address book. Did you enclose the name in \" \" ?  "
                "(%s)\r\n\r\n",
                (LPCTSTR)name);
    return text + logLine;
}

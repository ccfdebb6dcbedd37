// The entry record, the book's search and the name-to-address translation.
#include "addrbook/address_book.h"

#include "files/fileutil.h"

#include <cstring>

const char* const AddressBook::kDelimiters = " \t'\":!@#$%^&*()_-+={}[];/?.>,<\\|`~";

AddressEntry& AddressEntry::operator=(AddressEntry other)
{
    for (int i = 0; i < FIELD_COUNT; ++i)
        m_Fields[i] = other.m_Fields[i];
    return *this;
}

CString AddressEntry::GetBusAddress() const
{
    CString text;
    text.Format("%s, %s\r\n%s\r\n%s\r\n%s\r\n%s, %s\r\n%s\r\n%s\r\n", (LPCTSTR)m_Fields[NAME],
                (LPCTSTR)m_Fields[JOB_TITLE], (LPCTSTR)m_Fields[DEPARTMENT], (LPCTSTR)m_Fields[COMPANY],
                (LPCTSTR)m_Fields[BUS_STREET], (LPCTSTR)m_Fields[BUS_CITY], (LPCTSTR)m_Fields[BUS_STATE],
                (LPCTSTR)m_Fields[BUS_COUNTRY], (LPCTSTR)m_Fields[BUS_POSTAL_CODE]);
    return text;
}

CString AddressEntry::GetHomeAddress() const
{
    CString text;
    text.Format("%s\r\n%s\r\n%s, %s\r\n%s\r\n%s\r\n", (LPCTSTR)m_Fields[NAME], (LPCTSTR)m_Fields[HOME_STREET],
                (LPCTSTR)m_Fields[HOME_CITY], (LPCTSTR)m_Fields[HOME_STATE], (LPCTSTR)m_Fields[HOME_COUNTRY],
                (LPCTSTR)m_Fields[POSTAL_ADDRESS]);
    return text;
}

void AddressBook::GetAll()
{
    m_nCursor = 0;
    m_nField = -1;
    m_strSearch.Empty();
}

void AddressBook::FindItem(CString text, int field)
{
    m_nCursor = 0;
    m_nField = field;
    text.MakeUpper();
    m_strSearch = text;
}

AddressEntry AddressBook::GetNext()
{
    while (m_nCursor < GetSize()) {
        const AddressEntry& entry = m_Entries[m_nCursor++];
        if (m_nField < 0 || m_nField >= AddressEntry::FIELD_COUNT)
            return entry;
        CString field = entry.m_Fields[m_nField];
        field.MakeUpper();
        for (int at = field.Find(m_strSearch); at >= 0; at = field.Find(m_strSearch, at + 1)) {
            if (at == 0 || std::strchr(kDelimiters, field[at - 1]))
                return entry;
        }
    }
    return AddressEntry();
}

namespace {

// Leading and trailing blanks and line ends of a field read from a book.
CString Trimmed(CString text)
{
    text.TrimLeft(" \t\r\n");
    text.TrimRight(" \t\r\n");
    return text;
}

// The address of the first entry of the book that the name finds and that has
// one; empty when there is none.
CString LookUp(AddressBook& book, const CString& name)
{
    book.FindName(name);
    for (;;) {
        AddressEntry entry = book.GetNext();
        if (Trimmed(entry.GetName()).IsEmpty())
            return CString();
        CString address = Trimmed(entry.GetEmail());
        if (!address.IsEmpty())
            return address;
    }
}

} // namespace

CString AddressBook::TranslateNameToEmail(CString name, CString& profileName, CString& profilePassword,
                                          CString& ownAddress, CString& exportFilePath, CString* log)
{
    // A name typed into a form or read from a request line may carry blanks or
    // a line end; only what lies between them is the name.
    name = Trimmed(name);
    CString lower = name;
    lower.MakeLower();
    if (lower == "me")
        return ownAddress;
    static const char* const kMailTo[] = {"mailto:", "MAILTO:", "MailTo:", "Mailto:"};
    for (const char* spelling : kMailTo)
        name.Replace(spelling, "");
    name = Trimmed(name);
    if (name.IsEmpty())
        return CString();
    int colon = name.Find(':');
    CString addressPart = colon >= 0 ? name.Mid(colon) : name;

    CString result = name;
    if (!IsEMailAddress(addressPart)) {
        // The global address list first; the export file when the list cannot be
        // read or does not know the name.
        bool anyBook = false;
        CString found;
        GAL_O_AddressBook gal;
        if (gal.Load(profileName, profilePassword)) {
            anyBook = true;
            found = LookUp(gal, name);
        }
        if (found.IsEmpty()) {
            CDF_OE_AddressBook cdf;
            if (cdf.Load(exportFilePath)) {
                anyBook = true;
                found = LookUp(cdf, name);
            } else if (log && !cdf.GetErrorText().IsEmpty()) {
                *log += cdf.GetErrorText();
            }
        }
        if (!anyBook)
            return CString();
        if (!found.IsEmpty())
            result = found;
    }
    if (result.Find(':') >= 0)
        return result;
    CString prefix = GetProtocolPrefix();
    if (!prefix.IsEmpty())
        return prefix + ":" + result;
    return result;
}

bool AddressBook::IsAddressToSendTo(const CString& translated)
{
    int colon = translated.ReverseFind(':');
    return IsEMailAddress(colon >= 0 ? translated.Mid(colon + 1) : translated) != 0;
}

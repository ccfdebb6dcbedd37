// Address books: contact entries, a book with its word-start search, the
// translation of a person's name into an e-mail address, and the two readers
// that fill a book (the mail server's global address list and the address
// book's comma-delimited export file).
#pragma once
#include "fx/fx.h"

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

// The system's message text for code (-1: the calling thread's last error),
// at most 511 characters, without its trailing line ends; empty when the
// system has none.
CString GetSystemErrorText(DWORD code = static_cast<DWORD>(-1));
#endif

// One contact: 27 text fields, all empty when new.
class AddressEntry {
public:
    enum { FIELD_COUNT = 27 };
    enum {
        NAME = 0,
        EMAIL = 1,
        ADDRESS_TYPE = 2,
        BUS_PHONE = 3,
        HOME_PHONE = 4,
        POSTAL_ADDRESS = 5,
        COMPANY = 6,
        JOB_TITLE = 7,
        DEPARTMENT = 8,
        BUS_PHONE_AGAIN = 9,
        BUS_PHONE_2 = 10,
        MOBILE_PHONE = 11,
        PAGER = 12,
        PRIMARY_FAX = 13,
        BUS_FAX = 14,
        HOME_FAX = 15,
        BUS_COUNTRY = 16,
        BUS_CITY = 17,
        BUS_STATE = 18,
        BUS_STREET = 19,
        BUS_POSTAL_CODE = 20,
        HOME_WEB_PAGE = 21,
        BUS_WEB_PAGE = 22,
        HOME_STREET = 23,
        HOME_CITY = 24,
        HOME_STATE = 25,
        HOME_COUNTRY = 26,
    };

    AddressEntry() = default;
    AddressEntry(const AddressEntry& other) = default;
    AddressEntry& operator=(AddressEntry other);

    CString GetName() const { return m_Fields[NAME]; }
    CString GetEmail() const { return m_Fields[EMAIL]; }
    CString GetBusPhone() const { return m_Fields[BUS_PHONE]; }
    CString GetHomePhone() const { return m_Fields[HOME_PHONE]; }
    CString GetCellPhone() const { return m_Fields[MOBILE_PHONE]; }
    CString GetPagerNumber() const { return m_Fields[PAGER]; }
    CString GetBusFax() const { return m_Fields[BUS_FAX]; }
    CString GetHomeFax() const { return m_Fields[HOME_FAX]; }
    CString GetHomeWebPage() const { return m_Fields[HOME_WEB_PAGE]; }
    CString GetBusWebPage() const { return m_Fields[BUS_WEB_PAGE]; }
    // Name, title, department, company, street, city, state, country, postal code.
    CString GetBusAddress() const;
    // Name, street, city, state, country, postal address.
    CString GetHomeAddress() const;

    CString m_Fields[FIELD_COUNT];
};

class AddressBook {
public:
    void Free() { m_Entries.clear(); }
    int GetSize() const { return static_cast<int>(m_Entries.size()); }
    void Add(const AddressEntry& entry) { m_Entries.push_back(entry); }

    // The following GetNext calls give every entry in order.
    void GetAll();
    // The following GetNext calls give each entry whose field holds the text
    // (any case) at its start or right after a delimiter.
    void FindItem(CString text, int field);
    void FindName(CString text) { FindItem(text, AddressEntry::NAME); }
    void FindEmail(CString text) { FindItem(text, AddressEntry::EMAIL); }
    void FindCompany(CString text) { FindItem(text, AddressEntry::COMPANY); }
    void FindCity(CString text) { FindItem(text, AddressEntry::BUS_CITY); }
    void FindState(CString text) { FindItem(text, AddressEntry::BUS_STATE); }
    // The next entry that matches; an empty entry when none is left.
    AddressEntry GetNext();

    // The address for a name: "me" is ownAddress; "mailto:" spellings are
    // removed; an address is kept; else the name is looked up in the global
    // address list and then in the export file, and the first entry found with
    // an address gives it. A name found nowhere comes back as it stands. Empty
    // when the name is blank or no address book can be read. Without a protocol
    // the user's protocol prefix goes in front. Reader errors go to log.
    static CString TranslateNameToEmail(CString name, CString& profileName, CString& profilePassword,
                                        CString& ownAddress, CString& exportFilePath, CString* log = nullptr);

    // Whether a translation gave an address to send to: what follows its
    // protocol prefix, if any, is an e-mail address.
    static bool IsAddressToSendTo(const CString& translated);

    // The characters after which a search text may begin a match.
    static const char* const kDelimiters;

protected:
    // The user's mail protocol prefix (value kVEmailProtocolPrefix) up to its
    // first ":"; empty when there is none or the registry cannot be read.
    static CString GetProtocolPrefix();

#ifdef _WIN32
    // The books' registry access, one key at a time under HKEY_CURRENT_USER.
    // The state is class-wide and unguarded: one thread at a time.
    // Connects to HKEY_CURRENT_USER (after disconnecting a held root); 1.
    static int Connect2Registry();
    // Closes the open key and the root; 0 when closing the root failed, else 1.
    static int DisconnectFromRegistry();
    // Creates or opens path under the root, closing the key open before; 0 on
    // failure (the result in m_ErrorCode), else 1.
    static int CreateKey(const char* path);
    // The open key's string value name, or defaultValue when it cannot be
    // read; returns the query's result (0 on success), 0 and m_ErrorCode 87
    // for a null name.
    static int GetStringValue(const char* name, CString& value, CString defaultValue);
    // Writes value as a string value of the open key; the result code (0 on
    // success), 0 and m_ErrorCode 87 for a null name.
    static int SetStringValue(const char* name, const CString& value);

    static HKEY m_RegistryHandle;  // HKEY_CURRENT_USER while connected, else null
    static HKEY m_KeyHandle;       // the open key
    static BOOL m_bHaveToCloseKeyHandle;
    static CString m_sKeyName;
    static CString m_sRegistryName;
    static CString m_sComputerName;
    static LONG m_ErrorCode;
#endif

    std::vector<AddressEntry> m_Entries;
    int m_nCursor = 0;
    CString m_strSearch;  // upper case
    int m_nField = -1;    // -1: every entry
};

// The mail server's global address list, read through a directory of the mail
// system (the platform's Extended MAPI where there is one).
class CGalDirectory {
public:
    virtual ~CGalDirectory() = default;
    // One row of a table: the columns asked for, in order; a column whose
    // value is not text has ok false.
    struct Column {
        unsigned long tag = 0;
        bool ok = false;
        CString text;
    };
    typedef std::vector<Column> Row;
    // One container of the address book's hierarchy.
    struct Container {
        std::string entryId;
        std::string providerUid;  // 16 bytes
        long number = -1;
        int objectType = 0;
    };
    // Logs on with the profile; false without a session.
    virtual bool Logon(const CString& profile, const CString& password) = 0;
    // The address book's containers; false when the session has no address book.
    virtual bool GetHierarchy(std::vector<Container>& containers) = 0;
    // Opens a container's contents with these columns; false when it cannot.
    virtual bool OpenContents(const std::string& entryId, const std::vector<unsigned long>& columns) = 0;
    // Up to max rows from the open contents; none when all were read.
    virtual bool QueryRows(int max, std::vector<Row>& rows) = 0;
    virtual void Logoff() = 0;
};

class GAL_O_AddressBook : public AddressBook {
public:
    // Reads the global address list through the directory set for the process
    // (none by default: then it fails). False without a session, without an
    // address book, or when no single global address list can be read.
    bool Load(CString& profileName, CString& password);
    // The directory the readers use; null for none. The caller keeps it alive.
    static void SetDirectory(CGalDirectory* directory);
    static CGalDirectory* GetDirectory();

    // The property tags of the 27 fields, in field order.
    static const unsigned long kPropertyTags[AddressEntry::FIELD_COUNT];
    // The row sets read at most.
    enum { MAX_ROW_SETS = 100 };

private:
    // false: no single global address list container, or its contents cannot be read.
    bool GetGALContents(CGalDirectory& directory);
};

// The address book's comma-delimited export file: a header line naming the
// columns, then one contact per line.
class CDF_OE_AddressBook : public AddressBook {
public:
    // False when the file does not open or has no usable header line; the
    // reason is in the error text.
    bool Load(CString& path);
    const CString& GetErrorText() const { return m_strError; }

    enum { MAX_COLUMNS = 200, LINE_LIMIT = 65536 };
    // The header names, name k filling field k (the first equal name wins).
    static const char* const kHeaderNames[AddressEntry::FIELD_COUNT];

private:
    bool InitHeaderLine(const std::string& line);
    void HandleOneLine(const std::string& line);

    int m_Columns[MAX_COLUMNS] = {};
    CString m_strError;
};

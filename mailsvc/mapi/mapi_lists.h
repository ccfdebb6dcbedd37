// Attachment and recipient lists kept in Simple MAPI's own entry layout, so a
// list's array can be handed to MAPI as it is. Every text (and entry identifier)
// is an owned copy. A list has no storage (null array) or an array of up to
// 65,535 entries with a current position; the accessors work on the current entry.
#pragma once

#include "fx/fx.h"
#include "mapi_entry_list.h"
#include "mapi_exception.h"
#include "simple_mapi.h"

class CZLMMapiFile : public CObject {
    DECLARE_SERIAL(CZLMMapiFile)
public:
    CZLMMapiFile();
    CZLMMapiFile(const CZLMMapiFile& source);
    ~CZLMMapiFile() override;

    CZLMMapiFile& operator=(const CZLMMapiFile& source);
    CZLMMapiFile& operator+=(const CZLMMapiFile& other);
    CZLMMapiFile& operator[](ULONG i);

    // 98 when storage exists; 0 entries gives storage without entries.
    ULONG CreatePointer(WORD count);
    void Flush();
    ULONG GetSize() const { return m_list.count; }
    ULONG SetPosition(ULONG i);

    ULONG GetFlags() const;
    ULONG SetFlags(ULONG flags);
    ULONG GetAttachmentPosition() const;
    ULONG SetAttachmentPosition(ULONG position);
    CString GetPathName() const;
    ULONG SetPathName(CString path);
    CString GetFileName() const;
    ULONG SetFileName(CString name);

    void Serialize(CArchive& ar) override;

private:
    friend class CZLMMapiMessage;
    friend struct ZLMMapiTestAccess;
    ULONG CopyFromPointer(const MapiFileDesc* entries, ULONG count);
    MapiFileDesc* GetPointer() const { return m_list.entries; }

    zlmmapi::EntryArray<MapiFileDesc> m_list;
};

class CZLMMapiRecipient : public CObject {
    DECLARE_SERIAL(CZLMMapiRecipient)
public:
    CZLMMapiRecipient();
    CZLMMapiRecipient(const CZLMMapiRecipient& source);
    CZLMMapiRecipient(MapiRecipDesc* entries, ULONG count);
    ~CZLMMapiRecipient() override;

    CZLMMapiRecipient& operator=(const CZLMMapiRecipient& source);
    CZLMMapiRecipient& operator+=(const CZLMMapiRecipient& other);
    CZLMMapiRecipient& operator[](ULONG i);

    // 0 entries creates nothing: a recipient list has storage only with entries.
    ULONG CreatePointer(WORD count);
    void Flush();
    ULONG GetSize() const { return m_list.count; }
    ULONG SetPosition(ULONG i);

    ULONG GetRecipClass() const;
    ULONG SetRecipClass(ULONG recipClass);
    CString GetName() const;
    ULONG SetName(CString name);
    CString GetAddress() const;
    ULONG SetAddress(CString address);
    ULONG SetEntryID(void* id, WORD size);

    void Serialize(CArchive& ar) override;

private:
    friend class CZLMMapi;
    friend class CZLMMapiMessage;
    friend struct ZLMMapiTestAccess;
    ULONG CopyFromPointer(const MapiRecipDesc* entries, ULONG count);
    MapiRecipDesc* GetPointer() const { return m_list.entries; }

    zlmmapi::EntryArray<MapiRecipDesc> m_list;
};

class CTime;

// One message in Simple MAPI's MapiMessage layout; the originator, recipient and
// attachment arrays of the MapiMessage are those of the three embedded lists.
class CZLMMapiMessage : public CObject {
    DECLARE_SERIAL(CZLMMapiMessage)
public:
    CZLMMapiMessage();
    CZLMMapiMessage(const CZLMMapiMessage& source);
    ~CZLMMapiMessage() override;

    CZLMMapiMessage& operator=(const CZLMMapiMessage& source);

    ULONG CreatePointer();
    void Flush();

    CString GetSubject() const;
    ULONG SetSubject(CString text);
    CString GetNoteText() const;
    ULONG SetNoteText(CString text);
    CString GetMessageType() const;
    ULONG SetMessageType(CString text);
    CString GetConversationID() const;
    ULONG SetConversationID(CString text);
    ULONG GetTimeReceived(CTime& time) const;
    ULONG GetFlags() const;
    ULONG SetFlags(ULONG flags);

    CZLMMapiRecipient& GetOriginator() { return m_originator; }
    CZLMMapiRecipient& GetRecips() { return m_recips; }
    CZLMMapiFile& GetFiles() { return m_files; }
    ULONG SetOriginator(CZLMMapiRecipient& originator);
    ULONG SetRecips(CZLMMapiRecipient& recips);
    ULONG SetFiles(CZLMMapiFile& files);

private:
    friend class CZLMMapi;
    friend struct ZLMMapiTestAccess;
    ULONG SetTimeReceived(CTime time);
    ULONG CopyFromPointer(const MapiMessage* source);
    // The MapiMessage for MAPI, its list pointers refreshed: a list changed through
    // GetRecips() or GetFiles() must not leave MAPI a stale array.
    MapiMessage* GetPointer() const
    {
        if (m_pMessage)
            InstallLists();
        return m_pMessage;
    }
    CString GetText(LPSTR MapiMessage::*field) const;
    ULONG SetText(LPSTR MapiMessage::*field, const CString& text);
    // Points the MapiMessage at the lists' current arrays and counts.
    void InstallLists() const;

    MapiMessage* m_pMessage;
    CZLMMapiRecipient m_originator;
    CZLMMapiRecipient m_recips;
    CZLMMapiFile m_files;
};

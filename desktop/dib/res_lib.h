// ResLib opens a program or library file for its resources (or stands for the
// program's own module), finds and lists them and writes changed resources
// back through the resource-update calls. ResFile presents one resource as a
// memory file; closing one opened for writing stores its bytes back.
#pragma once

#include "fx/fxwin.h"

#include <vector>

class ResFile;

class ResLib : public CObject {
    DECLARE_DYNAMIC(ResLib)
public:
    ResLib() = default;
    ~ResLib() override;

    // Null: the program's own module.
    bool Open(LPCTSTR fileName, DWORD loadFlags = LOAD_LIBRARY_AS_DATAFILE);
    void Close();
    HMODULE Module() const { return m_hModule; }

    HRSRC FindResource(LPCTSTR type, LPCTSTR name, WORD language) const;
    ResFile* FindOpenFile(LPCTSTR type, LPCTSTR name, WORD language) const;

    bool BeginUpdate(bool deleteExisting);
    bool UpdateResource(const void* data, DWORD size, LPCTSTR type, LPCTSTR name, WORD language);
    bool EndUpdate(bool flush, bool discard);
    bool DeleteResource(LPCTSTR type, LPCTSTR name, WORD language);
    // An empty read-write resource file of this library (which deletes it
    // when it closes) that becomes the resource when it is closed; null on failure.
    ResFile* NewResource(LPCTSTR type, LPCTSTR name, WORD language);
    bool IsUpdating() const { return m_hUpdate != nullptr; }

    bool EnumTypes(CStringList& types) const;
    bool EnumNames(LPCTSTR type, CStringList& names) const;
    bool EnumLanguages(LPCTSTR type, LPCTSTR name, std::vector<WORD>& languages) const;

    void Register(ResFile* file);
    void Unregister(ResFile* file);

private:
    HMODULE Searched() const { return m_hModule ? m_hModule : ::GetModuleHandleA(nullptr); }

    CString m_fileName;
    DWORD m_loadFlags = 0;
    HMODULE m_hModule = nullptr;
    HANDLE m_hUpdate = nullptr;
    CObList m_openFiles{10};
};

// A memory file in global memory: its block is an HGLOBAL allocated with the
// given flags (by default movable and shareable), so that it can be handed to
// calls that take global memory.
class GlobalMemFile : public CMemFile {
    DECLARE_DYNAMIC(GlobalMemFile)
public:
    explicit GlobalMemFile(UINT allocFlags = GMEM_MOVEABLE | GMEM_SHARE, UINT growBytes = 4096);
    ~GlobalMemFile() override;
    GlobalMemFile(const GlobalMemFile&) = delete;
    GlobalMemFile& operator=(const GlobalMemFile&) = delete;

    // The block holding the file's bytes (locked while the file holds it), or null.
    HGLOBAL GetHandle() const { return m_hMem; }
    UINT AllocFlags() const { return m_allocFlags; }

protected:
    BYTE* Alloc(DWORD bytes) override;
    BYTE* Realloc(BYTE* block, DWORD bytes) override;
    void Free(BYTE* block) override;

private:
    UINT m_allocFlags;
    HGLOBAL m_hMem = nullptr;
};

class ResFile : public GlobalMemFile {
    DECLARE_DYNAMIC(ResFile)
public:
    explicit ResFile(UINT allocFlags = GMEM_MOVEABLE | GMEM_SHARE, UINT growBytes = 4096);
    ~ResFile() override;

    // Copies the resource's bytes in (unless creating without keeping); read-write
    // files store their bytes back when closed.
    bool Open(UINT openFlags, ResLib* library, bool deleteWithLibrary, LPCTSTR type, LPCTSTR name, WORD language);
    void Close() override;
    bool Store();  // the bytes as the resource, now

    void SetType(LPCTSTR type);
    void SetName(LPCTSTR name);
    void SetLanguage(WORD language) { m_language = language; }
    const CString& GetType() const { return m_type; }
    const CString& GetName() const { return m_name; }
    WORD GetLanguage() const { return m_language; }
    void Attach(ResLib* library, bool deleteWithLibrary);
    bool DeleteWithLibrary() const { return m_bDeleteWithLibrary; }
    bool MakeUniqueName(ResLib* library);

private:
    friend class ResLib;
    CString m_type;
    CString m_name;
    WORD m_language = 0;
    ResLib* m_pLibrary = nullptr;
    bool m_bDeleteWithLibrary = false;
    bool m_bWriteBack = true;
    bool m_bOpen = false;
};

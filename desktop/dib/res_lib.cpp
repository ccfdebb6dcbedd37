#include "res_lib.h"

#include "resource_names.h"

IMPLEMENT_DYNAMIC(ResLib, CObject)
IMPLEMENT_DYNAMIC(GlobalMemFile, CMemFile)
IMPLEMENT_DYNAMIC(ResFile, GlobalMemFile)

namespace {

// The form the Win32 calls take: an identifier for "#n", else the text.
LPCTSTR Win32Name(const CString& text)
{
    const UINT id = resname::ResourceId(text);
    return id ? MAKEINTRESOURCE(id) : static_cast<LPCTSTR>(text);
}

BOOL CALLBACK AddType(HMODULE, LPSTR type, LONG_PTR list)
{
    reinterpret_cast<CStringList*>(list)->AddTail(resname::ResourceNameText(type));
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list)
{
    reinterpret_cast<CStringList*>(list)->AddTail(resname::ResourceNameText(name));
    return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list)
{
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
}

}  // namespace

ResLib::~ResLib() { Close(); }

bool ResLib::Open(LPCTSTR fileName, DWORD loadFlags)
{
    Close();
    if (!fileName)
        return true;
    m_hModule = ::LoadLibraryExA(fileName, nullptr, loadFlags);
    if (!m_hModule)
        return false;
    m_fileName = fileName;
    m_loadFlags = loadFlags;
    return true;
}

void ResLib::Close()
{
    if (m_hUpdate)
        ::EndUpdateResourceA(m_hUpdate, TRUE);
    m_hUpdate = nullptr;
    while (!m_openFiles.IsEmpty()) {
        auto* file = static_cast<ResFile*>(m_openFiles.RemoveHead());
        file->m_pLibrary = nullptr;
        if (file->m_bDeleteWithLibrary)
            delete file;
    }
    if (m_hModule)
        ::FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_fileName.Empty();
}

HRSRC ResLib::FindResource(LPCTSTR type, LPCTSTR name, WORD language) const
{
    const CString t = resname::ResourceNameText(type), n = resname::ResourceNameText(name);
    HRSRC found = ::FindResourceExA(Searched(), Win32Name(t), Win32Name(n), language);
    if (!found && !m_hModule && language == 0) {
        // A neutral resource missing from the program is looked up along the resource chain.
        if (HINSTANCE chain = AfxFindResourceHandle(Win32Name(n), Win32Name(t)))
            found = ::FindResourceExA(chain, Win32Name(t), Win32Name(n), language);
    }
    return found;
}

ResFile* ResLib::FindOpenFile(LPCTSTR type, LPCTSTR name, WORD language) const
{
    const CString t = resname::NormalResourceName(type), n = resname::NormalResourceName(name);
    for (POSITION pos = m_openFiles.GetHeadPosition(); pos;) {
        auto* file = static_cast<ResFile*>(m_openFiles.GetNext(pos));
        if (resname::NormalResourceName(file->m_type) == t && resname::NormalResourceName(file->m_name) == n &&
            file->m_language == language)
            return file;
    }
    return nullptr;
}

bool ResLib::BeginUpdate(bool deleteExisting)
{
    if (m_hUpdate || m_fileName.IsEmpty())
        return false;
    m_hUpdate = ::BeginUpdateResourceA(m_fileName, deleteExisting);
    return m_hUpdate != nullptr;
}

bool ResLib::UpdateResource(const void* data, DWORD size, LPCTSTR type, LPCTSTR name, WORD language)
{
    if (!m_hUpdate)
        return false;
    const CString t = resname::ResourceNameText(type), n = resname::ResourceNameText(name);
    // No bytes delete the resource.
    return ::UpdateResourceA(m_hUpdate, Win32Name(t), Win32Name(n), language, size ? const_cast<void*>(data) : nullptr,
                             data ? size : 0) != FALSE;
}

bool ResLib::EndUpdate(bool flush, bool discard)
{
    if (!m_hUpdate)
        return false;
    if (discard) {
        const bool ok = ::EndUpdateResourceA(m_hUpdate, TRUE) != FALSE;
        m_hUpdate = nullptr;
        return ok;
    }
    if (flush) {
        for (POSITION pos = m_openFiles.GetHeadPosition(); pos;) {
            auto* file = static_cast<ResFile*>(m_openFiles.GetNext(pos));
            if (file->m_bWriteBack)
                file->Store();
        }
    }
    // The file cannot be rewritten while it is loaded.
    if (m_hModule)
        ::FreeLibrary(m_hModule);
    m_hModule = nullptr;
    const bool ok = ::EndUpdateResourceA(m_hUpdate, FALSE) != FALSE;
    m_hUpdate = nullptr;
    m_hModule = ::LoadLibraryExA(m_fileName, nullptr, m_loadFlags);
    return ok && m_hModule;
}

bool ResLib::DeleteResource(LPCTSTR type, LPCTSTR name, WORD language)
{
    if (m_hUpdate)
        return UpdateResource(nullptr, 0, type, name, language);
    return BeginUpdate(false) && UpdateResource(nullptr, 0, type, name, language) && EndUpdate(false, false);
}

bool ResLib::EnumTypes(CStringList& types) const
{
    return ::EnumResourceTypesA(Searched(), AddType, reinterpret_cast<LONG_PTR>(&types)) != FALSE;
}

bool ResLib::EnumNames(LPCTSTR type, CStringList& names) const
{
    const CString t = resname::ResourceNameText(type);
    return ::EnumResourceNamesA(Searched(), Win32Name(t), AddName, reinterpret_cast<LONG_PTR>(&names)) != FALSE;
}

bool ResLib::EnumLanguages(LPCTSTR type, LPCTSTR name, std::vector<WORD>& languages) const
{
    const CString t = resname::ResourceNameText(type), n = resname::ResourceNameText(name);
    return ::EnumResourceLanguagesA(Searched(), Win32Name(t), Win32Name(n), AddLanguage,
                                    reinterpret_cast<LONG_PTR>(&languages)) != FALSE;
}

ResFile* ResLib::NewResource(LPCTSTR type, LPCTSTR name, WORD language)
{
    auto* file = new ResFile;
    if (!file->Open(CFile::modeCreate | CFile::modeReadWrite, this, true, type, name, language)) {
        delete file;
        return nullptr;
    }
    return file;
}

void ResLib::Register(ResFile* file)
{
    if (file && !m_openFiles.Find(file))
        m_openFiles.AddTail(file);
}

void ResLib::Unregister(ResFile* file)
{
    if (POSITION pos = m_openFiles.Find(file))
        m_openFiles.RemoveAt(pos);
}

GlobalMemFile::GlobalMemFile(UINT allocFlags, UINT growBytes) : CMemFile(growBytes), m_allocFlags(allocFlags) {}

GlobalMemFile::~GlobalMemFile()
{
    // The base class would free the block with its own allocator.
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

BYTE* GlobalMemFile::Alloc(DWORD bytes)
{
    HGLOBAL block = ::GlobalAlloc(m_allocFlags, bytes ? bytes : 1);
    BYTE* p = block ? static_cast<BYTE*>(::GlobalLock(block)) : nullptr;
    if (!p) {
        if (block)
            ::GlobalFree(block);
        return nullptr;
    }
    // A caller's buffer being copied (never ours) leaves no block behind.
    if (m_hMem) {
        ::GlobalUnlock(m_hMem);
        ::GlobalFree(m_hMem);
    }
    m_hMem = block;
    return p;
}

BYTE* GlobalMemFile::Realloc(BYTE* block, DWORD bytes)
{
    if (!m_hMem)
        return Alloc(bytes);
    ::GlobalUnlock(m_hMem);
    HGLOBAL grown = ::GlobalReAlloc(m_hMem, bytes ? bytes : 1, GMEM_MOVEABLE);
    if (!grown) {
        // The old block stays the file's, locked again.
        ::GlobalLock(m_hMem);
        return nullptr;
    }
    m_hMem = grown;
    (void)block;
    return static_cast<BYTE*>(::GlobalLock(grown));
}

void GlobalMemFile::Free(BYTE*)
{
    if (!m_hMem)
        return;
    ::GlobalUnlock(m_hMem);
    ::GlobalFree(m_hMem);
    m_hMem = nullptr;
}

ResFile::ResFile(UINT allocFlags, UINT growBytes)
    : GlobalMemFile(allocFlags, growBytes), m_type(resname::ResourceIdText(10))
{
}

ResFile::~ResFile()
{
    if (m_pLibrary)
        m_pLibrary->Unregister(this);
}

void ResFile::SetType(LPCTSTR type) { m_type = resname::NormalResourceName(type); }
void ResFile::SetName(LPCTSTR name) { m_name = resname::NormalResourceName(name); }

void ResFile::Attach(ResLib* library, bool deleteWithLibrary)
{
    if (m_pLibrary)
        m_pLibrary->Unregister(this);
    m_pLibrary = library;
    m_bDeleteWithLibrary = deleteWithLibrary;
    if (library)
        library->Register(this);
}

bool ResFile::Open(UINT openFlags, ResLib* library, bool deleteWithLibrary, LPCTSTR type, LPCTSTR name,
                   WORD language)
{
    if (m_bOpen || !library)
        return false;
    const bool createEmpty = (openFlags & CFile::modeCreate) && !(openFlags & CFile::modeNoTruncate);
    if (!createEmpty) {
        HRSRC res = library->FindResource(type, name, language);
        if (res) {
            HMODULE module = library->Module() ? library->Module() : ::GetModuleHandleA(nullptr);
            if (!library->Module() && !::FindResourceExA(module, Win32Name(resname::ResourceNameText(type)),
                                                        Win32Name(resname::ResourceNameText(name)), language))
                module = AfxFindResourceHandle(Win32Name(resname::ResourceNameText(name)),
                                               Win32Name(resname::ResourceNameText(type)));
            HGLOBAL loaded = ::LoadResource(module, res);
            const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
            if (!bytes)
                return false;
            SetLength(0);
            Write(bytes, ::SizeofResource(module, res));
            SeekToBegin();
        } else if (!(openFlags & CFile::modeCreate)) {
            return false;
        }
    }
    SetType(type);
    SetName(name);
    SetLanguage(language);
    Attach(library, deleteWithLibrary);
    m_bWriteBack = (openFlags & CFile::modeReadWrite) != 0;
    m_bOpen = true;
    return true;
}

bool ResFile::Store()
{
    if (!m_pLibrary)
        return false;
    const DWORD size = GetLength();
    std::vector<BYTE> bytes(size);
    const DWORD at = GetPosition();
    SeekToBegin();
    if (size)
        Read(bytes.data(), size);
    Seek(static_cast<LONG>(at), CFile::begin);
    if (m_pLibrary->IsUpdating())
        return m_pLibrary->UpdateResource(bytes.data(), size, m_type, m_name, m_language);
    return m_pLibrary->BeginUpdate(false) &&
           m_pLibrary->UpdateResource(bytes.data(), size, m_type, m_name, m_language) &&
           m_pLibrary->EndUpdate(false, false);
}

void ResFile::Close()
{
    if (m_bOpen && m_bWriteBack)
        Store();
    m_bOpen = false;
    GlobalMemFile::Close();
}

bool ResFile::MakeUniqueName(ResLib* library)
{
    if (!library)
        return false;
    auto taken = [&](const CString& name) {
        return library->FindResource(m_type, name, m_language) || library->FindOpenFile(m_type, name, m_language);
    };
    UINT id = resname::ResourceId(m_name);
    if (id) {
        for (int tries = 0; tries < 65535; ++tries) {
            id = id >= 65534 ? 1 : id + 1;
            const CString name = resname::ResourceIdText(id);
            if (!taken(name)) {
                m_name = name;
                return true;
            }
        }
        return false;
    }
    const CString base = m_name.IsEmpty() ? CString("Resource") : m_name;
    for (int n = 2; n < 65536; ++n) {
        CString name;
        name.Format("%s%d", static_cast<LPCTSTR>(base), n);
        if (!taken(name)) {
            m_name = name;
            return true;
        }
    }
    return false;
}

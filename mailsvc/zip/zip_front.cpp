#include "zip_front.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "mapi/text_scramble.h"
#include "zlm_library.h"

namespace {

constexpr char kCompanyName[] = "ZLM ZIP module by Info-ZIP";
constexpr char kArchiveComment[] = "Package from Vindalex Personal Assistant by ZLM";
constexpr int kPasswordSize = 64;  // 63 characters and the terminating zero

HMODULE g_unzipLibrary = nullptr;
ZLMWizSingleEntryUnzipFn g_singleEntryUnzip = nullptr;
ZLMWizValidateFn g_validate = nullptr;
HMODULE g_zipLibrary = nullptr;
ZLMZpArchiveFn g_zpArchive = nullptr;
ZLMZpSetOptionsFn g_zpSetOptions = nullptr;
ZLMZpGetOptionsFn g_zpGetOptions = nullptr;
ZLMZpInitFn g_zpInit = nullptr;

char g_zipPassword[kPasswordSize];
char g_unzipPassword[kPasswordSize];
const char* g_password = g_zipPassword;  // handed out by the password callback
std::vector<ArchiveEntry>* g_listing = nullptr;
ZLMUnzipUserFunctions g_unzipFunctions;
ZLMZipUserFunctions g_zipFunctions;

int WINAPI PrintCallback(LPSTR, unsigned long length)
{
    return static_cast<int>(length);
}

int WINAPI ReplaceCallback(LPSTR)
{
    return 1;
}

int WINAPI PasswordCallback(LPSTR buffer, int size, LPCSTR, LPCSTR)
{
    if (buffer && size > 0)
        lstrcpynA(buffer, g_password, size);
    return 0;
}

LPSTR WINAPI CommentCallback(LPSTR buffer, int size)
{
    if (buffer && size > 0)
        lstrcpynA(buffer, kArchiveComment, size);
    return buffer;
}

void WINAPI ListingCallback(unsigned long size, unsigned long compressedSize, unsigned, unsigned month,
                            unsigned day, unsigned year, unsigned hour, unsigned minute, char, LPSTR name,
                            LPSTR, unsigned long, char encrypted)
{
    if (!g_listing)
        return;
    ArchiveEntry entry;
    entry.name = name ? name : "";
    entry.encrypted = encrypted == 'E';
    entry.compressedSize = static_cast<uint32_t>(compressedSize);
    entry.size = static_cast<uint32_t>(size);
    int fullYear = year < 50 ? 2000 + static_cast<int>(year) : 1900 + static_cast<int>(year);
    entry.time = CTime(fullYear, static_cast<int>(month), static_cast<int>(day), static_cast<int>(hour),
                       static_cast<int>(minute), 0);
    g_listing->push_back(entry);
}

void FillCallbackRecords()
{
    std::memset(&g_unzipFunctions, 0, sizeof g_unzipFunctions);
    g_unzipFunctions.print = PrintCallback;
    g_unzipFunctions.replace = ReplaceCallback;
    g_unzipFunctions.password = PasswordCallback;
    g_unzipFunctions.sendApplicationMessage = ListingCallback;
    g_zipFunctions.print = PrintCallback;
    g_zipFunctions.comment = CommentCallback;
    g_zipFunctions.password = PasswordCallback;
}

// The scrambled password unscrambled into buffer; false when it does not fit
// (a password cut short would lock the archive with a password nobody knows).
bool SetPassword(char (&buffer)[kPasswordSize], const char* scrambled, int key)
{
    buffer[0] = 0;
    if (!scrambled || !*scrambled)
        return true;
    CString text = scrambled;
    ZLMUnscrambleText(text, key);
    if (text.GetLength() >= kPasswordSize)
        return false;
    lstrcpynA(buffer, text, kPasswordSize);
    return true;
}

bool EqualNoCase(const char* a, const char* b)
{
    return lstrcmpiA(a, b) == 0;
}

template <typename F>
bool Lookup(HMODULE library, const char* name, F& function)
{
    function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return function != nullptr;
}

}  // namespace

CString FindZipLibrary(const char* name, const char* directory)
{
    char path[MAX_PATH];
    char* filePart = nullptr;
    DWORD n = SearchPathA(nullptr, name, nullptr, MAX_PATH, path, &filePart);
    if (n > 0 && n < MAX_PATH)
        return path;
    if (!directory || !*directory)
        return "";
    CString candidate = CString(directory) + "\\" + name;
    DWORD attributes = GetFileAttributesA(candidate);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "";
    return candidate;
}

int CheckZipLibraryVersion(const char* path, const char* version)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return 0;
    std::string data(size, '\0');
    if (!GetFileVersionInfoA(path, 0, size, &data[0]))
        return 0;
    char* fileVersion = nullptr;
    char* company = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(&data[0], "\\StringFileInfo\\040904E4\\FileVersion", reinterpret_cast<void**>(&fileVersion),
                        &length) ||
        !fileVersion || length == 0)
        return 0;
    if (!VerQueryValueA(&data[0], "\\StringFileInfo\\040904E4\\CompanyName", reinterpret_cast<void**>(&company),
                        &length) ||
        !company || length == 0)
        return 0;
    return EqualNoCase(fileVersion, version) && EqualNoCase(company, kCompanyName) ? 1 : 0;
}

int LoadZipDLL(int which, const char* directory)
{
    bool unzip = which == 1;
    const char* name = unzip ? "ZLMUnzip.dll" : "ZLMZip.dll";
    const char* version = unzip ? "5.4" : "2.2";
    if ((unzip ? g_unzipLibrary : g_zipLibrary) != nullptr)
        return 1;
    CString path = FindZipLibrary(name, directory);
    if (path.IsEmpty() || !CheckZipLibraryVersion(path, version))
        return 0;
    FillCallbackRecords();
    // Loaded from the very file that was checked, not searched for again.
    HMODULE library = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library)
        return 0;
    bool ok;
    if (unzip) {
        g_unzipPassword[0] = 0;
        ok = Lookup(library, "Wiz_SingleEntryUnzip", g_singleEntryUnzip) && Lookup(library, "Wiz_Validate", g_validate);
        if (ok)
            g_unzipLibrary = library;
    } else {
        g_zipPassword[0] = 0;
        ok = Lookup(library, "ZpArchive", g_zpArchive) && Lookup(library, "ZpSetOptions", g_zpSetOptions) &&
             Lookup(library, "ZpGetOptions", g_zpGetOptions) && Lookup(library, "ZpInit", g_zpInit) &&
             g_zpInit(&g_zipFunctions);
        if (ok)
            g_zipLibrary = library;
    }
    if (!ok) {
        FreeLibrary(library);
        return 0;
    }
    return 1;
}

int ZLMZip(const char* zipFile, const char* file, const char* password, const char* directory)
{
    if (!LoadZipDLL(0, directory))
        return 0;
    g_password = g_zipPassword;
    if (!SetPassword(g_zipPassword, password, kScrambleKeyZipPassword) || !zipFile || !*zipFile || !file || !*file)
        return 0;
    ZLMZipOptions options = g_zpGetOptions();
    options.fEncrypt = g_zipPassword[0] != 0;
    options.fJunkDir = 1;
    options.fComment = 1;
    if (!g_zpSetOptions(&options))
        return 0;
    CString archive = zipFile;
    CString name = file;
    char* names[1] = {name.GetBuffer(0)};
    ZLMZipCommand command = {1, archive.GetBuffer(0), names};
    int result = g_zpArchive(command);
    return result == kZLMOk ? 1 : 0;
}

int ZLMUnzip(const char* zipFile, const char* file, const char* password, const char* extractFolder,
             const char* directory)
{
    if (!LoadZipDLL(1, directory))
        return 0;
    g_password = g_unzipPassword;
    if (!SetPassword(g_unzipPassword, password, kScrambleKeyUnZipPassword) || !zipFile || !*zipFile)
        return 0;
    CString archive = zipFile;
    CString folder = extractFolder ? extractFolder : "";
    CString name = file ? file : "";
    char* names[1] = {name.GetBuffer(0)};
    ZLMUnzipOptions options = {};
    options.ndflag = 1;
    options.noflag = 1;
    options.fPrivilege = 1;
    options.lpszZipFN = archive.GetBuffer(0);
    options.lpszExtractDir = folder.IsEmpty() ? nullptr : folder.GetBuffer(0);
    int result = g_singleEntryUnzip(name.IsEmpty() ? 0 : 1, name.IsEmpty() ? nullptr : names, 0, nullptr, &options,
                                    &g_unzipFunctions);
    return result == kZLMOk ? 1 : 0;
}

int ZLMGetZipListing(const char* zipFile, std::vector<ArchiveEntry>* entries, const char* directory)
{
    if (!LoadZipDLL(1, directory))
        return 0;
    if (!zipFile || !*zipFile || !entries)
        return 0;
    g_listing = entries;
    CString archive = zipFile;
    ZLMUnzipOptions options = {};
    options.fQuiet = 2;
    options.nvflag = 1;
    options.fPrivilege = 1;
    options.lpszZipFN = archive.GetBuffer(0);
    int result = g_singleEntryUnzip(0, nullptr, 0, nullptr, &options, &g_unzipFunctions);
    g_listing = nullptr;
    return result == kZLMOk ? 1 : 0;
}

// ZLMZip.dll: adds files to an archive (deflated with zlib, optionally with the
// format's traditional password encryption and an archive comment).
// The new archive is written beside the old one and replaces it only when
// complete, so a failure leaves the old archive (or none) as it was.
#include <windows.h>
#include <bcrypt.h>

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "zip_format.h"
#include "zlm_library.h"

namespace {

ZLMZipUserFunctions g_functions = {};
bool g_initialised = false;
ZLMZipOptions g_options = {6, 0, {}, 0, {}, 0};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

void Print(const std::string& text)
{
    if (g_functions.print) {
        std::vector<char> copy(text.begin(), text.end());
        copy.push_back(0);
        g_functions.print(copy.data(), static_cast<unsigned long>(text.size()));
    }
}

// A file to add: its path on disk and the name it gets in the archive.
struct Source {
    std::string path;
    std::string name;
    WIN32_FIND_DATAA data;
};

// Archive name of a path: without drive and leading separators (or without
// any folder), with "/" separators and no "." or ".." parts.
std::string MemberName(const std::string& path, bool junkFolders)
{
    std::string p = path;
    if (junkFolders) {
        size_t slash = p.find_last_of("/\\:");
        return slash == std::string::npos ? p : p.substr(slash + 1);
    }
    if (p.size() >= 2 && p[1] == ':')
        p.erase(0, 2);
    std::string name;
    size_t start = 0;
    while (start <= p.size()) {
        size_t end = p.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = p.size();
        std::string part = p.substr(start, end - start);
        if (!part.empty() && part != "." && part != "..")
            name += (name.empty() ? "" : "/") + part;
        start = end + 1;
    }
    return name;
}

// The files a name or pattern stands for (folders are not added).
bool Expand(const char* pattern, bool junkFolders, std::vector<Source>& sources)
{
    std::string spec = pattern;
    size_t slash = spec.find_last_of("/\\:");
    std::string folder = slash == std::string::npos ? "" : spec.substr(0, slash + 1);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool any = false;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        Source s;
        s.path = folder + data.cFileName;
        s.name = MemberName(s.path, junkFolders);
        s.data = data;
        if (!s.name.empty()) {
            sources.push_back(s);
            any = true;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return any;
}

void RandomBytes(unsigned char* bytes, size_t count)
{
    if (BCryptGenRandom(nullptr, bytes, static_cast<ULONG>(count), BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
        static unsigned seed = GetTickCount() ^ GetCurrentProcessId();
        for (size_t i = 0; i < count; ++i) {
            seed = seed * 1103515245u + 12345u;
            bytes[i] = static_cast<unsigned char>(seed >> 16);
        }
    }
}

// CRC and size of a file, read once before it is compressed (an encrypted
// member's header carries the CRC's top byte).
int Measure(const std::string& path, uint32_t& crc, uint64_t& size)
{
    File in(std::fopen(path.c_str(), "rb"));
    if (!in)
        return kZLMReadError;
    std::vector<unsigned char> buffer(1 << 16);
    uLong c = crc32(0, nullptr, 0);
    size = 0;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0) {
        c = crc32(c, buffer.data(), static_cast<uInt>(n));
        size += n;
    }
    if (std::ferror(in.get()))
        return kZLMReadError;
    crc = static_cast<uint32_t>(c);
    return kZLMOk;
}

// Writes one member: local header, data, then the header again with the real sizes.
int AddFile(FILE* out, const Source& source, const std::string& password, zlm::Member& m)
{
    uint64_t size = 0;
    int result = Measure(source.path, m.crc, size);
    if (result != kZLMOk)
        return result;
    if (size >= 0xffffffffull)
        return kZLMTooBig;
    m.name = source.name;
    m.size = static_cast<uint32_t>(size);
    m.method = g_options.level > 0 ? zlm::kMethodDeflated : zlm::kMethodStored;
    m.flags = password.empty() ? 0 : zlm::kFlagEncrypted;
    m.versionNeeded = 20;
    m.versionMadeBy = 20;  // FAT attributes
    m.externalAttributes = source.data.dwFileAttributes & 0xff;
    FILETIME local;
    FileTimeToLocalFileTime(&source.data.ftLastWriteTime, &local);
    FileTimeToDosDateTime(&local, &m.dosDate, &m.dosTime);
    long long start = _ftelli64(out);
    if (start < 0 || start >= 0xffffffffll)
        return kZLMTooBig;
    m.localHeaderOffset = static_cast<uint32_t>(start);
    if (!zlm::WriteLocalHeader(out, m))
        return kZLMWriteError;

    std::unique_ptr<zlm::Cipher> cipher;
    uint64_t written = 0;
    auto emit = [&](unsigned char* data, size_t n) {
        if (cipher)
            for (size_t i = 0; i < n; ++i)
                data[i] = cipher->Encrypt(data[i]);
        written += n;
        return std::fwrite(data, 1, n, out) == n;
    };
    if (!password.empty()) {
        cipher.reset(new zlm::Cipher(password));
        unsigned char header[zlm::kEncryptionHeaderSize];
        RandomBytes(header, sizeof header - 1);
        header[sizeof header - 1] = static_cast<unsigned char>(m.crc >> 24);
        if (!emit(header, sizeof header))
            return kZLMWriteError;
    }

    File in(std::fopen(source.path.c_str(), "rb"));
    if (!in)
        return kZLMReadError;
    std::vector<unsigned char> input(1 << 16), output(1 << 16);
    z_stream z = {};
    if (m.method == zlm::kMethodDeflated &&
        deflateInit2(&z, g_options.level > 9 ? 9 : g_options.level, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return kZLMNoMemory;
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(m.method == zlm::kMethodDeflated ? &z : nullptr,
                                                       deflateEnd);
    uint64_t read = 0;
    bool end = false;
    while (!end) {
        size_t n = std::fread(input.data(), 1, input.size(), in.get());
        if (std::ferror(in.get()))
            return kZLMReadError;
        read += n;
        end = n < input.size();
        if (m.method == zlm::kMethodStored) {
            if (n && !emit(input.data(), n))
                return kZLMWriteError;
            continue;
        }
        z.next_in = input.data();
        z.avail_in = static_cast<uInt>(n);
        int status;
        do {
            z.next_out = output.data();
            z.avail_out = static_cast<uInt>(output.size());
            status = deflate(&z, end ? Z_FINISH : Z_NO_FLUSH);
            if (status == Z_STREAM_ERROR)
                return kZLMNoMemory;
            size_t have = output.size() - z.avail_out;
            if (have && !emit(output.data(), have))
                return kZLMWriteError;
        } while (z.avail_out == 0 || (end && status != Z_STREAM_END));
    }
    // The file changed between the two readings: its CRC would not hold.
    if (read != size)
        return kZLMReadError;
    if (written >= 0xffffffffull)
        return kZLMTooBig;
    m.compressedSize = static_cast<uint32_t>(written);
    long long after = _ftelli64(out);
    if (after < 0 || _fseeki64(out, start, SEEK_SET) != 0 || !zlm::WriteLocalHeader(out, m) ||
        _fseeki64(out, after, SEEK_SET) != 0)
        return kZLMWriteError;
    {
        unsigned saved = size ? static_cast<unsigned>(size > written ? (size - written) * 100 / size : 0) : 0;
        char line[64];
        std::snprintf(line, sizeof line, " (%s %u%%)\n", m.method ? "deflated" : "stored", saved);
        Print("  adding: " + m.name + line);
    }
    return kZLMOk;
}

// Copies an existing member unchanged (data and any data descriptor); m's
// offset becomes that of the copy.
int CopyMember(FILE* from, FILE* out, zlm::Member& m)
{
    uint64_t data = 0;
    if (!zlm::FindMemberData(from, m, data))
        return kZLMBadArchive;
    long long start = _ftelli64(out);
    if (start < 0 || start >= 0xffffffffll)
        return kZLMTooBig;
    m.localHeaderOffset = static_cast<uint32_t>(start);
    // The descriptor's values are those of the central record: the local header
    // now carries them, and the flag stays for the password check byte.
    if (!zlm::WriteLocalHeader(out, m))
        return kZLMWriteError;
    if (_fseeki64(from, static_cast<long long>(data), SEEK_SET) != 0)
        return kZLMReadError;
    std::vector<unsigned char> buffer(1 << 16);
    uint32_t left = m.compressedSize;
    while (left) {
        size_t n = std::fread(buffer.data(), 1, left < buffer.size() ? left : buffer.size(), from);
        if (n == 0)
            return kZLMReadError;
        if (std::fwrite(buffer.data(), 1, n, out) != n)
            return kZLMWriteError;
        left -= static_cast<uint32_t>(n);
    }
    if (m.flags & zlm::kFlagDescriptor) {
        std::string d;
        zlm::Put32(d, zlm::kDescriptorSignature);
        zlm::Put32(d, m.crc);
        zlm::Put32(d, m.compressedSize);
        zlm::Put32(d, m.size);
        if (std::fwrite(d.data(), 1, d.size(), out) != d.size())
            return kZLMWriteError;
    }
    return kZLMOk;
}

// Member names compare without regard to case, as Windows file names do.
bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                                  b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

int Archive(const ZLMZipCommand& command)
{
    std::vector<Source> sources;
    bool junk = g_options.fJunkDir != 0;
    for (int i = 0; i < command.argc; ++i) {
        if (!command.FNV[i])
            return kZLMBadCall;
        if (!Expand(command.FNV[i], junk, sources))
            Print(std::string("zip warning: name not matched: ") + command.FNV[i] + "\n");
    }
    if (sources.empty())
        return kZLMNothingToDo;

    std::string password;
    if (g_options.fEncrypt && g_functions.password) {
        char buffer[256] = {};
        if (g_functions.password(buffer, sizeof buffer, "Enter password: ", command.lpszZipFN) == 0) {
            buffer[sizeof buffer - 1] = 0;
            password = buffer;
        }
    }
    std::string comment;
    zlm::Directory old;
    File from(std::fopen(command.lpszZipFN, "rb"));
    if (from && !zlm::ReadDirectory(from.get(), old))
        return kZLMBadArchive;
    comment = old.comment;
    if (g_options.fComment && g_functions.comment) {
        std::vector<char> buffer(zlm::kMaxComment + 1, 0);
        LPSTR text = g_functions.comment(buffer.data(), static_cast<int>(buffer.size()));
        buffer.back() = 0;
        comment = text ? std::string(buffer.data()) : std::string();
    }

    std::string temporary = std::string(command.lpszZipFN) + ".ZLM~";
    File out(std::fopen(temporary.c_str(), "wb"));
    if (!out)
        return kZLMWriteError;
    std::vector<zlm::Member> members;
    int result = kZLMOk;
    for (zlm::Member m : old.members) {
        bool replaced = false;
        for (const Source& s : sources)
            replaced = replaced || SameName(s.name, m.name);
        if (replaced)
            continue;
        result = CopyMember(from.get(), out.get(), m);
        if (result != kZLMOk)
            break;
        members.push_back(m);
    }
    for (size_t i = 0; result == kZLMOk && i < sources.size(); ++i) {
        // The same file named twice is added once.
        bool seen = false;
        for (size_t j = 0; j < i; ++j)
            seen = seen || SameName(sources[j].name, sources[i].name);
        if (seen)
            continue;
        zlm::Member m;
        result = AddFile(out.get(), sources[i], password, m);
        if (result == kZLMOk)
            members.push_back(m);
    }
    if (result == kZLMOk && members.size() > 0xfffe)
        result = kZLMTooBig;
    if (result == kZLMOk) {
        long long directoryStart = _ftelli64(out.get());
        for (const zlm::Member& m : members)
            if (!zlm::WriteCentralRecord(out.get(), m))
                result = kZLMWriteError;
        long long directoryEnd = _ftelli64(out.get());
        if (directoryStart < 0 || directoryEnd < directoryStart || directoryEnd >= 0xffffffffll)
            result = kZLMTooBig;
        else if (result == kZLMOk &&
                 !zlm::WriteEnd(out.get(), static_cast<uint32_t>(members.size()),
                                static_cast<uint32_t>(directoryEnd - directoryStart),
                                static_cast<uint32_t>(directoryStart), comment))
            result = kZLMWriteError;
    }
    if (std::fclose(out.release()) != 0 && result == kZLMOk)
        result = kZLMWriteError;
    from.reset();
    if (result == kZLMOk &&
        !MoveFileExA(temporary.c_str(), command.lpszZipFN, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = kZLMWriteError;
    if (result != kZLMOk)
        DeleteFileA(temporary.c_str());
    return result;
}

}  // namespace

extern "C" {

BOOL WINAPI ZpInit(ZLMZipUserFunctions* functions)
{
    if (!functions || !functions->print || !functions->comment || !functions->password) {
        g_initialised = false;
        return FALSE;
    }
    g_functions = *functions;
    g_initialised = true;
    return TRUE;
}

BOOL WINAPI ZpSetOptions(ZLMZipOptions* options)
{
    if (!options || options->level < 0 || options->level > 9)
        return FALSE;
    g_options = *options;
    return TRUE;
}

ZLMZipOptions WINAPI ZpGetOptions(void)
{
    return g_options;
}

int WINAPI ZpArchive(ZLMZipCommand command)
{
    if (!g_initialised || !command.lpszZipFN || !*command.lpszZipFN || command.argc < 1 || !command.FNV)
        return kZLMBadCall;
    try {
        return Archive(command);
    } catch (const std::bad_alloc&) {
        return kZLMNoMemory;
    }
}

}  // extern "C"

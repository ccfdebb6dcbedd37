// ZLMUnzip.dll: lists and extracts the members of an archive (stored or
// deflated, optionally with the format's traditional password encryption).
// Members are written only below the extract folder: names that are absolute,
// name a drive or climb out with ".." are refused.
#include <windows.h>

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "zip_format.h"
#include "zlm_library.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

class Run {
public:
    Run(const ZLMUnzipOptions& options, ZLMUnzipUserFunctions& functions)
        : m_options(options), m_functions(functions) {}

    int Execute(int ifnc, char** ifnv, int xfnc, char** xfnv);

private:
    void Print(int level, const std::string& text);
    bool Selected(const zlm::Member& m, int ifnc, char** ifnv, int xfnc, char** xfnv) const;
    void List(const zlm::Member& m);
    int Extract(const zlm::Member& m);
    int WriteMember(const zlm::Member& m, const std::string& path);
    bool Password(const zlm::Member& m, std::string& password);

    const ZLMUnzipOptions& m_options;
    ZLMUnzipUserFunctions& m_functions;
    File m_archive;
    std::string m_password;
    bool m_asked = false;
};

// level 0: progress, 1: error. fQuiet 1 keeps errors only, 2 nothing.
void Run::Print(int level, const std::string& text)
{
    if (!m_functions.print || m_options.fQuiet >= 2 || (m_options.fQuiet == 1 && level == 0))
        return;
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back(0);
    m_functions.print(copy.data(), static_cast<unsigned long>(text.size()));
}

bool Run::Selected(const zlm::Member& m, int ifnc, char** ifnv, int xfnc, char** xfnv) const
{
    bool included = ifnc == 0;
    for (int i = 0; !included && i < ifnc; ++i)
        included = ifnv[i] && zlm::MatchesPattern(ifnv[i], m.name);
    for (int i = 0; included && i < xfnc; ++i)
        included = !(xfnv[i] && zlm::MatchesPattern(xfnv[i], m.name));
    return included;
}

void Run::List(const zlm::Member& m)
{
    if (!m_functions.sendApplicationMessage)
        return;
    unsigned factor = m.size && m.compressedSize < m.size
                          ? static_cast<unsigned>((static_cast<uint64_t>(m.size) - m.compressedSize) * 100 / m.size)
                          : 0;
    unsigned year = 1980 + (m.dosDate >> 9);
    std::string name = m.name;
    char method[16];
    if (m.method == zlm::kMethodStored)
        std::snprintf(method, sizeof method, "Stored");
    else if (m.method == zlm::kMethodDeflated)
        std::snprintf(method, sizeof method, "Defl:%c", "NXFS"[(m.flags >> 1) & 3]);
    else
        std::snprintf(method, sizeof method, "Unk:%03u", m.method % 1000u);
    m_functions.sendApplicationMessage(m.size, m.compressedSize, factor, (m.dosDate >> 5) & 15, m.dosDate & 31,
                                       year % 100, m.dosTime >> 11, (m.dosTime >> 5) & 63, ' ', &name[0], method,
                                       m.crc, m.Encrypted() ? 'E' : ' ');
}

bool Run::Password(const zlm::Member& m, std::string& password)
{
    // Asked once per call: a wrong password is not asked for again and again.
    if (!m_asked) {
        m_asked = true;
        char buffer[256] = {};
        std::string name = m.name;
        if (m_functions.password &&
            m_functions.password(buffer, sizeof buffer, "Enter password: ", name.c_str()) == 0) {
            buffer[sizeof buffer - 1] = 0;
            m_password = buffer;
        }
    }
    password = m_password;
    return !password.empty();
}

// Creates every folder of path's folder part (below the extract folder, which exists).
bool CreateFolders(const std::string& path, size_t from)
{
    for (size_t i = from; i < path.size(); ++i) {
        if (path[i] != '\\')
            continue;
        std::string folder = path.substr(0, i);
        if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
    }
    return true;
}

int Run::Extract(const zlm::Member& m)
{
    if (!zlm::IsSafeMemberName(m.name)) {
        Print(1, "  skipping: " + m.name + " (unsafe name)\n");
        return kZLMWarning;
    }
    std::string folder = m_options.lpszExtractDir && *m_options.lpszExtractDir ? m_options.lpszExtractDir : ".";
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    std::string relative = m.name;
    for (char& c : relative)
        if (c == '/')
            c = '\\';
    if (!m_options.ndflag) {
        if (m.IsFolder())
            return kZLMOk;
        relative = relative.substr(relative.find_last_of('\\') + 1);
    }
    std::string path = folder + "\\" + relative;
    if (!CreateFolders(path, folder.size() + 1)) {
        Print(1, "  error: cannot create the folders of " + path + "\n");
        return kZLMWriteError;
    }
    if (m.IsFolder())
        return kZLMOk;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            Print(1, "  error: " + path + " is a folder\n");
            return kZLMWriteError;
        }
        if (!m_options.noflag && !(m_functions.replace && m_functions.replace(&path[0]))) {
            Print(0, "  not replaced: " + path + "\n");
            return kZLMWarning;
        }
    }
    return WriteMember(m, path);
}

int Run::WriteMember(const zlm::Member& m, const std::string& path)
{
    if (m.method != zlm::kMethodStored && m.method != zlm::kMethodDeflated) {
        Print(1, "  skipping: " + m.name + " (compression method not supported)\n");
        return kZLMWarning;
    }
    uint64_t offset = 0;
    if (!zlm::FindMemberData(m_archive.get(), m, offset) || _fseeki64(m_archive.get(), offset, SEEK_SET) != 0) {
        Print(1, "  error: " + m.name + " lies outside the archive\n");
        return kZLMBadArchive;
    }
    uint32_t left = m.compressedSize;
    std::unique_ptr<zlm::Cipher> cipher;
    if (m.Encrypted()) {
        std::string password;
        unsigned char header[zlm::kEncryptionHeaderSize];
        if (left < sizeof header || std::fread(header, 1, sizeof header, m_archive.get()) != sizeof header)
            return kZLMBadArchive;
        left -= sizeof header;
        if (!Password(m, password)) {
            Print(1, "  skipping: " + m.name + " (no password)\n");
            return kZLMBadPassword;
        }
        cipher.reset(new zlm::Cipher(password));
        unsigned char check = 0;
        for (unsigned char c : header)
            check = cipher->Decrypt(c);
        unsigned char expected = (m.flags & zlm::kFlagDescriptor) ? static_cast<unsigned char>(m.dosTime >> 8)
                                                                  : static_cast<unsigned char>(m.crc >> 24);
        if (check != expected) {
            Print(1, "  skipping: " + m.name + " (incorrect password)\n");
            return kZLMBadPassword;
        }
    }

    // Written under a temporary name first: a damaged member leaves no file behind
    // and does not destroy the file it would have replaced.
    std::string temporary = path + ".ZLM~";
    File out(std::fopen(temporary.c_str(), "wb"));
    if (!out) {
        Print(1, "  error: cannot create " + path + "\n");
        return kZLMWriteError;
    }
    std::vector<unsigned char> input(1 << 16), output(1 << 16);
    z_stream z = {};
    if (m.method == zlm::kMethodDeflated && inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return kZLMNoMemory;
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(m.method == zlm::kMethodDeflated ? &z : nullptr, inflateEnd);
    uLong crc = crc32(0, nullptr, 0);
    uint64_t produced = 0;
    int result = kZLMOk;
    bool ended = m.method == zlm::kMethodStored;
    auto emit = [&](const unsigned char* data, size_t n) {
        produced += n;
        crc = crc32(crc, data, static_cast<uInt>(n));
        // Never more than the stated size: a member cannot fill the disk.
        return produced <= m.size && std::fwrite(data, 1, n, out.get()) == n;
    };
    while (result == kZLMOk && left) {
        size_t n = std::fread(input.data(), 1, left < input.size() ? left : input.size(), m_archive.get());
        if (n == 0) {
            result = kZLMBadArchive;
            break;
        }
        left -= static_cast<uint32_t>(n);
        if (cipher)
            for (size_t i = 0; i < n; ++i)
                input[i] = cipher->Decrypt(input[i]);
        if (m.method == zlm::kMethodStored) {
            if (!emit(input.data(), n))
                result = kZLMBadData;
            continue;
        }
        z.next_in = input.data();
        z.avail_in = static_cast<uInt>(n);
        while (result == kZLMOk && z.avail_in && !ended) {
            z.next_out = output.data();
            z.avail_out = static_cast<uInt>(output.size());
            int status = inflate(&z, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END) {
                result = kZLMBadData;
                break;
            }
            if (!emit(output.data(), output.size() - z.avail_out))
                result = kZLMBadData;
            ended = status == Z_STREAM_END;
        }
    }
    // Output still held by the decompressor once all input is in.
    while (result == kZLMOk && !ended) {
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(output.size());
        int status = inflate(&z, Z_FINISH);
        if (status != Z_STREAM_END && !(status == Z_BUF_ERROR && z.avail_out == 0)) {
            result = kZLMBadData;
            break;
        }
        if (!emit(output.data(), output.size() - z.avail_out))
            result = kZLMBadData;
        ended = status == Z_STREAM_END;
    }
    if (result == kZLMOk && (produced != m.size || static_cast<uint32_t>(crc) != m.crc))
        result = kZLMBadData;
    if (std::fclose(out.release()) != 0 && result == kZLMOk)
        result = kZLMWriteError;
    if (result == kZLMOk) {
        HANDLE h = CreateFileA(temporary.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            FILETIME local, utc;
            if (DosDateTimeToFileTime(m.dosDate, m.dosTime, &local) && LocalFileTimeToFileTime(&local, &utc))
                SetFileTime(h, nullptr, nullptr, &utc);
            CloseHandle(h);
        }
        if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            result = kZLMWriteError;
    }
    if (result != kZLMOk) {
        DeleteFileA(temporary.c_str());
        Print(1, "  error: " + m.name + (result == kZLMBadData ? " is damaged\n" : " could not be written\n"));
        return result;
    }
    Print(0, "  inflating: " + path + "\n");
    return kZLMOk;
}

int Run::Execute(int ifnc, char** ifnv, int xfnc, char** xfnv)
{
    m_archive.reset(std::fopen(m_options.lpszZipFN, "rb"));
    if (!m_archive) {
        Print(1, std::string("cannot find ") + m_options.lpszZipFN + "\n");
        return kZLMNothingToDo;
    }
    zlm::Directory directory;
    if (!zlm::ReadDirectory(m_archive.get(), directory)) {
        Print(1, std::string(m_options.lpszZipFN) + " is not an archive that can be read\n");
        return kZLMBadArchive;
    }
    uint64_t total = 0, totalCompressed = 0;
    for (const zlm::Member& m : directory.members) {
        total += m.size;
        totalCompressed += m.compressedSize;
    }
    m_functions.TotalSize = static_cast<unsigned long>(total > 0xffffffffull ? 0xffffffffull : total);
    m_functions.TotalSizeComp =
        static_cast<unsigned long>(totalCompressed > 0xffffffffull ? 0xffffffffull : totalCompressed);
    m_functions.CompFactor = total && totalCompressed < total ? static_cast<int>((total - totalCompressed) * 100 / total) : 0;
    m_functions.NumMembers = static_cast<unsigned>(directory.members.size());
    m_functions.cchComment = static_cast<unsigned long>(directory.comment.size());

    int result = kZLMOk;
    bool any = false;
    for (const zlm::Member& m : directory.members) {
        if (!Selected(m, ifnc, ifnv, xfnc, xfnv))
            continue;
        any = true;
        if (m_options.nvflag) {
            List(m);
            continue;
        }
        int r = Extract(m);
        if (r > result)
            result = r;
    }
    if (!any && !(m_options.nvflag && ifnc == 0))
        return kZLMNothingToDo;
    return result;
}

}  // namespace

extern "C" {

int WINAPI Wiz_SingleEntryUnzip(int ifnc, char** ifnv, int xfnc, char** xfnv, ZLMUnzipOptions* options,
                                ZLMUnzipUserFunctions* functions)
{
    if (!options || !functions || !options->lpszZipFN || ifnc < 0 || xfnc < 0 || (ifnc && !ifnv) ||
        (xfnc && !xfnv))
        return kZLMBadCall;
    try {
        Run run(*options, *functions);
        return run.Execute(ifnc, ifnv, xfnc, xfnv);
    } catch (const std::bad_alloc&) {
        return kZLMNoMemory;
    }
}

BOOL WINAPI Wiz_Validate(LPSTR archive, int)
{
    if (!archive)
        return FALSE;
    File f(std::fopen(archive, "rb"));
    zlm::Directory directory;
    return f && zlm::ReadDirectory(f.get(), directory);
}

}  // extern "C"

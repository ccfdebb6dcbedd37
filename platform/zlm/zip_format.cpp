#include "zip_format.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace zlm {
namespace {

bool Seek(FILE* f, uint64_t offset)
{
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool FileSize(FILE* f, uint64_t& size)
{
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0)
        return false;
    long long end = _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0)
        return false;
    long long end = ftello(f);
#endif
    if (end < 0)
        return false;
    size = static_cast<uint64_t>(end);
    return true;
}

bool ReadAt(FILE* f, uint64_t offset, void* buffer, size_t length)
{
    return Seek(f, offset) && std::fread(buffer, 1, length, f) == length;
}

bool Write(FILE* out, const std::string& bytes)
{
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
}

constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;

}  // namespace

void Put16(std::string& out, uint16_t v)
{
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, static_cast<uint16_t>(v & 0xffff));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const unsigned char* p) { return Get16(p) | (static_cast<uint32_t>(Get16(p + 2)) << 16); }

bool ReadDirectory(FILE* archive, Directory& directory)
{
    directory = Directory();
    uint64_t fileSize = 0;
    if (!FileSize(archive, fileSize) || fileSize < kEndSize)
        return false;
    // The end record lies within the last 22 + 65,535 bytes (its comment).
    size_t tail = static_cast<size_t>(std::min<uint64_t>(fileSize, kEndSize + kMaxComment));
    std::vector<unsigned char> buffer(tail);
    if (!ReadAt(archive, fileSize - tail, buffer.data(), tail))
        return false;
    size_t end = tail;  // position of the end record in buffer
    for (size_t i = tail - kEndSize + 1; i-- > 0;) {
        const unsigned char* p = buffer.data() + i;
        if (Get32(p) == kEndSignature && i + kEndSize + Get16(p + 20) == tail) {
            end = i;
            break;
        }
    }
    if (end == tail)
        return false;
    const unsigned char* e = buffer.data() + end;
    uint16_t count = Get16(e + 10);
    uint32_t size = Get32(e + 12);
    uint32_t offset = Get32(e + 16);
    // One disk only; 0xffff.../0xffffffff mark zip64 archives, which are not read.
    if (Get16(e + 4) != 0 || Get16(e + 6) != 0 || Get16(e + 8) != count || count == 0xffff ||
        size == 0xffffffff || offset == 0xffffffff)
        return false;
    uint64_t endOffset = fileSize - tail + end;
    if (static_cast<uint64_t>(offset) + size > endOffset)
        return false;
    directory.comment.assign(reinterpret_cast<const char*>(e + kEndSize), Get16(e + 20));

    std::vector<unsigned char> central(size);
    if (size && !ReadAt(archive, offset, central.data(), size))
        return false;
    size_t pos = 0;
    directory.members.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        if (size - pos < kCentralSize)
            return false;
        const unsigned char* c = central.data() + pos;
        if (Get32(c) != kCentralHeaderSignature)
            return false;
        size_t nameLength = Get16(c + 28), extraLength = Get16(c + 30), commentLength = Get16(c + 32);
        size_t recordSize = kCentralSize + nameLength + extraLength + commentLength;
        if (size - pos < recordSize)
            return false;
        Member m;
        m.versionMadeBy = Get16(c + 4);
        m.versionNeeded = Get16(c + 6);
        m.flags = Get16(c + 8);
        m.method = Get16(c + 10);
        m.dosTime = Get16(c + 12);
        m.dosDate = Get16(c + 14);
        m.crc = Get32(c + 16);
        m.compressedSize = Get32(c + 20);
        m.size = Get32(c + 24);
        m.externalAttributes = Get32(c + 38);
        m.localHeaderOffset = Get32(c + 42);
        if (m.compressedSize == 0xffffffff || m.size == 0xffffffff || m.localHeaderOffset == 0xffffffff)
            return false;
        m.name.assign(reinterpret_cast<const char*>(c + kCentralSize), nameLength);
        directory.members.push_back(std::move(m));
        pos += recordSize;
    }
    return true;
}

bool FindMemberData(FILE* archive, const Member& member, uint64_t& offset)
{
    unsigned char h[kLocalSize];
    uint64_t fileSize = 0;
    if (!FileSize(archive, fileSize) || !ReadAt(archive, member.localHeaderOffset, h, kLocalSize) ||
        Get32(h) != kLocalHeaderSignature)
        return false;
    offset = static_cast<uint64_t>(member.localHeaderOffset) + kLocalSize + Get16(h + 26) + Get16(h + 28);
    return offset + member.compressedSize <= fileSize;
}

// The fields a member's local header and its central record share, in their order.
static void PutSharedFields(std::string& h, const Member& m)
{
    Put16(h, m.versionNeeded);
    Put16(h, m.flags);
    Put16(h, m.method);
    Put16(h, m.dosTime);
    Put16(h, m.dosDate);
    Put32(h, m.crc);
    Put32(h, m.compressedSize);
    Put32(h, m.size);
    Put16(h, static_cast<uint16_t>(m.name.size()));
}

bool WriteLocalHeader(FILE* out, const Member& m)
{
    std::string h;
    Put32(h, kLocalHeaderSignature);
    PutSharedFields(h, m);
    Put16(h, 0);
    h += m.name;
    return Write(out, h);
}

bool WriteCentralRecord(FILE* out, const Member& m)
{
    std::string h;
    Put32(h, kCentralHeaderSignature);
    Put16(h, m.versionMadeBy);
    PutSharedFields(h, m);
    Put16(h, 0);  // extra field
    Put16(h, 0);  // comment
    Put16(h, 0);  // disk
    Put16(h, 0);  // internal attributes
    Put32(h, m.externalAttributes);
    Put32(h, m.localHeaderOffset);
    h += m.name;
    return Write(out, h);
}

bool WriteEnd(FILE* out, uint32_t count, uint32_t directorySize, uint32_t directoryOffset,
              const std::string& comment)
{
    std::string h;
    Put32(h, kEndSignature);
    Put16(h, 0);
    Put16(h, 0);
    Put16(h, static_cast<uint16_t>(count));
    Put16(h, static_cast<uint16_t>(count));
    Put32(h, directorySize);
    Put32(h, directoryOffset);
    size_t length = std::min(comment.size(), kMaxComment);
    Put16(h, static_cast<uint16_t>(length));
    h.append(comment, 0, length);
    return Write(out, h);
}

Cipher::Cipher(const std::string& password) : m_keys{0x12345678, 0x23456789, 0x34567890}
{
    for (unsigned char c : password)
        Update(c);
}

void Cipher::Update(uint8_t p)
{
    m_keys[0] = static_cast<uint32_t>(crc32(m_keys[0] ^ 0xffffffffu, &p, 1) ^ 0xffffffffu);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xff)) * 134775813u + 1;
    uint8_t high = static_cast<uint8_t>(m_keys[1] >> 24);
    m_keys[2] = static_cast<uint32_t>(crc32(m_keys[2] ^ 0xffffffffu, &high, 1) ^ 0xffffffffu);
}

uint8_t Cipher::Stream() const
{
    uint16_t t = static_cast<uint16_t>((m_keys[2] & 0xffff) | 2);
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

uint8_t Cipher::Decrypt(uint8_t c)
{
    uint8_t p = static_cast<uint8_t>(c ^ Stream());
    Update(p);
    return p;
}

uint8_t Cipher::Encrypt(uint8_t p)
{
    uint8_t c = static_cast<uint8_t>(p ^ Stream());
    Update(p);
    return c;
}

bool IsSafeMemberName(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == ':')
            return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = name.size();
        std::string part = name.substr(start, end - start);
        // Windows drops trailing dots and blanks: ".. " is "..".
        while (!part.empty() && (part.back() == '.' || part.back() == ' ') && part != "." && part != "..")
            part.pop_back();
        if (part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool MatchesPattern(const char* pattern, const std::string& name)
{
    auto same = [](char a, char b) {
        if ((a == '/' || a == '\\') && (b == '/' || b == '\\'))
            return true;
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    // Iterative match with one backtracking point per "*": linear in practice, never unbounded.
    const char* p = pattern;
    size_t n = 0;
    const char* star = nullptr;
    size_t starN = 0;
    while (n < name.size()) {
        if (*p == '*') {
            star = p++;
            starN = n;
        } else if (*p && (*p == '?' || same(*p, name[n]))) {
            ++p;
            ++n;
        } else if (star) {
            p = star + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (*p == '*')
        ++p;
    return *p == 0;
}

}  // namespace zlm

// The archive format both libraries share: the central directory, the local
// headers, the traditional password encryption, member-name rules.
// Only 32-bit archives (no zip64): sizes and offsets below 4 GB, at most
// 65,535 members.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zlm {

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kDescriptorSignature = 0x08074b50;
constexpr uint16_t kFlagEncrypted = 1;
constexpr uint16_t kFlagDescriptor = 8;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr int kEncryptionHeaderSize = 12;
constexpr size_t kMaxComment = 65535;

struct Member {
    std::string name;
    uint16_t versionMadeBy = 20;
    uint16_t versionNeeded = 20;
    uint16_t flags = 0;
    uint16_t method = kMethodStored;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;

    bool Encrypted() const { return (flags & kFlagEncrypted) != 0; }
    bool IsFolder() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
};

struct Directory {
    std::vector<Member> members;
    std::string comment;
};

// Reads the end record and the central directory of an open archive.
// False for anything that is not a well-formed 32-bit archive.
bool ReadDirectory(FILE* archive, Directory& directory);
// Offset of a member's data (after its local header), checked against the file size.
bool FindMemberData(FILE* archive, const Member& member, uint64_t& offset);

// Writing: a local header for member (sizes as they stand), a central record,
// the end record.
bool WriteLocalHeader(FILE* out, const Member& member);
bool WriteCentralRecord(FILE* out, const Member& member);
bool WriteEnd(FILE* out, uint32_t count, uint32_t directorySize, uint32_t directoryOffset,
              const std::string& comment);

// Traditional password encryption of the format.
class Cipher {
public:
    explicit Cipher(const std::string& password);
    uint8_t Decrypt(uint8_t c);
    uint8_t Encrypt(uint8_t p);
private:
    void Update(uint8_t p);
    uint8_t Stream() const;
    uint32_t m_keys[3];
};

// Member-name checks: true when name may be written below an extract folder,
// i.e. it is relative, names no drive, has no ".." part, no ':' and no control characters.
bool IsSafeMemberName(const std::string& name);
// "*" and "?" wildcard match without regard to case; "/" and "\" are the same.
bool MatchesPattern(const char* pattern, const std::string& name);

// Little-endian helpers.
void Put16(std::string& out, uint16_t v);
void Put32(std::string& out, uint32_t v);
uint16_t Get16(const unsigned char* p);
uint32_t Get32(const unsigned char* p);

}  // namespace zlm

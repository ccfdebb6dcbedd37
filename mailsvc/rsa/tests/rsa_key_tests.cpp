// rsa_key: the text forms, decoding and encoding against key pairs whose
// cipher texts were computed independently (Python's pow).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "rsa_key.h"

#if defined(_WIN32) && __has_include("fx/msgbox.h")
#include "fx/msgbox.h"
#define RSA_TEST_MESSAGE_BOX 1
#endif

namespace {

// 256-bit modulus (top bit set) and a 200-bit one; e = 0x10001.
const char kKey256[] =
    "13409a86ab2d5286b219568e6c571dfb76034262c8042ab0896e6d3b4f84655d-10001-"
    "d08494b887e3cf99fb58ffdcec4eca170b323f41e3dcee0256e8f2493e99bc71";
const char kKey200[] =
    "73e493bdd1470afebcc0904efac7923b91898d6570cccfb619-10001-"
    "a7e82ef6a0d4f373b70930ec39e4e6a5a342d33030b282a7d3";

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
} const kVectors[] = {
    {kKey256, "Vindalex0-",
     "b32811ac6a77515a9bd776943be69fff3ad3eab42cac53dfa9f93eeb65b096ac-"
     "9df0643575c40e6c6d6f46bdb946b296aafab73e1b7496f18950a59378c6ce91-"
     "5c662eccf4be217e9f7c8e14b155902eb78e6a9a96196605415b0b60913b210b"},
    {kKey256, "KVXSDK-abc",
     "48a54fef90d253ac16e160a7e30009a7137fd5db7c5c92f320bf70c19e6a0d7c-"
     "987efb97161c711ba9c67074f82815770ddcfacbeae1e63401d133a10003f74b-"
     "1c26c959a48de8a69a9b6eaee88ea7e60d1badaf7e972419a3ef327e2aa5be80"},
    {kKey200, "Vindalex0-",
     "540652883c78ada82474f9ce8772c4c92ad8fe1a4d36344f6e-"
     "6f8d1ebf194d740680c44ba1f13fdb8614c91157d33e806072-"
     "5210e74181271a145172cf11f100020860ca63c00d384b5e17"},
    {kKey200, "KVXSDK-abc",
     "f24ef1fb7b5d71686e7b517a2082c985f7dde213516d34fe7-"
     "754e7194c0fb207ac480a1649918426f25f5722a9a9935973d-"
     "79e7b742e9b64111f067677e9bd15d4a38fbc4fea85a42f7c7"},
};

rsa_key Key(const char* text)
{
    rsa_key key;
    CString s(text);
    key.Load(s);
    return key;
}

std::string Str(const CString& s) { return std::string(s, s.GetLength()); }

} // namespace

TEST(RsaKey, KeyText)
{
    rsa_key fresh;
    EXPECT_EQ(Str(fresh.Save()), "0-0-0");
    EXPECT_EQ(Str(fresh.SaveAsPublic()), "0-0-0");

    rsa_key key = Key(kKey256);
    EXPECT_EQ(Str(key.Save()), kKey256);
    const std::string pub = Str(key.SaveAsPublic());
    EXPECT_EQ(pub, std::string(kKey256).replace(pub.find('-') + 1, 5, "0"));
    EXPECT_EQ(Str(key.Save()), kKey256);  // the public form came from a copy

    struct Case {
        const char* text;
        const char* saved;
    } cases[] = {
        {"a-b-c-d", "a-b-cd"},         // parts after a third "-" join n
        {"a-b-c--d-", "a-b-cd"},
        {"00ff-0-01", "ff-0-1"},       // leading zeros cut
        {"abc", "abc-0-0"},            // missing parts are 0
        {"", "0-0-0"},
        {"--5", "0-0-5"},
        // 65 digits: the first falls off the top.
        {"1ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff-1-1",
         "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff-1-1"},
        // Only lowercase letters are hexadecimal digits: 'A' reads as 17.
        {"A-0-0", "11-0-0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Str(Key(c.text).Save()), c.saved) << c.text;
}

TEST(RsaKey, CopiesAreWholeKeys)
{
    rsa_key a = Key(kKey200);
    rsa_key b;
    b = a;
    rsa_key c(a);
    EXPECT_EQ(Str(b.Save()), kKey200);
    EXPECT_EQ(Str(c.Save()), kKey200);
}

TEST(RsaKey, DecodesAndEncodesKnownVectors)
{
    for (const auto& v : kVectors) {
        rsa_key key = Key(v.key);
        EXPECT_EQ(Str(key.EnCode(v.plain)), v.cipher);
        EXPECT_EQ(Str(key.DeCode(v.cipher)), v.plain);
        // The public form decodes as well: it keeps d and n.
        CString pub = key.SaveAsPublic();
        rsa_key reader;
        reader.Load(pub);
        EXPECT_EQ(Str(reader.DeCode(v.cipher)), v.plain);
    }
}

TEST(RsaKey, EncodeBlocksAndDashes)
{
    // With e = 1 and a large modulus the blocks show through unchanged.
    rsa_key key = Key("1-1-ffffffffffffffffffff");
    struct Case {
        const char* plain;
        const char* cipher;
    } cases[] = {
        {"", ""},
        {"A", "41"},
        {"AB", "4241"},
        {"ABC", "434241-"},          // a lone last byte pairs with 0
        {"ABCD", "44434241-"},        // a multiple of four ends in "-"
        {"ABCDE", "44434241-45"},
        {"ABCDEF", "44434241-4645"},
        {"\xff\x80", "80ff"},          // bytes are unsigned
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Str(key.EnCode(c.plain)), c.cipher) << c.plain;
        EXPECT_EQ(Str(key.DeCode(c.cipher)), c.plain) << c.cipher;
    }
}

TEST(RsaKey, DecodeSkipsZeroBytesAndStopsAtEmptyBlock)
{
    rsa_key key = Key("1-1-ffffffffffffffffffffffffffffffffffff");
    struct Case {
        const char* cipher;
        const char* plain;
    } cases[] = {
        {"", ""},
        {"-4241", ""},                 // the first block is empty
        {"4241--4443", "AB"},          // an empty block ends the text
        {"4241-", "AB"},
        {"41004200", "BA"},            // zero bytes are skipped
        {"464544434241", "ABCDEF"},
        {"4645444342410000", "ABCD"},  // the lowest digit is 0
        {"4847464544434241", "ABCDEF"},  // bytes above the lowest six are ignored
    };
    for (const auto& c : cases)
        EXPECT_EQ(Str(key.DeCode(c.cipher)), c.plain) << c.cipher;

    // Without a key every block decodes to 0x01.
    rsa_key none;
    EXPECT_EQ(Str(none.DeCode("123-abc-0")), "\x01\x01\x01");
}

TEST(RsaKey, CipherNumberAboveModulusIsReducedFirst)
{
    // n = 0x10001, d = 1: c and c + n decode alike.
    rsa_key key = Key("1-1-10001");
    EXPECT_EQ(Str(key.DeCode("4241")), "AB");
    EXPECT_EQ(Str(key.DeCode("14242")), "AB");
    // 2^256 - 1 is a multiple of 0x10001: the block is 0 and gives no bytes.
    EXPECT_EQ(Str(key.DeCode("ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff-4241")), "AB");
}

TEST(RsaKey, ModExpMatchesReference)
{
    const char n[] = "d08494b887e3cf99fb58ffdcec4eca170b323f41e3dcee0256e8f2493e99bc71";
    const char d[] = "13409a86ab2d5286b219568e6c571dfb76034262c8042ab0896e6d3b4f84655d";
    const char nMinus1[] = "d08494b887e3cf99fb58ffdcec4eca170b323f41e3dcee0256e8f2493e99bc70";
    const char allOnes[] = "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff";
    struct Case {
        const char* x;
        const char* y;
        const char* m;
        const char* result;
    } cases[] = {
        {"3", "10001", n, "8b085fa4b672a7395cb974f5badb8a4cd1b71303e1a3ac0005092863446f0e3e"},
        {"123456789abcdef", d, n, "21dd873f9b8c75dab53e102d2d6666bdefc4baace4177adb778a7eb4491dd7b1"},
        {nMinus1, nMinus1, n, "1"},
        {"2", "ff", allOnes, "8000000000000000000000000000000000000000000000000000000000000000"},
        {"0", "5", n, "0"},
        {"1234", "0", n, "1"},    // y == 0 gives 1 whatever the modulus
        {"1234", "0", "0", "1"},
        {"1234", "3", "0", "0"},  // no modulus
        {"1234", "3", "1", "0"},
    };
    auto num = [](const char* t) { return rsa_number::FromText(t, static_cast<int>(std::strlen(t))); };
    for (const auto& c : cases)
        EXPECT_EQ(Str(rsa_number::ModExp(num(c.x), num(c.y), num(c.m)).ToText()), c.result) << c.x << "^" << c.y;
}

TEST(RsaKey, CreateKeyReportsAndChangesNothing)
{
#ifdef RSA_TEST_MESSAGE_BOX
    std::string shown;
    const AfxMessageBoxHook previous = AfxSetMessageBoxHook([&](HWND, LPCTSTR text, LPCTSTR, UINT) {
        shown = text ? text : "";
        return IDOK;
    });
#endif
    rsa_key key = Key(kKey200);
    EXPECT_EQ(key.CreateKey("a", "b"), 0);
    EXPECT_EQ(Str(key.Save()), kKey200);
#ifdef RSA_TEST_MESSAGE_BOX
    AfxSetMessageBoxHook(previous);
    EXPECT_EQ(shown, "Key creation code not compiled (#ifdef ALLOW_KEY_GEN).");
#endif
}

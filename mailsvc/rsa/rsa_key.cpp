// rsa_key: modular arithmetic on 256-bit numbers and the text forms.
#include "rsa_key.h"

#include <cstring>
#include <string>

namespace {

// Working form: 32-bit words, least significant first, with one word of
// headroom so that doubling a value below the modulus cannot overflow.
constexpr int kWords = 9;
using Wide = uint32_t[kWords];

void ToWide(const rsa_number& a, Wide w)
{
    for (int i = 0; i < kWords; ++i)
        w[i] = 0;
    for (int i = 0; i < rsa_number::kDigits; ++i)
        w[i / 2] |= static_cast<uint32_t>(a.digit[i]) << (16 * (i % 2));
}

rsa_number FromWide(const Wide w)
{
    rsa_number a;
    for (int i = 0; i < rsa_number::kDigits; ++i)
        a.digit[i] = static_cast<uint16_t>(w[i / 2] >> (16 * (i % 2)));
    return a;
}

int Compare(const Wide a, const Wide b, int words)
{
    for (int i = words - 1; i >= 0; --i)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}

void Subtract(Wide a, const Wide b, int words)
{
    uint64_t borrow = 0;
    for (int i = 0; i < words; ++i) {
        const uint64_t d = static_cast<uint64_t>(a[i]) - b[i] - borrow;
        a[i] = static_cast<uint32_t>(d);
        borrow = (d >> 32) & 1;
    }
}

void Add(Wide a, const Wide b, int words)
{
    uint64_t carry = 0;
    for (int i = 0; i < words; ++i) {
        const uint64_t s = static_cast<uint64_t>(a[i]) + b[i] + carry;
        a[i] = static_cast<uint32_t>(s);
        carry = s >> 32;
    }
}

// a = 2a + bit
void ShiftIn(Wide a, uint32_t bit, int words)
{
    for (int i = 0; i < words; ++i) {
        const uint32_t out = a[i] >> 31;
        a[i] = (a[i] << 1) | bit;
        bit = out;
    }
}

int BitLength(const Wide a)
{
    for (int i = kWords - 1; i >= 0; --i)
        if (a[i])
            for (int b = 31; b >= 0; --b)
                if (a[i] >> b & 1)
                    return 32 * i + b + 1;
    return 0;
}

bool Bit(const Wide a, int i) { return a[i / 32] >> (i % 32) & 1; }

// Words needed for values below 2m (the doubled value before reduction).
int WorkWords(const Wide m) { return BitLength(m) / 32 + 1; }

// r = a mod m, by binary long division (m != 0).
void Reduce(const Wide a, const Wide m, Wide r)
{
    const int words = WorkWords(m);
    for (int i = 0; i < kWords; ++i)
        r[i] = 0;
    for (int i = BitLength(a) - 1; i >= 0; --i) {
        ShiftIn(r, Bit(a, i), words);
        if (Compare(r, m, words) >= 0)
            Subtract(r, m, words);
    }
}

// r = a x b mod m for a, b < m: shift and add, reducing after each doubling
// and each addition so every intermediate stays below 2m.
void ModMul(const Wide a, const Wide b, const Wide m, Wide r)
{
    const int words = WorkWords(m);
    Wide acc = {};
    for (int i = BitLength(b) - 1; i >= 0; --i) {
        ShiftIn(acc, 0, words);
        if (Compare(acc, m, words) >= 0)
            Subtract(acc, m, words);
        if (Bit(b, i)) {
            Add(acc, a, words);
            if (Compare(acc, m, words) >= 0)
                Subtract(acc, m, words);
        }
    }
    std::memcpy(r, acc, sizeof acc);
}

} // namespace

bool rsa_number::IsZero() const
{
    for (const uint16_t d : digit)
        if (d)
            return false;
    return true;
}

bool rsa_number::operator==(const rsa_number& other) const
{
    return std::memcmp(digit, other.digit, sizeof digit) == 0;
}

rsa_number rsa_number::FromText(const char* text, int length)
{
    rsa_number value;
    for (int i = 0; i < length; ++i) {
        // x 16: the top 4 bits fall off.
        for (int k = kDigits - 1; k > 0; --k)
            value.digit[k] = static_cast<uint16_t>(value.digit[k] << 4 | value.digit[k - 1] >> 12);
        value.digit[0] = static_cast<uint16_t>(value.digit[0] << 4);
        const int c = static_cast<signed char>(text[i]);
        const int d = c < 'a' ? c - '0' : c - 'a' + 10;
        value.digit[0] = static_cast<uint16_t>(value.digit[0] + d);
    }
    return value;
}

CString rsa_number::ToText() const
{
    static const char kHex[] = "0123456789abcdef";
    char text[4 * kDigits + 1];
    for (int i = 0; i < 4 * kDigits; ++i) {
        const int nibble = 4 * kDigits - 1 - i;
        text[i] = kHex[digit[nibble / 4] >> (4 * (nibble % 4)) & 0xF];
    }
    text[4 * kDigits] = '\0';
    int first = 0;
    while (first < 4 * kDigits - 1 && text[first] == '0')
        ++first;
    return CString(text + first);
}

rsa_number rsa_number::ModExp(const rsa_number& x, const rsa_number& y, const rsa_number& m)
{
    Wide wx, wy, wm, base, result;
    ToWide(y, wy);
    const int bits = BitLength(wy);
    if (bits == 0) {
        rsa_number one;
        one.digit[0] = 1;
        return one;
    }
    if (m.IsZero())
        return rsa_number();
    ToWide(x, wx);
    ToWide(m, wm);
    Reduce(wx, wm, base);
    std::memcpy(result, base, sizeof result);
    for (int i = bits - 2; i >= 0; --i) {
        ModMul(result, result, wm, result);
        if (Bit(wy, i))
            ModMul(result, base, wm, result);
    }
    return FromWide(result);
}

rsa_key::rsa_key() = default;

rsa_key::rsa_key(const rsa_key& other) = default;

rsa_key::~rsa_key()
{
    Wipe();
}

rsa_key& rsa_key::operator=(const rsa_key& other)
{
    m_n = other.m_n;
    m_e = other.m_e;
    m_d = other.m_d;
    return *this;
}

void rsa_key::Wipe()
{
    // Through a volatile pointer, so the stores are not dropped as dead.
    for (rsa_number* number : {&m_n, &m_e, &m_d}) {
        volatile uint16_t* p = number->digit;
        for (int i = 0; i < rsa_number::kDigits; ++i)
            p[i] = 0;
    }
}

void rsa_key::Load(CString& keyText)
{
    const char* text = keyText;
    const int length = keyText.GetLength();
    std::string parts[3];
    int part = 0;
    for (int i = 0; i < length; ++i) {
        if (text[i] == '-') {
            if (part < 2)
                ++part;
            continue;
        }
        parts[part] += text[i];
    }
    m_d = rsa_number::FromText(parts[0].data(), static_cast<int>(parts[0].size()));
    m_e = rsa_number::FromText(parts[1].data(), static_cast<int>(parts[1].size()));
    m_n = rsa_number::FromText(parts[2].data(), static_cast<int>(parts[2].size()));
}

CString rsa_key::Save()
{
    return m_d.ToText() + "-" + m_e.ToText() + "-" + m_n.ToText();
}

CString rsa_key::SaveAsPublic()
{
    rsa_key copy(*this);
    copy.m_e = rsa_number();
    return copy.Save();
}

CString rsa_key::DeCode(CString cipherText)
{
    const char* text = cipherText;
    const int length = cipherText.GetLength();
    std::string plain;
    int pos = 0;
    for (;;) {
        int end = pos;
        while (end < length && text[end] != '-')
            ++end;
        if (end == pos)
            break;  // an empty block (or the end of the text) ends the cipher text
        const rsa_number c = rsa_number::FromText(text + pos, end - pos);
        pos = end < length ? end + 1 : end;
        const rsa_number p = rsa_number::ModExp(c, m_d, m_n);
        for (int i = 0; i < 3; ++i) {
            const char low = static_cast<char>(p.digit[i] & 0xFF);
            const char high = static_cast<char>(p.digit[i] >> 8);
            if (low)
                plain += low;
            if (high)
                plain += high;
        }
    }
    return CString(plain.c_str());
}

CString rsa_key::EnCode(CString plainText)
{
    const unsigned char* text = reinterpret_cast<const unsigned char*>(static_cast<const char*>(plainText));
    const int length = plainText.GetLength();
    CString cipher;
    rsa_number block;
    bool pending = false;  // block holds one digit not yet written
    for (int i = 0; i < length; i += 2) {
        const unsigned high = i + 1 < length ? text[i + 1] : 0;
        const uint16_t digit = static_cast<uint16_t>(text[i] | high << 8);
        if (!pending) {
            block = rsa_number();
            block.digit[0] = digit;
            pending = true;
        } else {
            block.digit[1] = digit;
            cipher += rsa_number::ModExp(block, m_e, m_n).ToText();
            cipher += "-";
            pending = false;
        }
    }
    if (pending)
        cipher += rsa_number::ModExp(block, m_e, m_n).ToText();
    return cipher;
}

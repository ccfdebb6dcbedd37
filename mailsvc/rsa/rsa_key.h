// rsa_key: RSA on fixed-width 256-bit numbers, with keys and cipher texts
// kept as text. Used to decode the signature in a grammar container's header.
//
// Key text: d, e and n as lowercase hexadecimal numbers joined by "-" (the
// public form has "0" for e). Cipher text: hexadecimal numbers joined by "-",
// each one block of up to four plain-text bytes.
#pragma once

#include <cstdint>

#include "fx/fx.h"

// An unsigned 256-bit number: 16 digits of 16 bits, least significant first.
// Addition, subtraction and shifts wrap modulo 2^256.
struct rsa_number {
    static constexpr int kDigits = 16;
    uint16_t digit[kDigits] = {};

    bool IsZero() const;
    bool operator==(const rsa_number& other) const;

    // Reads a number text character by character: value = value x 16 (the top
    // 4 bits are lost), then the character's digit is added into the lowest
    // 16-bit digit ("0"-"9" and "a"-"f" are the hexadecimal digits; anything
    // else gives the value the same rule computes for it).
    static rsa_number FromText(const char* text, int length);
    // Lowercase hexadecimal without leading zeros; zero is "0".
    CString ToText() const;

    // x^y mod m. y == 0 gives 1; otherwise x is first reduced modulo m, and
    // m == 0 gives 0.
    static rsa_number ModExp(const rsa_number& x, const rsa_number& y, const rsa_number& m);
};

class rsa_key {
public:
    rsa_key();
    rsa_key(const rsa_key& other);
    ~rsa_key();
    rsa_key& operator=(const rsa_key& other);

    // Reads a key text: d, e and n separated by "-". Characters after a third
    // "-" belong to n (further "-" are dropped); missing parts are 0.
    void Load(CString& keyText);
    // The key text d-e-n.
    CString Save();
    // The key text without the encoding exponent: d-0-n.
    CString SaveAsPublic();

    // Plain text of a cipher text: each block c becomes c^d mod n, whose three
    // lowest 16-bit digits give up to six bytes (zero bytes are skipped).
    // Decoding stops at the first empty block.
    CString DeCode(CString cipherText);
    // Cipher text of a plain text: every four bytes form one block p, written
    // as p^e mod n followed by "-"; a last block of one or two bytes is
    // written without the "-".
    CString EnCode(CString plainText);

    // Key generation is not part of this library: reports that and returns 0.
    int CreateKey(CString, CString);

private:
    void Wipe();

    rsa_number m_n;  // modulus
    rsa_number m_e;  // encoding exponent
    rsa_number m_d;  // decoding exponent
};

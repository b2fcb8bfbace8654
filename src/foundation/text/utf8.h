// One UTF-8 sequence <-> one code point: the only place that knows the encoding.
//
// Decoding never trusts a lead byte: a sequence counts only when every continuation
// byte is 10xxxxxx, lies inside the text, and the value is not an overlong form or
// above U+10FFFF. Anything else decodes as the lead byte alone, taken as Latin-1
// (a stray 0xE9 gives U+00E9), so 8-bit text that slipped into UTF-8 keeps its
// characters and the decoder moves on by one byte.
//
// Three-byte forms of surrogates (ED A0 80..ED BF BF) are accepted and give the
// surrogate itself: older text was written one UTF-16 code unit at a time, and the
// two halves of a pair must survive so they can be joined again.
//
// Everything is inline: the platform layer (below the foundation) and the hot
// per-character loops both use it, with no link-time dependency.
#pragma once

#include <cstdint>

// Longest sequence this codec reads or writes.
constexpr int UTF8_MaxSequence = 4;

// Encodes one code point into out (room for UTF8_MaxSequence bytes) and returns the
// number of bytes written: 1 to 4. A lone surrogate becomes three bytes. A value
// above U+10FFFF writes nothing and returns 0, so the caller decides what it means.
inline int utf8_Encode(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    if (c < 0x110000) {
        out[0] = static_cast<char>(0xF0 | (c >> 18));
        out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[3] = static_cast<char>(0x80 | (c & 0x3F));
        return 4;
    }
    return 0;
}

// Number of bytes utf8_Encode writes for c (0 above U+10FFFF).
inline int utf8_EncodedLength(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : c < 0x110000 ? 4 : 0;
}

// Decodes the sequence at text, of which `available` bytes may be read, into *c and
// returns the number of bytes it took: 1 to 4, or 0 when available <= 0. For a
// zero-terminated text any bound that reaches the terminator is safe: the terminator
// is never a continuation byte, so nothing past it is read.
inline int utf8_Decode(const char* text, int available, char32_t* c) {
    if (available <= 0) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned b0 = p[0];
    *c = b0;
    int n;
    char32_t value;
    char32_t minimum;
    if (b0 < 0x80) return 1;
    if ((b0 & 0xE0) == 0xC0) {
        n = 2, value = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, value = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, value = b0 & 0x07, minimum = 0x10000;
    } else {
        return 1;  // a continuation byte or an invalid lead
    }
    if (available < n) return 1;  // cut short: the lead stands alone
    for (int i = 1; i < n; ++i) {
        const unsigned b = p[i];
        if ((b & 0xC0) != 0x80) return 1;
        value = (value << 6) | (b & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF) return 1;
    *c = value;
    return n;
}

// Bytes the sequence at text takes, by the same rule as utf8_Decode.
inline int utf8_SequenceLength(const char* text, int available) {
    char32_t ignored;
    return utf8_Decode(text, available, &ignored);
}

// True when every byte of the text belongs to a well-formed sequence (encoded
// surrogates included, see above).
inline bool utf8_IsValid(const char* text, int length) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    char32_t c;
    int i = 0;
    while (i < length) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int n = utf8_Decode(text + i, length - i, &c);
        if (n == 1) return false;  // a byte from 0x80 up standing alone
        i += n;
    }
    return true;
}

// UTF-16 surrogate pairs.
inline bool utf16_IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool utf16_IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
inline char32_t utf16_Combine(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}
// Code units for c (1 or 2), written to out; c must be at most U+10FFFF.
inline int utf16_Encode(char32_t c, char16_t* out) {
    if (c < 0x10000) {
        out[0] = static_cast<char16_t>(c);
        return 1;
    }
    c -= 0x10000;
    out[0] = static_cast<char16_t>(0xD800 + (c >> 10));
    out[1] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    return 2;
}

// Scrambled text files: an 8-byte header, then text XORed with a keyed 16-bit stream.
// The system only reads such files; the writer side exists for tests.
//
// Header: two little-endian 32-bit words w0, w1. The low half of w0 is 0xFF00 (bytes
// 00 FF: a NUL and a byte that UTF-8 never uses, so no text file starts this way) and
// w1 = (w0 * 0x9E3779B1) ^ 0x5A3CC3A5. The high half of w0 and all of w1 seed the
// generator; a writer picks the high half freely.
#pragma once

#include <cstdint>

struct scramble_State {
    uint16_t x;    // xorshift register, never 0
    uint16_t y;    // linear congruential register
    uint16_t key;  // odd increment of the congruential register
};

constexpr int SCRAMBLE_HeaderSize = 8;

inline uint32_t scramble_Word(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

inline uint32_t scramble_Partner(uint32_t w0) { return (w0 * 0x9E3779B1u) ^ 0x5A3CC3A5u; }

inline bool scramble_IsHeader(const uint8_t* p) {
    uint32_t w0 = scramble_Word(p);
    return (w0 & 0xFFFF) == 0xFF00 && scramble_Word(p + 4) == scramble_Partner(w0);
}

inline scramble_State scramble_Seed(const uint8_t* header) {
    uint32_t w0 = scramble_Word(header);
    uint32_t w1 = scramble_Word(header + 4);
    scramble_State s;
    s.x = static_cast<uint16_t>((w0 >> 16) ^ (w1 & 0xFFFF));
    if (s.x == 0) s.x = 0xACE1;
    s.y = static_cast<uint16_t>(w1 >> 16);
    s.key = static_cast<uint16_t>((w0 >> 16) | 1);
    return s;
}

inline uint8_t scramble_Next(scramble_State& s) {
    s.x = static_cast<uint16_t>(s.x ^ (s.x << 7));
    s.x = static_cast<uint16_t>(s.x ^ (s.x >> 9));
    s.x = static_cast<uint16_t>(s.x ^ (s.x << 8));
    s.y = static_cast<uint16_t>(s.y * 0x6255u + s.key);
    return static_cast<uint8_t>((s.x + s.y) >> 8);
}

// Writes the header for a seed half into out[0..7].
inline void scramble_MakeHeader(uint16_t seed, uint8_t* out) {
    uint32_t w0 = uint32_t{seed} << 16 | 0xFF00u;
    uint32_t w1 = scramble_Partner(w0);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(w0 >> (8 * i));
        out[4 + i] = static_cast<uint8_t>(w1 >> (8 * i));
    }
}

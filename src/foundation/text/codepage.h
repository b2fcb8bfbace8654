// The process-wide code-page table and the conversions of UniString from and to 8-bit
// code-page text.
//
// Into UTF-16, 8-bit text always goes through the platform's system code page (UTF-8
// when valid, else Windows-1252); the maps are not used. Out of UTF-16 the
// Unicode-to-code map decides: as reset, U+0000-U+00FF become the byte of the same
// value and everything else '?'. A mapping file ("cp*.txt", one "0xCODE,0xUNICODE"
// line per character) can replace the maps; a code with a non-zero high byte is a
// double-byte code whose high byte is its lead byte.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"

class codepage_Table {
public:
    codepage_Table();

    // Both maps the identity for 0-255 and '?' elsewhere; no lead bytes.
    void Reset();
    // Converts `length` bytes in the system code page; writes at most capacity units,
    // the terminator included, and returns the units before it (0 on failure).
    int ToWide(const char* text, int length, char16_t* out, int capacity) const;
    // Converts `length` units through the Unicode-to-code map; writes at most capacity
    // bytes, the terminator included, and returns the bytes before it.
    int FromWide(const char16_t* text, int length, char* out, int capacity) const;

    // Enters code <-> unicode in both maps; a unicode value of 0 is ignored.
    void AddMapping(uint16_t code, uint16_t unicode);
    // Flags each byte 1-255 under which some double-byte code maps to other than '?'.
    void ComputeLeadBytes();
    // Resets, then enters the mappings of the first "cp*.txt" in
    // "$(LocaleRootDir)\$(Language)" (codepage_load.cpp); true when a file was read.
    bool Load();

    bool IsLeadByte(unsigned char byte) const { return _LeadByte[byte]; }
    uint16_t CodeToUnicode(uint16_t code) const { return _CodeToUnicode[code]; }
    uint16_t UnicodeToCode(uint16_t unicode) const { return _UnicodeToCode[unicode]; }

private:
    bool _LeadByte[256];
    uint16_t _CodeToUnicode[65536];
    uint16_t _UnicodeToCode[65536];
};

// The process-wide table.
codepage_Table& codepage_Get();

// A "0x" hexadecimal field of a mapping file: the first two characters are skipped,
// digits of either case count, any other character counts as 0; the value wraps at 16 bits.
uint16_t codepage_ParseHex(const char* field);

// 8-bit text in the system code page as UTF-8.
Str unistr_CodePageToUTF8(const Str& text);

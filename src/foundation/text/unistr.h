// UniString: the UTF-16 twin of Str, through which text crosses to the platform
// (file names, folder names) and to and from 8-bit code-page text.
//
// Storage: always an owned block from new[], zero-terminated, never null. Unlike Str
// it keeps spare room: _BlockSize counts code units including the terminator and
// grows by a factor of four (Reserve); only Compact shrinks it.
//
// UTF-8 goes through foundation/text/utf8.h: a surrogate pair becomes one four-byte
// sequence and back, and a byte that does not start a well-formed sequence stands
// for itself (Latin-1), so 8-bit text that slipped into UTF-8 keeps its characters.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"
#include "foundation/text/utf8.h"

class UniString {
public:
    UniString();
    UniString(const char16_t* text);
    explicit UniString(char16_t c);
    UniString(const Str& utf8);
    UniString(const char* utf8);
    UniString(const char16_t* first, const char16_t* second);
    UniString(const UniString& other);
    ~UniString();

    UniString& operator=(const UniString& other);
    UniString& operator=(const char16_t* text);
    UniString& operator=(char16_t c);

    UniString& operator+=(const UniString& text);
    UniString& operator+=(const char16_t* text);
    UniString& operator+=(char16_t c);

    int Length() const { return _Length; }
    const char16_t* Data() const { return _Pointer; }
    int BlockSize() const { return _BlockSize; }
    bool IsEmpty() const { return _Length == 0; }

    // Conversions.
    void ToUTF8(Str& out) const;
    Str ToUTF8() const;
    void SetFromUTF8(const char* text);
    // 8-bit text in the system code page (defined with the code-page table).
    void FromCodePage(const char* text);
    void FromCodePage(const Str& text);
    Str ToCodePage() const;

    char16_t operator[](int i) const;
    void SetAt(int i, char16_t v);
    // c is an 8-bit value widened with its sign, as the 8-bit twin takes it.
    void Fill(char c, int n);
    void Truncate(int pos);
    void Delete(int i, int n);
    void Insert(const char16_t* text, int pos);
    void Reverse();
    void MakeLower();
    void MakeUpper();

    int FindChar(char16_t c, int start = 0) const;
    int FindSubString(const char16_t* s, int start = 0) const;
    int FindLastChar(char16_t c) const;
    int FindFirstOf(const char16_t* set, int start = 0) const;
    bool Contains(char16_t c) const { return FindChar(c, 0) < _Length; }
    bool ContainsSubString(const char16_t* s) const { return FindSubString(s, 0) < _Length; }

    void StripLeading(char16_t c);
    void StripTrailing(char16_t c);
    void StripLeadingAny(const char16_t* set);
    void StripTrailingAny(const char16_t* set);
    void Replace(const char16_t* Old, const char16_t* New);
    void ReplaceChar(char16_t Old, char16_t New);
    void PadRight(int n, char16_t c);
    void PadLeft(int n, char16_t c);

    UniString Mid(int pos, int count) const;
    UniString Left(int n) const;
    UniString MidToEnd(int i) const;
    UniString CutLeft(int n);

    void Compact();

    // Makes room for n code units and the terminator (grows by four, keeps the text).
    void Reserve(int n);

    // Bytes of the UTF-8 sequence at text, of which `available` may be read: 1 to 4, by
    // the rule of foundation/text/utf8.h (a byte that starts no well-formed sequence
    // stands alone); 0 when nothing is available.
    static int SequenceLength(const char* text, int available) { return utf8_SequenceLength(text, available); }

private:
    // A new block of n + 1 code units; the old block is the caller's to free.
    void Allocate(int n);
    void Assign(const char16_t* text, int n);
    void AppendUnits(const char16_t* text, int n);
    // The UTF-8 form into out, behind both ToUTF8.
    void EncodeUTF8(Str& out) const;

    char16_t* _Pointer;
    int32_t _Length;
    int32_t _BlockSize;
};

// Number of UTF-16 code units the UTF-8 text decodes to.
int unistr_CharacterCount(const Str& utf8);
// Length of a zero-terminated UTF-16 text; 0 for NULL.
int unistr_Length(const char16_t* text);

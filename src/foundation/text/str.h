// Str: the system's one string type, a counted, zero-terminated run of bytes that by
// convention holds UTF-8 but is never decoded here. It is also the exception type:
// failures are thrown as a Str holding the message and caught by reference.
//
// Storage: an empty Str points at one shared static byte holding 0, never written or
// freed. A text of up to InlineCapacity bytes made by a constructor (a copy included)
// or by assignment to a Str without a block lives inside the Str's own 16 bytes: names,
// codes and numbers, which are most texts of a job, then cost no heap block, and a job
// model holding hundreds of thousands of records stays small. Any other Str owns a
// malloc'd block of at least length + 1 bytes. There is no spare capacity: growing
// reallocates to exactly the new length + 1, shortening keeps the block. Assign alone
// keeps a block the new text fits, so a Str that is reused for text after text stops
// asking the heap.
//
// Inline layout (little-endian): the text and its terminator from byte 0, and in byte
// 15 the length with the top bit set; a block size is never negative, so that bit tells
// the two forms apart. An inline text moves with the Str: Data() of a moved or copied
// Str is not the source's.
//
// StrArray: an owning array of heap-allocated Str, growing to the needed count + 16.
#pragma once

#include <cstdint>

class Str {
public:
    Str();
    Str(const Str& other);
    Str(Str&& other) noexcept;
    Str(const char* text);
    Str(const unsigned char* text);
    Str(const char* buffer, int count);
    explicit Str(char c);
    Str(const char* first, const char* second);
    // Zero-terminated UTF-16, each code unit encoded by itself.
    explicit Str(const char16_t* text);
    ~Str();

    Str& operator=(const Str& other);
    Str& operator=(Str&& other) noexcept;
    Str& operator=(const char* text);
    Str& operator=(char c);
    // The count bytes at text, up to a first zero among them, in the block already owned
    // when they fit in it (an empty result keeps the block too).
    void Assign(const char* text, int count);
    // As Assign, for count bytes the caller knows hold no zero: a parser's names and
    // texts, copied without a second scan.
    void AssignBytes(const char* text, int count);

    // Takes over a block from malloc that holds count bytes and a zero after them: a
    // reader hands a long text over so instead of copying it.
    static Str Adopt(char* block, int count);
    // Bytes of the owned block; 0 without one (inline, the size's bytes hold text and
    // read negative; on the shared buffer it is 0).
    int BlockBytes() const { return _BlockSize > 0 ? _BlockSize : 0; }

    // Longest text kept inside the Str.
    static constexpr int InlineCapacity = 14;

    int Length() const { return IsInline() ? InlineBytes()[15] & 0x7F : _Length; }
    const char* Data() const { return IsInline() ? reinterpret_cast<const char*>(this) : _Pointer; }
    bool IsEmpty() const { return Length() == 0 || Data()[0] == 0; }
    char operator[](int i) const;
    bool PastTheEnd(int i) const { return i >= Length(); }

    Str& operator+=(const char* text);
    Str& operator+=(const Str& text);
    Str& operator+=(char c);
    void Insert(const char* text, int pos);
    void PadRight(int n, char c);
    void PadLeft(int n, char c);
    void Fill(char c, int n);
    void SetAt(int i, char v);
    void Truncate(int pos);
    void Delete(int i, int n);
    void StripLeading(char c);
    void StripTrailing(char c);
    void Strip(char c);
    void StripLeadingAny(const char* set);
    void StripTrailingAny(const char* set);
    void Replace(const char* Old, const char* New);
    void ReplaceChar(char Old, char New);
    void MakeLower();
    void MakeUpper();
    void Reverse();
    void Compact();

    int FindChar(char c, int start = 0) const;
    int FindSubString(const char* s, int start = 0) const;
    int FindLastChar(char c) const;
    int FindFirstOf(const char* set, int start = 0) const;
    bool Contains(char c) const { return FindChar(c, 0) < Length(); }
    bool ContainsSubString(const char* s) const { return FindSubString(s, 0) < Length(); }

    int Compare(const Str& other) const;
    int CompareInsensitive(const Str& other) const;
    bool EqualInsensitive(const Str& other) const;

    Str Mid(int pos, int count) const;
    Str Left(int n) const;
    Str MidToEnd(int i) const;
    Str CutLeft(int n);

    // Whether this Str owns a block (false on the shared empty buffer and for a text
    // kept inside); for tests.
    bool OwnsBlock() const;
    bool IsInline() const { return _BlockSize < 0; }

private:
    const unsigned char* InlineBytes() const { return reinterpret_cast<const unsigned char*>(this); }
    char* Buffer() { return IsInline() ? reinterpret_cast<char*>(this) : _Pointer; }
    void SetLength(int n);
    // Empty and inline, any block freed first.
    void MakeInline();
    void Allocate(int n);
    void Reallocate(int n);
    void AppendBytes(const char* text, int n);

    // In the inline form these bytes hold the text instead.
    char* _Pointer;
    int32_t _Length;
    // Bytes in the owned block (0 on the shared buffer): a shortened string keeps its
    // block, and a text inside it must be copied before the block moves.
    int32_t _BlockSize = 0;
};

bool operator==(const Str& a, const char* b);
bool operator!=(const Str& a, const char* b);
bool operator==(const Str& a, const Str& b);
bool operator!=(const Str& a, const Str& b);
Str operator+(const Str& a, const Str& b);
Str operator+(const Str& a, const char* b);
Str operator+(const char* a, const Str& b);

void string_AssignText(Str& target, const char* text);
// The character 0 is never in a set.
bool string_IsInSet(char c, const char* set);
Str string_FormatInt(int value, const Str& format);
Str string_FromInt(int value);
Str string_FromUnsigned(unsigned value);
// Case-insensitive compare with ASCII folding only, like the C locale's stricmp.
int string_CompareInsensitive(const char* a, const char* b);

class StrArray {
public:
    StrArray();
    StrArray(const StrArray& other);
    StrArray& operator=(const StrArray& other);
    virtual ~StrArray();

    void Clear();
    void Reserve(int n);
    void Add(const Str& s);
    void Add(const char* s);
    void Append(const StrArray& other);
    void InsertAt(int Index, const Str& s);
    void Remove(int Index);
    Str& operator[](int Index);
    const Str& operator[](int Index) const;
    Str GetAt(int Index) const;
    int Count() const { return _Count; }
    int Allocated() const { return _Allocated; }
    int Find(const Str& s) const;
    bool Contains(const Str& s) const { return Find(s) != -1; }
    bool operator==(const StrArray& other) const;
    void Sort();
    StrArray operator+(const Str& s) const;
    StrArray operator+(const StrArray& other) const;

private:
    void CopyFrom(const StrArray& other);

    Str** _Array;
    int32_t _Allocated;
    int32_t _Count;
};

// Fields of one line split at a separator; the caller owns the array.
StrArray* string_Split(const Str& text, char separator, bool quotes);
// Comma-separated fields of one line with blank handling; the caller owns the array.
StrArray* string_SplitFields(const Str& text);
// Three-way comparison in which runs of digits compare by value.
int string_CompareNatural(const Str& a, const Str& b);
int string_CompareDigitRuns(const char* shortRun, int ls, const char* longRun, int ll);

#include "foundation/text/str.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

#include "foundation/environment.h"
#include "foundation/text/utf8.h"

namespace {

constexpr const char* kModule = "str";

// The one shared empty text: only ever read, never freed.
constinit char emptyBuffer[1] = {0};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void* CheckedRealloc(void* block, size_t bytes) {
    void* p = std::realloc(block, bytes);
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

// ---- storage ---------------------------------------------------------------------------

static_assert(sizeof(Str) == 16, "an inline text takes the Str's own 16 bytes");
static_assert(std::endian::native == std::endian::little, "the inline tag is the top byte of the block size");

bool Str::OwnsBlock() const { return !IsInline() && _Pointer != emptyBuffer; }

namespace {
// A text inside the string's own block, past the terminator of a shortened string too.
bool LiesInBlock(const char* block, int32_t blockSize, const char* text) {
    std::less<const char*> before;
    return blockSize > 0 && !before(text, block) && before(text, block + blockSize);
}
}  // namespace

void Str::SetLength(int n) {
    if (IsInline()) reinterpret_cast<unsigned char*>(this)[15] = static_cast<unsigned char>(0x80 | n);
    else _Length = n;
}

void Str::MakeInline() {
    if (OwnsBlock()) std::free(_Pointer);
    std::memset(static_cast<void*>(this), 0, sizeof(Str));
    reinterpret_cast<unsigned char*>(this)[15] = 0x80;
}

// Room for n characters, from a fresh string: inside for a short text, else a block.
void Str::Allocate(int n) {
    if (n > 0 && n <= InlineCapacity) {
        MakeInline();
        return;
    }
    _Pointer = static_cast<char*>(CheckedRealloc(nullptr, static_cast<size_t>(n) + 1));
    _BlockSize = n + 1;
    _Pointer[0] = 0;
}

// Room for exactly n characters and the terminator, keeping the text; never any spare
// capacity. A string without a block keeps a text that fits inside.
void Str::Reallocate(int n) {
    if (IsInline()) {
        if (n <= InlineCapacity) return;
        const int length = Length();
        char* block = static_cast<char*>(CheckedRealloc(nullptr, static_cast<size_t>(n) + 1));
        std::memcpy(block, this, static_cast<size_t>(length) + 1);
        _Pointer = block;
        _Length = length;
        _BlockSize = n + 1;
    } else if (!OwnsBlock()) {
        Allocate(n);
    } else {
        _Pointer = static_cast<char*>(CheckedRealloc(_Pointer, static_cast<size_t>(n) + 1));
        _BlockSize = n + 1;
    }
}

// Appends n bytes that do not lie inside this string's storage.
void Str::AppendBytes(const char* text, int n) {
    if (n <= 0) return;
    const int old = Length();
    if (n > INT_MAX - 1 - old) throw std::bad_alloc();
    Reallocate(old + n);
    char* p = Buffer();
    std::memcpy(p + old, text, static_cast<size_t>(n));
    SetLength(old + n);
    p[old + n] = 0;
}

// ---- construction ----------------------------------------------------------------------

Str::Str() : _Pointer(emptyBuffer), _Length(0) {}

Str::Str(const Str& other) : _Pointer(emptyBuffer), _Length(0) {
    const int n = other.Length();
    if (n == 0) return;
    Allocate(n);
    std::memcpy(Buffer(), other.Data(), static_cast<size_t>(n) + 1);
    SetLength(n);
}

Str::Str(Str&& other) noexcept : _Pointer(other._Pointer), _Length(other._Length), _BlockSize(other._BlockSize) {
    other._Pointer = emptyBuffer;
    other._BlockSize = 0;
    other._Length = 0;
}

Str::Str(const char* text) : _Pointer(emptyBuffer), _Length(0) {
    if (!text || !*text) return;
    size_t n = std::strlen(text);
    if (n > INT_MAX - 1) throw std::bad_alloc();
    Allocate(static_cast<int>(n));
    std::memcpy(Buffer(), text, n + 1);
    SetLength(static_cast<int>(n));
}

Str::Str(const unsigned char* text) : Str(reinterpret_cast<const char*>(text)) {}

Str::Str(const char* buffer, int count) : _Pointer(emptyBuffer), _Length(0) {
    if (!QZ_ASSERT(count >= 0)) return;
    if (!buffer || count == 0) return;
    Allocate(count);
    char* p = Buffer();
    std::memcpy(p, buffer, static_cast<size_t>(count));
    p[count] = 0;
    SetLength(static_cast<int>(std::strlen(p)));
}

Str::Str(char c) : _Pointer(emptyBuffer), _Length(0) {
    if (c == 0) return;
    Allocate(1);
    char* p = Buffer();
    p[0] = c;
    p[1] = 0;
    SetLength(1);
}

Str::Str(const char* first, const char* second) : _Pointer(emptyBuffer), _Length(0) {
    size_t a = first ? std::strlen(first) : 0;
    size_t b = second ? std::strlen(second) : 0;
    if (a + b > INT_MAX - 1) throw std::bad_alloc();
    Allocate(static_cast<int>(a + b));
    char* p = Buffer();
    if (a) std::memcpy(p, first, a);
    if (b) std::memcpy(p + a, second, b);
    p[a + b] = 0;
    SetLength(static_cast<int>(a + b));
}

Str::Str(const char16_t* text) : _Pointer(emptyBuffer), _Length(0) {
    if (!text || !*text) return;
    // A surrogate pair is one character, so it round-trips through UTF-8 whole.
    auto next = [&text](size_t& i) -> char32_t {
        char32_t u = text[i];
        if (utf16_IsHighSurrogate(u) && utf16_IsLowSurrogate(text[i + 1])) u = utf16_Combine(u, text[++i]);
        return u;
    };
    size_t bytes = 0;
    for (size_t i = 0; text[i]; ++i) bytes += static_cast<size_t>(utf8_EncodedLength(next(i)));
    if (bytes > INT_MAX - 1) throw std::bad_alloc();
    Allocate(static_cast<int>(bytes));
    char* out = Buffer();
    for (size_t i = 0; text[i]; ++i) out += utf8_Encode(next(i), out);
    *out = 0;
    SetLength(static_cast<int>(bytes));
}

Str Str::Adopt(char* block, int count) {
    Str adopted;
    if (!QZ_ASSERT(block && count >= 0)) return adopted;
    adopted._Pointer = block;
    adopted._Length = count;
    adopted._BlockSize = count + 1;
    return adopted;
}

Str::~Str() {
    if (OwnsBlock()) std::free(_Pointer);
}

Str& Str::operator=(const Str& other) {
    if (this == &other) return *this;
    const int n = other.Length();
    if (!OwnsBlock() && n == 0) {
        SetLength(0);
        if (IsInline()) Buffer()[0] = 0;
        return *this;
    }
    if (!OwnsBlock() && n <= InlineCapacity) {
        // No block to keep: the text goes inside (other is not this, so no overlap).
        MakeInline();
        std::memcpy(Buffer(), other.Data(), static_cast<size_t>(n) + 1);
        SetLength(n);
        return *this;
    }
    Reallocate(n);
    char* p = Buffer();
    std::memcpy(p, other.Data(), static_cast<size_t>(n));
    SetLength(n);
    p[n] = 0;
    return *this;
}

// Taking over a non-empty source's block ends exactly where a copy would: a block of
// length + 1 owned by this string. An empty or inline source follows the copy rules.
Str& Str::operator=(Str&& other) noexcept {
    if (this == &other) return *this;
    if (other.Length() == 0 || !other.OwnsBlock()) {
        *this = static_cast<const Str&>(other);
        if (other.IsInline()) other = Str();  // moved out, as a block would be
        return *this;
    }
    if (OwnsBlock()) std::free(_Pointer);
    _Pointer = other._Pointer;
    _BlockSize = other._BlockSize;
    other._BlockSize = 0;
    _Length = other._Length;
    other._Pointer = emptyBuffer;
    other._Length = 0;
    return *this;
}

void Str::Assign(const char* text, int count) {
    if (!QZ_ASSERT(count >= 0) || !text) count = 0;
    if (count > 0) {
        if (const void* zero = std::memchr(text, 0, static_cast<size_t>(count)))
            count = static_cast<int>(static_cast<const char*>(zero) - text);
    }
    AssignBytes(text, count);
}

void Str::AssignBytes(const char* text, int count) {
    if (count <= 0) {
        SetLength(0);
        if (OwnsBlock() || IsInline()) Buffer()[0] = 0;
        return;
    }
    if (!OwnsBlock() && count <= InlineCapacity) {
        // Built whole in two words, from loads that stay within the text, and stored at
        // once (the text may lie in this string's own bytes): the bytes past the
        // terminator stay zero, as MakeInline leaves them. Bytes built in memory and read
        // back as words would stall the store.
        uint64_t low = 0;
        uint64_t high = static_cast<uint64_t>(0x80 | count) << 56;
        if (count >= 8) {
            std::memcpy(&low, text, 8);
            if (count > 8) {
                uint64_t tail;
                std::memcpy(&tail, text + count - 8, 8);
                high |= tail >> (8 * (16 - count));
            }
        } else if (count >= 4) {
            uint32_t head, tail;
            std::memcpy(&head, text, 4);
            std::memcpy(&tail, text + count - 4, 4);
            low = head | static_cast<uint64_t>(tail) << (8 * (count - 4));
        } else {
            const auto byte = [text](int i) { return static_cast<uint64_t>(static_cast<unsigned char>(text[i])); };
            low = byte(0) | byte(count / 2) << (8 * (count / 2)) | byte(count - 1) << (8 * (count - 1));
        }
        std::memcpy(static_cast<void*>(this), &low, 8);
        std::memcpy(reinterpret_cast<char*>(this) + 8, &high, 8);
        return;
    }
    if (count >= _BlockSize) {
        // Too large for the block (or none): a new one of exactly the length, filled
        // before the old one goes, as the text may lie in it.
        char* fresh = static_cast<char*>(CheckedRealloc(nullptr, static_cast<size_t>(count) + 1));
        std::memcpy(fresh, text, static_cast<size_t>(count));
        if (OwnsBlock()) std::free(_Pointer);
        _Pointer = fresh;
        _BlockSize = count + 1;
    } else {
        std::memmove(_Pointer, text, static_cast<size_t>(count));
    }
    _Pointer[count] = 0;
    _Length = count;
}

Str& Str::operator=(const char* text) {
    if (!text || !*text) {
        SetLength(0);
        if (OwnsBlock() || IsInline()) Buffer()[0] = 0;
        return *this;
    }
    size_t n = std::strlen(text);
    if (n > INT_MAX - 1) throw std::bad_alloc();
    if (!OwnsBlock() && n <= static_cast<size_t>(InlineCapacity)) {
        Assign(text, static_cast<int>(n));
        return *this;
    }
    if (LiesInBlock(_Pointer, _BlockSize, text) || IsInline()) {
        // The text may lie in our storage, past the terminator of a shortened string
        // too: fill a new block before the old one goes.
        char* fresh = static_cast<char*>(CheckedRealloc(nullptr, n + 1));
        std::memcpy(fresh, text, n + 1);
        if (OwnsBlock()) std::free(_Pointer);
        _Pointer = fresh;
        _BlockSize = static_cast<int32_t>(n) + 1;
    } else {
        Reallocate(static_cast<int>(n));
        std::memcpy(_Pointer, text, n + 1);
    }
    _Length = static_cast<int32_t>(n);
    return *this;
}

Str& Str::operator=(char c) {
    char text[2] = {c, 0};
    return *this = text;
}

void string_AssignText(Str& target, const char* text) { target = text; }

char Str::operator[](int i) const {
    bool ok = QZ_ASSERT_TEXT(i < Length(), "i < _Length");
    ok = QZ_ASSERT(i >= 0) && ok;
    return ok ? Data()[i] : 0;
}

// ---- changing in place -----------------------------------------------------------------

Str& Str::operator+=(const char* text) {
    if (!text || !*text) return *this;
    size_t n = std::strlen(text);
    const int length = Length();
    if (n > INT_MAX - 1 - static_cast<size_t>(length)) throw std::bad_alloc();
    if (LiesInBlock(_Pointer, _BlockSize, text) || LiesInBlock(Data(), IsInline() ? 16 : 0, text)) {
        // As in assignment: the old storage stays until the text has been copied out.
        Str copy(text);
        AppendBytes(copy.Data(), copy.Length());
        return *this;
    }
    AppendBytes(text, static_cast<int>(n));
    return *this;
}

Str& Str::operator+=(const Str& text) {
    if (text.Length() == 0) return *this;
    if (&text == this) {
        Str copy(text);
        AppendBytes(copy.Data(), copy.Length());
        return *this;
    }
    AppendBytes(text.Data(), text.Length());
    return *this;
}

Str& Str::operator+=(char c) {
    if (c != 0) AppendBytes(&c, 1);
    return *this;
}

void Str::Insert(const char* text, int pos) {
    if (!text || !*text || pos < 0) return;
    const int old = Length();
    if (pos >= old) {
        *this += text;
        return;
    }
    Str copy(text);
    int n = copy.Length();
    if (n > INT_MAX - 1 - old) throw std::bad_alloc();
    Reallocate(old + n);
    char* p = Buffer();
    std::memmove(p + pos + n, p + pos, static_cast<size_t>(old - pos) + 1);
    std::memcpy(p + pos, copy.Data(), static_cast<size_t>(n));
    SetLength(old + n);
}

void Str::PadRight(int n, char c) {
    const int old = Length();
    if (old >= n || c == 0) return;
    Reallocate(n);
    char* p = Buffer();
    std::memset(p + old, c, static_cast<size_t>(n - old));
    SetLength(n);
    p[n] = 0;
}

void Str::PadLeft(int n, char c) {
    QZ_ASSERT_TEXT(Data(), "_Pointer");
    const int old = Length();
    if (old >= n || c == 0) return;
    int add = n - old;
    Reallocate(n);
    char* p = Buffer();
    std::memmove(p + add, p, static_cast<size_t>(old) + 1);
    std::memset(p, c, static_cast<size_t>(add));
    SetLength(n);
}

void Str::Fill(char c, int n) {
    if (!QZ_ASSERT(c)) return;
    if (!QZ_ASSERT(n >= 0)) return;
    Reallocate(n);
    char* p = Buffer();
    std::memset(p, c, static_cast<size_t>(n));
    p[n] = 0;
    SetLength(n);
}

void Str::SetAt(int i, char v) {
    bool ok = QZ_ASSERT_TEXT(i < Length(), "i < _Length");
    ok = QZ_ASSERT(i >= 0) && ok;
    ok = QZ_ASSERT(v) && ok;
    if (ok) Buffer()[i] = v;
}

void Str::Truncate(int pos) {
    if (!QZ_ASSERT(pos >= 0)) return;
    if (pos < Length()) {
        Buffer()[pos] = 0;
        SetLength(pos);
    }
}

void Str::Delete(int i, int n) {
    bool ok = QZ_ASSERT(i >= 0);
    ok = QZ_ASSERT(n >= 0) && ok;
    const int length = Length();
    if (!ok || i >= length) return;
    if (n > length - i) n = length - i;
    if (n == 0) return;
    char* p = Buffer();
    std::memmove(p + i, p + i + n, static_cast<size_t>(length - i - n) + 1);
    SetLength(length - n);
}

void Str::StripLeading(char c) {
    QZ_ASSERT_TEXT(Data(), "_Pointer");
    if (c == 0) return;
    const char* p = Data();
    const int length = Length();
    int k = 0;
    while (k < length && p[k] == c) ++k;
    if (k) Delete(0, k);
}

void Str::StripTrailing(char c) {
    if (c == 0) return;
    const char* p = Data();
    int k = Length();
    while (k > 0 && p[k - 1] == c) --k;
    Truncate(k);
}

void Str::Strip(char c) {
    StripLeading(c);
    StripTrailing(c);
}

void Str::StripLeadingAny(const char* set) {
    QZ_ASSERT_TEXT(Data(), "_Pointer");
    const char* p = Data();
    const int length = Length();
    int k = 0;
    while (k < length && string_IsInSet(p[k], set)) ++k;
    if (k) Delete(0, k);
}

void Str::StripTrailingAny(const char* set) {
    const char* p = Data();
    int k = Length();
    while (k > 0 && string_IsInSet(p[k - 1], set)) --k;
    Truncate(k);
}

void Str::Replace(const char* Old, const char* New) {
    if (!QZ_ASSERT(Old)) return;
    int LengthOld = static_cast<int>(std::strlen(Old));
    if (!QZ_ASSERT(LengthOld > 0)) return;
    int at = FindSubString(Old, 0);
    if (PastTheEnd(at)) return;
    // Old and New may point into this string: keep them with the copy of the text.
    Str oldText(Old);
    Str newText(New);
    Str copy(*this);
    Buffer()[0] = 0;
    SetLength(0);
    AppendBytes(copy.Data(), at);
    while (!copy.PastTheEnd(at)) {
        AppendBytes(newText.Data(), newText.Length());
        int from = at + LengthOld;
        at = copy.FindSubString(oldText.Data(), from);
        AppendBytes(copy.Data() + from, at - from);
    }
}

void Str::ReplaceChar(char Old, char New) {
    QZ_ASSERT_TEXT(Data(), "_Pointer");
    if (!QZ_ASSERT(Old && New)) return;
    char* p = Buffer();
    const int length = Length();
    for (int i = 0; i < length; ++i)
        if (p[i] == Old) p[i] = New;
}

void Str::MakeLower() {
    QZ_ASSERT_TEXT(Data(), "_Pointer");
    char* p = Buffer();
    const int length = Length();
    for (int i = 0; i < length; ++i) p[i] = LowerAscii(p[i]);
}

void Str::MakeUpper() {
    QZ_ASSERT_TEXT(Data(), "_Pointer");
    char* p = Buffer();
    const int length = Length();
    for (int i = 0; i < length; ++i) p[i] = UpperAscii(p[i]);
}

void Str::Reverse() {
    char* p = Buffer();
    std::reverse(p, p + Length());
}

void Str::Compact() {
    if (Length() == 0 && (OwnsBlock() || IsInline())) {
        if (OwnsBlock()) std::free(_Pointer);
        _Pointer = emptyBuffer;
        _Length = 0;
        _BlockSize = 0;
    }
}

// ---- searching -------------------------------------------------------------------------

int Str::FindChar(char c, int start) const {
    const int length = Length();
    if (!QZ_ASSERT(start >= 0)) return length;
    if (start >= length) return length;
    const char* p = Data();
    const void* hit = std::memchr(p + start, c, static_cast<size_t>(length - start));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - p) : length;
}

int Str::FindSubString(const char* s, int start) const {
    const int length = Length();
    if (!QZ_ASSERT(start >= 0)) return length;
    if (!s || !*s) return length;
    const char* p = Data();
    size_t n = std::strlen(s);
    for (int at = FindChar(s[0], start); at < length; at = FindChar(s[0], at + 1)) {
        if (static_cast<size_t>(length - at) < n) break;
        if (std::memcmp(p + at, s, n) == 0) return at;
    }
    return length;
}

int Str::FindLastChar(char c) const {
    const char* p = Data();
    const int length = Length();
    for (int i = length - 1; i >= 0; --i)
        if (p[i] == c) return i;
    return length;
}

int Str::FindFirstOf(const char* set, int start) const {
    const int length = Length();
    if (!QZ_ASSERT(start >= 0)) return length;
    if (!set || !*set) return length;
    const char* p = Data();
    for (int i = start; i < length; ++i)
        if (string_IsInSet(p[i], set)) return i;
    return length;
}

bool string_IsInSet(char c, const char* set) { return c != 0 && set && std::strchr(set, c) != nullptr; }

// ---- comparing -------------------------------------------------------------------------

int Str::Compare(const Str& other) const { return std::strcmp(Data(), other.Data()); }

int string_CompareInsensitive(const char* a, const char* b) {
    for (;; ++a, ++b) {
        int ca = static_cast<unsigned char>(LowerAscii(*a));
        int cb = static_cast<unsigned char>(LowerAscii(*b));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

int Str::CompareInsensitive(const Str& other) const { return string_CompareInsensitive(Data(), other.Data()); }

bool Str::EqualInsensitive(const Str& other) const {
    const int length = Length();
    if (length != other.Length()) return false;
    const char* p = Data();
    const char* q = other.Data();
    for (int i = 0; i < length; ++i)
        if (LowerAscii(p[i]) != LowerAscii(q[i])) return false;
    return true;
}

bool operator==(const Str& a, const char* b) { return std::strcmp(a.Data(), b ? b : "") == 0; }
bool operator!=(const Str& a, const char* b) { return !(a == b); }
bool operator==(const Str& a, const Str& b) { return a.Compare(b) == 0; }
bool operator!=(const Str& a, const Str& b) { return a.Compare(b) != 0; }

// ---- new strings -----------------------------------------------------------------------

Str Str::Mid(int pos, int count) const {
    const int length = Length();
    if (!QZ_ASSERT(pos >= 0)) return Str();
    if (pos >= length || count <= 0) return Str();
    if (count > length - pos) count = length - pos;
    Str out;
    out.AppendBytes(Data() + pos, count);
    return out;
}

Str Str::Left(int n) const {
    if (!QZ_ASSERT_TEXT(n >= 0, "n > 0")) return Str();
    if (n == 0) return Str();
    if (n >= Length()) return *this;
    return Mid(0, n);
}

Str Str::MidToEnd(int i) const {
    if (!QZ_ASSERT(i >= 0)) return Str();
    if (i >= Length()) return Str();
    return Mid(i, Length() - i);
}

Str Str::CutLeft(int n) {
    Str left = Left(n);
    if (n > 0) Delete(0, n);
    return left;
}

Str operator+(const Str& a, const Str& b) { return Str(a.Data(), b.Data()); }
Str operator+(const Str& a, const char* b) { return Str(a.Data(), b); }
Str operator+(const char* a, const Str& b) { return Str(a, b.Data()); }

Str string_FormatInt(int value, const Str& format) {
    char text[64];
    std::snprintf(text, sizeof text, format.Data(), value);
    return Str(text);
}

Str string_FromInt(int value) { return string_FormatInt(value, "%d"); }

Str string_FromUnsigned(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%u", value);
    return Str(text);
}

// ---- StrArray --------------------------------------------------------------------------

StrArray::StrArray() : _Array(nullptr), _Allocated(0), _Count(0) {}

StrArray::StrArray(const StrArray& other) : StrArray() { CopyFrom(other); }

StrArray& StrArray::operator=(const StrArray& other) {
    if (this == &other) return *this;
    Clear();
    if (other._Count > 0) CopyFrom(other);
    return *this;
}

StrArray::~StrArray() { Clear(); }

void StrArray::Clear() {
    for (int i = 0; i < _Count; ++i) delete _Array[i];
    delete[] _Array;
    _Array = nullptr;
    _Allocated = 0;
    _Count = 0;
}

void StrArray::Reserve(int n) {
    if (n <= _Allocated) return;
    Str** New = n <= INT_MAX - 16 ? new (std::nothrow) Str*[static_cast<size_t>(n) + 16]() : nullptr;
    if (!QZ_ASSERT(New)) return;
    if (_Count) std::memcpy(New, _Array, sizeof(Str*) * static_cast<size_t>(_Count));
    delete[] _Array;
    _Array = New;
    _Allocated = n + 16;
}

void StrArray::CopyFrom(const StrArray& other) {
    QZ_ASSERT(!_Array);
    QZ_ASSERT(!_Count);
    QZ_ASSERT(!_Allocated);
    if (other._Count == 0) return;
    Reserve(other._Count);
    if (!QZ_ASSERT(_Array)) return;
    for (int i = 0; i < other._Count; ++i) _Array[_Count++] = new Str(*other._Array[i]);
}

void StrArray::Add(const Str& s) {
    Reserve(_Count + 1);
    if (!QZ_ASSERT(_Array) || _Count >= _Allocated) return;
    _Array[_Count] = new Str(s);
    ++_Count;
}

void StrArray::Add(const char* s) { Add(Str(s)); }

void StrArray::Append(const StrArray& other) {
    int n = other._Count;
    if (n == 0) return;
    Reserve(_Count + n);
    if (!QZ_ASSERT(_Array) || _Count + n > _Allocated) return;
    for (int i = 0; i < n; ++i) _Array[_Count + i] = new Str(*other._Array[i]);
    _Count += n;
}

void StrArray::InsertAt(int Index, const Str& s) {
    bool ok = QZ_ASSERT(Index <= _Count);
    ok = QZ_ASSERT(Index >= 0) && ok;
    if (!ok) return;
    Reserve(_Count + 1);
    if (!QZ_ASSERT(_Array) || _Count >= _Allocated) return;
    Str* copy = new Str(s);
    std::memmove(_Array + Index + 1, _Array + Index, sizeof(Str*) * static_cast<size_t>(_Count - Index));
    _Array[Index] = copy;
    ++_Count;
}

void StrArray::Remove(int Index) {
    bool ok = QZ_ASSERT(Index < _Count);
    ok = QZ_ASSERT(Index >= 0) && ok;
    if (!ok || !QZ_ASSERT(_Array)) return;
    delete _Array[Index];
    std::memmove(_Array + Index, _Array + Index + 1, sizeof(Str*) * static_cast<size_t>(_Count - Index - 1));
    --_Count;
    _Array[_Count] = nullptr;
}

namespace {
// Handed out for an index out of range, so a caller never touches another slot.
Str& Scratch() {
    static thread_local Str scratch;
    scratch = "";
    return scratch;
}
}  // namespace

Str& StrArray::operator[](int Index) {
    bool ok = QZ_ASSERT(Index < _Count);
    ok = QZ_ASSERT(Index >= 0) && ok;
    return ok ? *_Array[Index] : Scratch();
}

const Str& StrArray::operator[](int Index) const { return const_cast<StrArray&>(*this)[Index]; }

Str StrArray::GetAt(int Index) const { return (*this)[Index]; }

int StrArray::Find(const Str& s) const {
    for (int i = 0; i < _Count; ++i)
        if (*_Array[i] == s) return i;
    return -1;
}

bool StrArray::operator==(const StrArray& other) const {
    if (this == &other) return true;
    if (_Count != other._Count) return false;
    for (int i = 0; i < _Count; ++i)
        if (*_Array[i] != *other._Array[i]) return false;
    return true;
}

void StrArray::Sort() {
    if (!_Array || _Count == 0) return;
    std::sort(_Array, _Array + _Count, [](const Str* a, const Str* b) { return a->Compare(*b) < 0; });
}

StrArray StrArray::operator+(const Str& s) const {
    StrArray out(*this);
    out.Add(s);
    return out;
}

StrArray StrArray::operator+(const StrArray& other) const {
    StrArray out(*this);
    out.Append(other);
    return out;
}

// ---- free functions --------------------------------------------------------------------

StrArray* string_Split(const Str& text, char separator, bool quotes) {
    StrArray* fields = new StrArray;
    Str field;
    char open = 0;  // the quote character of the open quoted part
    for (const char* p = text.Data(); *p && *p != '\r' && *p != '\n'; ++p) {
        char c = *p;
        if (quotes && (c == '"' || c == '\'')) {
            if (open == 0) {
                open = c;
                continue;
            }
            if (open == c) {
                open = 0;
                continue;
            }
        } else if (c == separator && open == 0) {
            fields->Add(field);
            field = "";
            continue;
        }
        field += c;
    }
    if (!field.IsEmpty()) fields->Add(field);
    return fields;
}

StrArray* string_SplitFields(const Str& text) {
    StrArray* fields = new StrArray;
    Str field;
    char open = 0;
    for (const char* p = text.Data(); *p && *p != '\r' && *p != '\n'; ++p) {
        char c = *p;
        if (c == ' ' || c == '\t') {
            if (field.Length() > 0) field += ' ';
        } else if ((c == '"' || c == '\'') && open == 0 && field.Length() == 0) {
            open = c;
        } else if (open != 0 && c == open) {
            open = 0;
        } else if (c == ',' && open == 0) {
            field.Strip(' ');
            fields->Add(field);
            field = "";
        } else {
            field += c;
        }
    }
    field.Strip(' ');
    if (!field.IsEmpty()) fields->Add(field);
    return fields;
}

int string_CompareDigitRuns(const char* shortRun, int ls, const char* longRun, int ll) {
    if (ll - ls > 100) return string_CompareInsensitive(shortRun, longRun);
    int lead = ll - ls;
    for (int i = 0; i < lead; ++i)
        if (longRun[i] != '0') return -1;
    for (int i = 0; i < ls; ++i)
        if (shortRun[i] != longRun[lead + i]) return shortRun[i] - longRun[lead + i];
    // Same value: the run with fewer leading zeros sorts after the other.
    return 1;
}

int string_CompareNatural(const Str& a, const Str& b) {
    const char* p = a.Data();
    const char* q = b.Data();
    while (*p && *q) {
        if (IsDigit(*p) && IsDigit(*q)) {
            int la = 0, lb = 0;
            while (IsDigit(p[la])) ++la;
            while (IsDigit(q[lb])) ++lb;
            if (la < lb) return string_CompareDigitRuns(p, la, q, lb);
            if (la > lb) return -string_CompareDigitRuns(q, lb, p, la);
            for (int i = 0; i < la; ++i)
                if (p[i] != q[i]) return p[i] - q[i];
            p += la;
            q += lb;
            continue;
        }
        signed char cp = static_cast<signed char>(UpperAscii(*p));
        signed char cq = static_cast<signed char>(UpperAscii(*q));
        if (cp != cq) return cp - cq;
        ++p;
        ++q;
    }
    if (*q) return -1;
    if (*p) return 1;
    return 0;
}

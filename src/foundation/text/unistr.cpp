#include "foundation/text/unistr.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "foundation/environment.h"
#include "foundation/text/utf8.h"

namespace {

constexpr const char* kModule = "Library/unistr";

// Room the constructors leave beyond the text.
constexpr int kSpare = 30;

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }
char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// The character 0 is never in a set.
bool IsInSet(char16_t c, const char16_t* set) {
    if (c == 0 || !set) return false;
    for (; *set; ++set)
        if (*set == c) return true;
    return false;
}

int CheckedSum(int a, int b) {
    if (b > INT_MAX - 1 - a) throw std::bad_alloc();
    return a + b;
}

// Code units the UTF-8 text decodes to; decoding below walks it by the same rule. Only
// a four-byte sequence is above U+FFFF and takes two.
int CountUnits(const char* text, int length) {
    int units = 0;
    for (int i = 0; i < length;) {
        const int n = UniString::SequenceLength(text + i, length - i);
        units += n == 4 ? 2 : 1;
        i += n;
    }
    return units;
}

}  // namespace

int unistr_Length(const char16_t* text) {
    if (!text) return 0;
    size_t n = 0;
    while (text[n]) ++n;
    if (n > INT_MAX - 1) throw std::bad_alloc();
    return static_cast<int>(n);
}

int unistr_CharacterCount(const Str& utf8) { return CountUnits(utf8.Data(), utf8.Length()); }

// ---- storage ---------------------------------------------------------------------------

void UniString::Allocate(int n) {
    _Pointer = new char16_t[static_cast<size_t>(CheckedSum(n, 1))];
    _BlockSize = n + 1;
}

void UniString::Reserve(int n) {
    if (_BlockSize > n) return;
    QZ_ASSERT(_BlockSize > 0);
    int64_t capacity = _BlockSize > 0 ? _BlockSize : 1;
    while (capacity <= n) capacity *= 4;
    if (capacity > INT_MAX - 1) throw std::bad_alloc();
    char16_t* old = _Pointer;
    Allocate(static_cast<int>(capacity));
    std::memcpy(_Pointer, old, sizeof(char16_t) * static_cast<size_t>(_Length));
    _Pointer[_Length] = 0;
    delete[] old;
}

void UniString::Assign(const char16_t* text, int n) {
    if (text >= _Pointer && text < _Pointer + _BlockSize) {
        // Part of this string: Reserve could free it, so keep a copy first.
        UniString copy(*this);
        Assign(copy._Pointer + (text - _Pointer), n);
        return;
    }
    Reserve(n);
    std::memcpy(_Pointer, text, sizeof(char16_t) * static_cast<size_t>(n));
    _Length = n;
    _Pointer[n] = 0;
}

void UniString::AppendUnits(const char16_t* text, int n) {
    if (n <= 0) return;
    if (text >= _Pointer && text < _Pointer + _BlockSize) {
        UniString copy(*this);
        AppendUnits(copy._Pointer + (text - _Pointer), n);
        return;
    }
    const int length = CheckedSum(_Length, n);
    Reserve(length);
    std::memcpy(_Pointer + _Length, text, sizeof(char16_t) * static_cast<size_t>(n));
    _Length = length;
    _Pointer[length] = 0;
}

void UniString::Compact() {
    char16_t* old = _Pointer;
    Allocate(_Length);
    std::memcpy(_Pointer, old, sizeof(char16_t) * static_cast<size_t>(_Length + 1));
    delete[] old;
}

// ---- construction ----------------------------------------------------------------------

UniString::UniString() : _Pointer(nullptr), _Length(0), _BlockSize(0) {
    Allocate(kSpare);
    _Pointer[0] = 0;
}

UniString::UniString(const char16_t* text) : _Pointer(nullptr), _Length(0), _BlockSize(0) {
    const int n = unistr_Length(text);
    Allocate(CheckedSum(n, kSpare));
    if (n) std::memcpy(_Pointer, text, sizeof(char16_t) * static_cast<size_t>(n));
    _Pointer[n] = 0;
    _Length = n;
}

UniString::UniString(char16_t c) : UniString() {
    if (c == 0) return;
    _Pointer[0] = c;
    _Pointer[1] = 0;
    _Length = 1;
}

UniString::UniString(const Str& utf8) : _Pointer(nullptr), _Length(0), _BlockSize(0) {
    SetFromUTF8(utf8.Data());
}

UniString::UniString(const char* utf8) : _Pointer(nullptr), _Length(0), _BlockSize(0) {
    SetFromUTF8(utf8);
}

UniString::UniString(const char16_t* first, const char16_t* second)
    : _Pointer(nullptr), _Length(0), _BlockSize(0) {
    const int a = unistr_Length(first);
    const int b = unistr_Length(second);
    const int n = CheckedSum(a, b);
    Allocate(CheckedSum(n, kSpare));
    if (a) std::memcpy(_Pointer, first, sizeof(char16_t) * static_cast<size_t>(a));
    if (b) std::memcpy(_Pointer + a, second, sizeof(char16_t) * static_cast<size_t>(b));
    _Pointer[n] = 0;
    _Length = n;
}

UniString::UniString(const UniString& other) : _Pointer(nullptr), _Length(0), _BlockSize(0) {
    Allocate(other._Length);
    std::memcpy(_Pointer, other._Pointer, sizeof(char16_t) * static_cast<size_t>(other._Length + 1));
    _Length = other._Length;
}

UniString::~UniString() { delete[] _Pointer; }

UniString& UniString::operator=(const UniString& other) {
    if (this != &other) Assign(other._Pointer, other._Length);
    return *this;
}

UniString& UniString::operator=(const char16_t* text) {
    if (!text || !*text) {
        _Length = 0;
        _Pointer[0] = 0;
        return *this;
    }
    Assign(text, unistr_Length(text));
    return *this;
}

UniString& UniString::operator=(char16_t c) {
    if (c == 0) {
        _Length = 0;
        _Pointer[0] = 0;
        return *this;
    }
    Assign(&c, 1);
    return *this;
}

UniString& UniString::operator+=(const UniString& text) {
    AppendUnits(text._Pointer, text._Length);
    return *this;
}

UniString& UniString::operator+=(const char16_t* text) {
    AppendUnits(text, unistr_Length(text));
    return *this;
}

UniString& UniString::operator+=(char16_t c) {
    if (c != 0) AppendUnits(&c, 1);
    return *this;
}

// ---- UTF-8 -----------------------------------------------------------------------------

void UniString::SetFromUTF8(const char* text) {
    const size_t size = text ? std::strlen(text) : 0;
    if (size > INT_MAX - 1) throw std::bad_alloc();
    const int length = static_cast<int>(size);
    char16_t* old = _Pointer;
    Allocate(CheckedSum(CountUnits(text, length), 1));
    int n = 0;
    for (int i = 0; i < length;) {
        char32_t c;
        i += utf8_Decode(text + i, length - i, &c);
        n += utf16_Encode(c, _Pointer + n);
    }
    _Pointer[n] = 0;
    _Length = n;
    delete[] old;
}

void UniString::ToUTF8(Str& out) const { EncodeUTF8(out); }

Str UniString::ToUTF8() const {
    Str out;
    EncodeUTF8(out);
    return out;
}

void UniString::EncodeUTF8(Str& out) const {
    // Measure, encode once, hand over: one allocation for the text, not one per character.
    auto next = [this](int& i) -> char32_t {
        char32_t u = _Pointer[i];
        if (utf16_IsHighSurrogate(u) && i + 1 < _Length && utf16_IsLowSurrogate(_Pointer[i + 1]))
            u = utf16_Combine(u, _Pointer[++i]);
        return u;
    };
    int64_t bytes = 0;
    for (int i = 0; i < _Length; ++i) bytes += utf8_EncodedLength(next(i));
    if (bytes == 0) {
        out = Str();
        return;
    }
    if (bytes > INT_MAX - 1) throw std::bad_alloc();
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(bytes) + 1]);
    char* p = buffer.get();
    for (int i = 0; i < _Length; ++i) p += utf8_Encode(next(i), p);
    *p = 0;
    out = Str(buffer.get(), static_cast<int>(bytes));
}

// ---- element access --------------------------------------------------------------------

char16_t UniString::operator[](int i) const {
    bool ok = QZ_ASSERT(i < _Length);
    ok = QZ_ASSERT(i >= 0) && ok;
    return ok ? _Pointer[i] : 0;
}

void UniString::SetAt(int i, char16_t v) {
    bool ok = QZ_ASSERT(i < _Length);
    ok = QZ_ASSERT(i >= 0) && ok;
    ok = QZ_ASSERT(v) && ok;
    if (ok) _Pointer[i] = v;
}

void UniString::Fill(char c, int n) {
    if (!QZ_ASSERT(c)) return;
    if (!QZ_ASSERT(n >= 0)) return;
    const auto unit = static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(c)));
    Reserve(n);
    std::fill(_Pointer, _Pointer + n, unit);
    _Pointer[n] = 0;
    _Length = n;
}

// ---- changing in place -----------------------------------------------------------------

void UniString::Truncate(int pos) {
    if (!QZ_ASSERT(pos >= 0)) return;
    if (pos < _Length) {
        _Pointer[pos] = 0;
        _Length = pos;
    }
}

void UniString::Delete(int i, int n) {
    bool ok = QZ_ASSERT(i >= 0);
    ok = QZ_ASSERT(n >= 0) && ok;
    if (!ok || i >= _Length) return;
    if (n > _Length - i) n = _Length - i;
    if (n == 0) return;
    std::memmove(_Pointer + i, _Pointer + i + n, sizeof(char16_t) * static_cast<size_t>(_Length - i - n + 1));
    _Length -= n;
}

void UniString::Insert(const char16_t* text, int pos) {
    if (!text || !*text || pos < 0) return;
    if (pos >= _Length) {
        *this += text;
        return;
    }
    UniString copy(text);  // the text may lie in this string's block
    const int n = copy._Length;
    const int old = _Length;
    Reserve(CheckedSum(old, n));
    std::memmove(_Pointer + pos + n, _Pointer + pos, sizeof(char16_t) * static_cast<size_t>(old - pos + 1));
    std::memcpy(_Pointer + pos, copy._Pointer, sizeof(char16_t) * static_cast<size_t>(n));
    _Length = old + n;
}

void UniString::Reverse() { std::reverse(_Pointer, _Pointer + _Length); }

// Only ASCII letters change, as in the "C" locale.
void UniString::MakeLower() {
    QZ_ASSERT(_Pointer);
    for (int i = 0; i < _Length; ++i) _Pointer[i] = LowerAscii(_Pointer[i]);
}

void UniString::MakeUpper() {
    QZ_ASSERT(_Pointer);
    for (int i = 0; i < _Length; ++i) _Pointer[i] = UpperAscii(_Pointer[i]);
}

void UniString::StripLeading(char16_t c) {
    QZ_ASSERT(_Pointer);
    if (c == 0) return;
    int k = 0;
    while (k < _Length && _Pointer[k] == c) ++k;
    if (k) Delete(0, k);
}

void UniString::StripTrailing(char16_t c) {
    if (c == 0) return;
    int k = _Length;
    while (k > 0 && _Pointer[k - 1] == c) --k;
    Truncate(k);
}

void UniString::StripLeadingAny(const char16_t* set) {
    QZ_ASSERT(_Pointer);
    int k = 0;
    while (k < _Length && IsInSet(_Pointer[k], set)) ++k;
    if (k) Delete(0, k);
}

void UniString::StripTrailingAny(const char16_t* set) {
    int k = _Length;
    while (k > 0 && IsInSet(_Pointer[k - 1], set)) --k;
    Truncate(k);
}

void UniString::Replace(const char16_t* Old, const char16_t* New) {
    if (!QZ_ASSERT(Old)) return;
    const int LengthOld = unistr_Length(Old);
    if (!QZ_ASSERT(LengthOld > 0)) return;
    int at = FindSubString(Old, 0);
    if (at >= _Length) return;
    // Old and New may point into this string: keep them with the copy of the text.
    const UniString oldText(Old);
    const UniString newText(New);
    const UniString copy(*this);
    _Length = 0;
    _Pointer[0] = 0;
    AppendUnits(copy._Pointer, at);
    while (at < copy._Length) {
        AppendUnits(newText._Pointer, newText._Length);
        const int from = at + LengthOld;
        at = copy.FindSubString(oldText._Pointer, from);
        AppendUnits(copy._Pointer + from, at - from);
    }
}

void UniString::ReplaceChar(char16_t Old, char16_t New) {
    QZ_ASSERT(_Pointer);
    if (!QZ_ASSERT(Old && New)) return;
    for (int i = 0; i < _Length; ++i)
        if (_Pointer[i] == Old) _Pointer[i] = New;
}

void UniString::PadRight(int n, char16_t c) {
    if (_Length >= n || c == 0) return;
    const int old = _Length;
    Reserve(n);
    std::fill(_Pointer + old, _Pointer + n, c);
    _Pointer[n] = 0;
    _Length = n;
}

void UniString::PadLeft(int n, char16_t c) {
    QZ_ASSERT(_Pointer);
    if (_Length >= n || c == 0) return;
    const int add = n - _Length;
    char16_t* old = _Pointer;
    Allocate(CheckedSum(n, kSpare));
    std::fill(_Pointer, _Pointer + add, c);
    std::memcpy(_Pointer + add, old, sizeof(char16_t) * static_cast<size_t>(_Length + 1));
    _Length = n;
    delete[] old;
}

// ---- searching -------------------------------------------------------------------------

int UniString::FindChar(char16_t c, int start) const {
    if (!QZ_ASSERT(start >= 0)) return _Length;
    for (int i = start; i < _Length; ++i)
        if (_Pointer[i] == c) return i;
    return _Length;
}

int UniString::FindSubString(const char16_t* s, int start) const {
    if (!QZ_ASSERT(start >= 0)) return _Length;
    if (!s || !*s) return _Length;
    const int n = unistr_Length(s);
    for (int at = FindChar(s[0], start); at < _Length; at = FindChar(s[0], at + 1)) {
        if (_Length - at < n) break;
        if (std::memcmp(_Pointer + at, s, sizeof(char16_t) * static_cast<size_t>(n)) == 0) return at;
    }
    return _Length;
}

int UniString::FindLastChar(char16_t c) const {
    for (int i = _Length - 1; i >= 0; --i)
        if (_Pointer[i] == c) return i;
    return _Length;
}

int UniString::FindFirstOf(const char16_t* set, int start) const {
    if (!QZ_ASSERT(start >= 0)) return _Length;
    if (!set || !*set) return _Length;
    for (int i = start; i < _Length; ++i)
        if (IsInSet(_Pointer[i], set)) return i;
    return _Length;
}

// ---- new strings -----------------------------------------------------------------------

UniString UniString::Mid(int pos, int count) const {
    UniString out;
    if (!QZ_ASSERT(pos >= 0)) return out;
    if (pos >= _Length || count <= 0) return out;
    if (count > _Length - pos) count = _Length - pos;
    // The result has room for 30 code units beyond what it holds.
    char16_t* empty = out._Pointer;
    out.Allocate(CheckedSum(count, kSpare));
    delete[] empty;
    std::memcpy(out._Pointer, _Pointer + pos, sizeof(char16_t) * static_cast<size_t>(count));
    out._Pointer[count] = 0;
    out._Length = count;
    return out;
}

UniString UniString::Left(int n) const {
    if (!QZ_ASSERT_TEXT(n >= 0, "n > 0")) return UniString();
    return Mid(0, n);
}

UniString UniString::MidToEnd(int i) const {
    if (!QZ_ASSERT(i >= 0)) return UniString();
    return Mid(i, _Length - i);
}

UniString UniString::CutLeft(int n) {
    UniString left = Left(n);
    if (n > 0) Delete(0, n);
    return left;
}

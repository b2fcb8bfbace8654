#include "foundation/text/codepage.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "foundation/text/unistr.h"
#include "platform/codepage.h"

namespace {

// The code page of conversions into UTF-16: always the system's.
constexpr uint32_t kProcessCodePage = PLATFORM_CodePageSystem;

constexpr uint16_t kUnmapped = '?';

}  // namespace

codepage_Table::codepage_Table() { Reset(); }

void codepage_Table::Reset() {
    for (int i = 0; i < 65536; ++i) {
        const uint16_t value = i < 256 ? static_cast<uint16_t>(i) : kUnmapped;
        _CodeToUnicode[i] = value;
        _UnicodeToCode[i] = value;
    }
    std::memset(_LeadByte, 0, sizeof _LeadByte);
}

int codepage_Table::ToWide(const char* text, int length, char16_t* out, int capacity) const {
    // The terminator takes one unit of the capacity, so the text gets one less.
    if (capacity <= 0) return 0;
    int n = 0;
    if (capacity > 1) n = platform_MultiByteToWideChar(kProcessCodePage, text, length, out, capacity - 1);
    out[n] = 0;
    return n;
}

int codepage_Table::FromWide(const char16_t* text, int length, char* out, int capacity) const {
    if (capacity <= 0) return 0;
    int written = 0;
    for (int i = 0; i < length; ++i) {
        const uint16_t code = _UnicodeToCode[text[i]];
        if (code >> 8) {
            out[written++] = static_cast<char>(code >> 8);
            if (written == capacity) break;
        }
        out[written++] = static_cast<char>(code & 0xFF);
        if (written == capacity) break;
    }
    if (written < capacity) {
        out[written] = 0;
        return written;
    }
    // Full: the terminator takes the last byte, and the count is what stands before it.
    out[capacity - 1] = 0;
    return capacity - 1;
}

void codepage_Table::AddMapping(uint16_t code, uint16_t unicode) {
    if (unicode == 0) return;
    _CodeToUnicode[code] = unicode;
    _UnicodeToCode[unicode] = code;
}

void codepage_Table::ComputeLeadBytes() {
    for (int lead = 1; lead < 256; ++lead) {
        bool used = false;
        for (int low = 0; low < 256 && !used; ++low) used = _CodeToUnicode[lead * 256 + low] != kUnmapped;
        _LeadByte[lead] = used;
    }
}

codepage_Table& codepage_Get() {
    static codepage_Table table;
    return table;
}

uint16_t codepage_ParseHex(const char* field) {
    if (!field || !field[0] || !field[1]) return 0;
    uint16_t value = 0;
    for (const char* p = field + 2; *p; ++p) {
        char c = *p;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        value = static_cast<uint16_t>(value * 16 + digit);
    }
    return value;
}

// ---- UniString's code-page conversions ----------------------------------------------------

void UniString::FromCodePage(const char* text) {
    if (!text || !*text) return;
    const size_t size = std::strlen(text);
    if (size > INT_MAX - 2) throw std::bad_alloc();
    const int length = static_cast<int>(size);
    // A byte never gives more than one code unit (a four-byte sequence gives two).
    Reserve(length);
    _Length = codepage_Get().ToWide(text, length, _Pointer, _BlockSize);
}

void UniString::FromCodePage(const Str& text) { FromCodePage(text.Data()); }

Str UniString::ToCodePage() const {
    if (_Length == 0) return Str();
    if (_Length > (INT_MAX - 2) / 2) throw std::bad_alloc();
    const int capacity = 2 * _Length + 2;  // two bytes per unit at most, and the terminator
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(capacity)]());
    const int n = codepage_Get().FromWide(_Pointer, _Length, buffer.get(), capacity);
    return Str(buffer.get(), n);
}

Str unistr_CodePageToUTF8(const Str& text) {
    UniString wide;
    wide.FromCodePage(text);
    return wide.ToUTF8();
}

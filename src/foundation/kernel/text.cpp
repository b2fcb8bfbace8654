#include "foundation/kernel/text.h"

#include <cstring>

#include "foundation/environment.h"
#include "foundation/text/str.h"

namespace {

constexpr const char* kModule = "Kernel/text";

}  // namespace

void text_Copy(char* dst, const char* src, uint16_t size) {
    if (!src) src = "";
    if (QZ_ASSERT(strlen(src) < size)) {
        std::strcpy(dst, src);
        return;
    }
    // Too small: keep what fits rather than write past the destination.
    text_CopyBounded(dst, src, size);
}

void text_CopyBounded(char* dst, const char* src, int size) {
    if (size <= 0) return;
    dst[size - 1] = 0;
    std::strncpy(dst, src ? src : "", static_cast<size_t>(size - 1));
}

void text_AppendBounded(char* buffer, const char* src, int bufferSize) {
    const int length = static_cast<int>(std::strlen(buffer));
    if (!QZ_ASSERT(bufferSize >= length + 1)) return;
    text_CopyBounded(buffer + length, src, bufferSize - length);
}

int text_Length(const char* text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

int text_Compare(const char* a, const char* b) { return std::strcmp(a, b); }

bool text_IsEqual(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

bool text_IsEqualN(const char* a, const char* b, int n) {
    return n <= 0 || std::strncmp(a, b, static_cast<size_t>(n)) == 0;
}

int text_CompareInsensitive(const char* s1, const char* s2) {
    if (!QZ_ASSERT(s1 && s2)) return 0;
    for (;; ++s1, ++s2) {
        // When one text ends, the raw characters decide.
        if (*s1 == 0 || *s2 == 0) return static_cast<signed char>(*s1) - static_cast<signed char>(*s2);
        const auto a = static_cast<signed char>(text_ToUpper(*s1));
        const auto b = static_cast<signed char>(text_ToUpper(*s2));
        if (a != b) return a - b;
    }
}

bool text_IsEqualInsensitive(const char* a, const char* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b)
        if (text_ToUpper(*a) != text_ToUpper(*b)) return false;
    return *a == *b;
}

char text_ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

char text_ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

void text_MakeUpper(char* text) {
    for (; *text; ++text) *text = text_ToUpper(*text);
}

void text_MakeLower(char* text) {
    for (; *text; ++text) *text = text_ToLower(*text);
}

void text_PadToWidth(char* buffer, int width) {
    if (!QZ_ASSERT(width > 0)) return;
    const int length = static_cast<int>(std::strlen(buffer));
    if (length < width - 1) std::memset(buffer + length, ' ', static_cast<size_t>(width - 1 - length));
    buffer[width - 1] = 0;
}

void text_StripTrailingBlanks(char* text) {
    size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == ' ') --n;
    text[n] = 0;
}

const char* text_FindLastChar(const char* text, char c) {
    if (!text || !*text || c == 0) return nullptr;
    return std::strrchr(text, c);
}

const char* text_FindSubString(const char* a, const char* b) { return std::strstr(a, b); }

char* text_Append(char* a, const char* b) { return std::strcat(a, b); }

char* text_CopyUnchecked(char* dst, const char* src) { return std::strcpy(dst, src); }

void text_AssignTruncated(Str& target, const char* text, int n) {
    target = text;
    target = target.Mid(0, n);
}

void text_AppendToStr(Str& target, const char* text) { target += text; }

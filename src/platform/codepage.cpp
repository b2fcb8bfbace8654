#include "platform/codepage.h"

#include <cstring>

#include "foundation/text/utf8.h"
#include "platform/error.h"

namespace {

// Windows-1252 bytes 0x80-0x9F; the rest match Latin-1.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Walks the text in the chosen encoding; writes when out is given. Returns the units.
int Convert(const char* text, int length, bool utf8, char16_t* out) {
    int units = 0;
    for (int i = 0; i < length;) {
        char16_t pair[2];
        int n;
        if (utf8) {
            char32_t c;
            i += utf8_Decode(text + i, length - i, &c);
            n = utf16_Encode(c, pair);
        } else {
            pair[0] = platform_Windows1252ToUnicode(static_cast<unsigned char>(text[i++]));
            n = 1;
        }
        if (out) {
            out[units] = pair[0];
            if (n == 2) out[units + 1] = pair[1];
        }
        units += n;
    }
    return units;
}

}  // namespace

char16_t platform_Windows1252ToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh1252[byte - 0x80] : char16_t(byte);
}

int platform_MultiByteToWideChar(uint32_t codePage, const char* text, int length, char16_t* out,
                                 int capacity) {
    if (codePage != PLATFORM_CodePageSystem || !text || length == 0 || length < -1 || capacity < 0 ||
        (capacity > 0 && !out)) {
        platform_Fail(PLATFORM_ErrorInvalidParameter);
        return 0;
    }
    if (length == -1) {
        const size_t n = std::strlen(text) + 1;
        if (n > 0x7FFFFFFF) {
            platform_Fail(PLATFORM_ErrorInvalidParameter);
            return 0;
        }
        length = static_cast<int>(n);
    }
    const bool utf8 = utf8_IsValid(text, length);
    const int needed = Convert(text, length, utf8, nullptr);
    if (capacity == 0) return needed;
    if (needed > capacity) {
        platform_Fail(PLATFORM_ErrorInsufficientBuffer);
        return 0;
    }
    return Convert(text, length, utf8, out);
}

#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "platform/error.h"

namespace {

std::u16string Convert(const char* text, int length) {
    char16_t out[32];
    const int n = platform_MultiByteToWideChar(PLATFORM_CodePageSystem, text, length, out, 32);
    return std::u16string(out, static_cast<size_t>(n));
}

TEST(PlatformCodePage, Utf8WhenValidElseWindows1252) {
    EXPECT_EQ(Convert("abc", 3), u"abc");
    EXPECT_EQ(Convert("\xC3\xA9", 2), u"\u00E9");
    EXPECT_EQ(Convert("\xF0\x9F\x98\x80", 4), u"\U0001F600");
    EXPECT_EQ(Convert("\xE9", 1), u"\u00E9");
    EXPECT_EQ(Convert("\x80\x81\x8A\x9F\xA0\xFF", 6), u"\u20AC\u0081\u0160\u0178\u00A0\u00FF");
    // The length bounds what is judged: the invalid byte beyond it does not count.
    EXPECT_EQ(Convert("\xC3\xA9\xE9", 2), u"\u00E9");
    // -1 takes the terminator along, as the Windows call does.
    EXPECT_EQ(Convert("ab", -1), std::u16string(u"ab\0", 3));
}

TEST(PlatformCodePage, SizesAndFailures) {
    char16_t out[4];
    EXPECT_EQ(platform_MultiByteToWideChar(PLATFORM_CodePageSystem, "\xF0\x9F\x98\x80x", 5, nullptr, 0), 3);
    EXPECT_EQ(platform_MultiByteToWideChar(PLATFORM_CodePageSystem, "abcde", 5, out, 4), 0);
    EXPECT_EQ(platform_GetLastError(), PLATFORM_ErrorInsufficientBuffer);
    EXPECT_EQ(platform_MultiByteToWideChar(PLATFORM_CodePageSystem, "abc", 0, out, 4), 0);
    EXPECT_EQ(platform_GetLastError(), PLATFORM_ErrorInvalidParameter);
    EXPECT_EQ(platform_MultiByteToWideChar(PLATFORM_CodePageSystem, nullptr, 3, out, 4), 0);
    EXPECT_EQ(platform_MultiByteToWideChar(1252, "abc", 3, out, 4), 0);
    EXPECT_EQ(platform_GetLastError(), PLATFORM_ErrorInvalidParameter);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/text/utf8.h"

namespace {

struct EncodeCase {
    char32_t c;
    const char* bytes;
};

TEST(Utf8, EncodeAndDecodeRoundTrip) {
    const EncodeCase cases[] = {
        {U'A', "A"},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0xE9, "\xC3\xA9"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x20AC, "\xE2\x82\xAC"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0xD800, "\xED\xA0\x80"},  // a lone surrogate keeps its three-byte form
        {0x10000, "\xF0\x90\x80\x80"},
        {0x1F600, "\xF0\x9F\x98\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(static_cast<unsigned>(t.c));
        char out[UTF8_MaxSequence] = {};
        const int n = utf8_Encode(t.c, out);
        EXPECT_EQ(std::string(out, n), t.bytes);
        EXPECT_EQ(utf8_EncodedLength(t.c), n);
        char32_t back = 0;
        EXPECT_EQ(utf8_Decode(t.bytes, static_cast<int>(std::strlen(t.bytes)), &back), n);
        EXPECT_EQ(back, t.c);
    }
}

TEST(Utf8, EncodeRefusesValuesAboveUnicode) {
    char out[UTF8_MaxSequence];
    EXPECT_EQ(utf8_Encode(0x110000, out), 0);
    EXPECT_EQ(utf8_EncodedLength(0x110000), 0);
}

struct DecodeCase {
    const char* name;
    const char* bytes;
    int available;  // -1: up to and including the terminator
    char32_t c;
    int length;
};

TEST(Utf8, BadOrCutSequencesDecodeTheLeadAlone) {
    const DecodeCase cases[] = {
        {"stray E9 before ASCII", "\xE9" "cd", -1, 0xE9, 1},
        {"cut two-byte at terminator", "\xC3", -1, 0xC3, 1},
        {"cut three-byte at terminator", "\xE2\x82", -1, 0xE2, 1},
        {"cut four-byte at terminator", "\xF0\x9F\x98", -1, 0xF0, 1},
        {"cut by the bound", "\xE2\x82\xAC", 2, 0xE2, 1},
        {"second byte not continuation", "\xE2" "AB", -1, 0xE2, 1},
        {"third byte not continuation", "\xE2\x82" "A", -1, 0xE2, 1},
        {"continuation byte alone", "\x82", -1, 0x82, 1},
        {"overlong NUL", "\xC0\x80", -1, 0xC0, 1},
        {"overlong three-byte", "\xE0\x80\xAF", -1, 0xE0, 1},
        {"overlong four-byte", "\xF0\x80\x80\x80", -1, 0xF0, 1},
        {"above U+10FFFF", "\xF4\x90\x80\x80", -1, 0xF4, 1},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", -1, 0xF8, 1},
        {"FF", "\xFF", -1, 0xFF, 1},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        const int available =
            t.available < 0 ? static_cast<int>(std::strlen(t.bytes)) + 1 : t.available;
        char32_t c = 0;
        EXPECT_EQ(utf8_Decode(t.bytes, available, &c), t.length);
        EXPECT_EQ(c, t.c);
        EXPECT_EQ(utf8_SequenceLength(t.bytes, available), t.length);
    }
}

TEST(Utf8, DecodeNeverReadsPastTheBound) {
    // A heap block holding exactly the cut sequence: reading one byte more would be
    // caught by the address sanitizer.
    char* block = new char[2]{'\xE2', '\x82'};
    char32_t c = 0;
    EXPECT_EQ(utf8_Decode(block, 2, &c), 1);
    EXPECT_EQ(c, 0xE2u);
    EXPECT_EQ(utf8_Decode(block + 1, 1, &c), 1);
    EXPECT_EQ(c, 0x82u);
    EXPECT_EQ(utf8_Decode(block, 0, &c), 0);
    delete[] block;
}

TEST(Utf8, IsValid) {
    EXPECT_TRUE(utf8_IsValid("", 0));
    EXPECT_TRUE(utf8_IsValid("plain", 5));
    EXPECT_TRUE(utf8_IsValid("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", 14));
    EXPECT_FALSE(utf8_IsValid("caf\xE9", 4));
    EXPECT_FALSE(utf8_IsValid("\xC3\xA9\xC3", 3));
    EXPECT_FALSE(utf8_IsValid("\xC0\x80", 2));
    // The length bounds the check: the cut tail is outside it.
    EXPECT_TRUE(utf8_IsValid("ab\xC3\xA9", 2));
}

TEST(Utf16, SurrogatePairs) {
    char16_t units[2];
    ASSERT_EQ(utf16_Encode(0x1F600, units), 2);
    EXPECT_EQ(units[0], 0xD83D);
    EXPECT_EQ(units[1], 0xDE00);
    EXPECT_TRUE(utf16_IsHighSurrogate(units[0]));
    EXPECT_TRUE(utf16_IsLowSurrogate(units[1]));
    EXPECT_FALSE(utf16_IsHighSurrogate(units[1]));
    EXPECT_EQ(utf16_Combine(units[0], units[1]), 0x1F600u);
    EXPECT_EQ(utf16_Combine(0xDBFF, 0xDFFF), 0x10FFFFu);
    ASSERT_EQ(utf16_Encode(0xE9, units), 1);
    EXPECT_EQ(units[0], 0xE9);
}

}  // namespace

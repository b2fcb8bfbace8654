#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/kernel/text.h"
#include "foundation/text/str.h"
#include "support/recording_environment.h"

namespace {

TEST(KernelText, BoundedCopies) {
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    text_CopyBounded(buf, "abc", 1);  // only the terminator
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[1], 'x');

    std::memset(buf, 'x', sizeof buf);
    text_CopyBounded(buf, "abcdefghij", 5);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(buf[5], 'x');
    text_CopyBounded(buf, "zz", 0);  // nothing
    EXPECT_STREQ(buf, "abcd");

    std::memset(buf, 'x', sizeof buf);
    text_CopyBounded(buf, "ab", 6);  // zero-fills the rest of the size - 1 bytes
    EXPECT_EQ(std::string(buf, 6), std::string("ab\0\0\0\0", 6));

    char line[8] = "ab";
    text_AppendBounded(line, "cdefghij", 8);
    EXPECT_STREQ(line, "abcdefg");

    RecordingEnvironment rec;
    char small[4];
    std::memset(small, 'x', sizeof small);
    text_Copy(small, "abcdef", 4);  // reported, and kept inside the destination
    EXPECT_STREQ(small, "abc");
    text_Copy(small, "ab", 4);
    EXPECT_STREQ(small, "ab");
    char over[4] = "abc";
    text_AppendBounded(over, "d", 3);  // the text is already longer than the buffer
    EXPECT_STREQ(over, "abc");
    EXPECT_EQ(rec.Expressions(), (std::vector<std::string>{"strlen(src) < size", "bufferSize >= length + 1"}));
    EXPECT_EQ(rec.assertions[0].module, "Kernel/text");
}

TEST(KernelText, ComparisonsAndCase) {
    EXPECT_EQ(text_Length(nullptr), 0);
    EXPECT_EQ(text_Length("abc"), 3);
    EXPECT_TRUE(text_IsEqual("abc", "abc"));
    EXPECT_FALSE(text_IsEqual("abc", "ABC"));
    EXPECT_LT(text_Compare("abc", "abd"), 0);
    EXPECT_TRUE(text_IsEqualN("QZ title", "QZ other", 3));
    EXPECT_FALSE(text_IsEqualN("QZ title", "QX other", 3));

    EXPECT_TRUE(text_IsEqualInsensitive("abc", "ABC"));
    EXPECT_FALSE(text_IsEqualInsensitive("abc", "ABCD"));
    EXPECT_FALSE(text_IsEqualInsensitive(nullptr, "abc"));
    EXPECT_FALSE(text_IsEqualInsensitive("abc", nullptr));
    EXPECT_FALSE(text_IsEqualInsensitive("\xE9", "\xC9"));  // ASCII letters only

    EXPECT_EQ(text_CompareInsensitive("abc", "ABC"), 0);
    EXPECT_EQ(text_CompareInsensitive("a", "B"), 'A' - 'B');
    EXPECT_EQ(text_CompareInsensitive("ab", "a"), 'b');  // raw character where one ends
    EXPECT_LT(text_CompareInsensitive("\xE9", "a"), 0);  // signed 8-bit
    {
        RecordingEnvironment rec;
        EXPECT_EQ(text_CompareInsensitive(nullptr, "a"), 0);
        EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"s1 && s2"});
    }

    EXPECT_EQ(text_ToUpper('a'), 'A');
    EXPECT_EQ(text_ToUpper('\xE9'), '\xE9');
    EXPECT_EQ(text_ToLower('Z'), 'z');
    char word[] = "MiXed 1\xC9";
    text_MakeUpper(word);
    EXPECT_STREQ(word, "MIXED 1\xC9");
    text_MakeLower(word);
    EXPECT_STREQ(word, "mixed 1\xC9");
}

TEST(KernelText, PaddingStrippingSearching) {
    char a[8] = "ab";
    text_PadToWidth(a, 4);
    EXPECT_STREQ(a, "ab ");
    char b[8] = "abcdef";
    text_PadToWidth(b, 4);
    EXPECT_STREQ(b, "abc");
    {
        RecordingEnvironment rec;
        text_PadToWidth(b, 0);
        EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"width > 0"});
    }

    char c[] = "ab  ";
    text_StripTrailingBlanks(c);
    EXPECT_STREQ(c, "ab");
    char empty[] = "";
    text_StripTrailingBlanks(empty);
    EXPECT_STREQ(empty, "");

    const char* path = "a\\b\\c";
    EXPECT_EQ(text_FindLastChar(path, '\\'), path + 3);
    EXPECT_EQ(text_FindLastChar(path, '/'), nullptr);
    EXPECT_EQ(text_FindLastChar("", 'a'), nullptr);
    EXPECT_EQ(text_FindLastChar(nullptr, 'a'), nullptr);
    EXPECT_EQ(text_FindSubString(path, "b\\"), path + 2);

    Str s;
    text_AssignTruncated(s, "abcdef", 3);
    EXPECT_TRUE(s == "abc");
    text_AssignTruncated(s, "xy", 3);
    EXPECT_TRUE(s == "xy");
    text_AppendToStr(s, "z");
    EXPECT_TRUE(s == "xyz");
}

}  // namespace

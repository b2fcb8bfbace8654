#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/text/unistr.h"
#include "support/recording_environment.h"

namespace {

std::u16string Units(const UniString& s) { return std::u16string(s.Data(), static_cast<size_t>(s.Length())); }

struct Utf8Case {
    const char* name;
    const char* utf8;
    std::u16string units;
    const char* back;  // ToUTF8 of the decoded units
};

TEST(UniString, Utf8ConversionTable) {
    const Utf8Case cases[] = {
        {"ascii", "abc", u"abc", "abc"},
        {"two-byte", "\xC3\xA9", u"\u00E9", "\xC3\xA9"},
        {"three-byte", "\xE2\x82\xAC", u"\u20AC", "\xE2\x82\xAC"},
        {"four-byte becomes a pair", "\xF0\x9F\x98\x80", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"stray E9 keeps five characters", "ab\xE9" "cd", u"ab\u00E9cd", "ab\xC3\xA9" "cd"},
        {"cut two-byte", "ab\xC3", u"ab\u00C3", "ab\xC3\x83"},
        {"cut three-byte", "ab\xE2\x82", u"ab\u00E2\u0082", "ab\xC3\xA2\xC2\x82"},
        {"cut four-byte", "\xF0\x9F\x98", u"\u00F0\u009F\u0098", "\xC3\xB0\xC2\x9F\xC2\x98"},
        {"bad continuation", "\xE2" "AB", u"\u00E2AB", "\xC3\xA2" "AB"},
        // Text written a code unit at a time: the halves pair up again on the way out.
        {"pair as two three-byte forms", "\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"lone high surrogate", "\xED\xA0\xBD" "x", u"\xD83Dx", "\xED\xA0\xBD" "x"},
        {"empty", "", u"", ""},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        const UniString fromStr{Str(t.utf8)};
        const UniString fromChars(t.utf8);
        EXPECT_EQ(Units(fromStr), t.units);
        EXPECT_EQ(Units(fromChars), t.units);
        // The block is sized by the rule that decodes it: units + 1, and the terminator.
        EXPECT_EQ(fromStr.BlockSize(), static_cast<int>(t.units.size()) + 2);
        EXPECT_EQ(unistr_CharacterCount(Str(t.utf8)), static_cast<int>(t.units.size()));
        EXPECT_EQ(std::string(fromStr.ToUTF8().Data()), t.back);
        Str filled("old text");
        fromStr.ToUTF8(filled);
        EXPECT_EQ(std::string(filled.Data()), t.back);
    }
    EXPECT_TRUE(UniString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_FALSE(UniString().ToUTF8().OwnsBlock());
}

TEST(UniString, SequenceLengthOfTheByteAtThePosition) {
    const struct {
        const char* text;
        int available;
        int length;
    } cases[] = {
        {"a", 1, 1},
        {"\xC3\xA9", 2, 2},
        {"\xE2\x82\xAC", 3, 3},
        {"\xF0\x9F\x98\x80", 4, 4},
        {"\x80", 1, 1},              // a continuation byte stands alone
        {"\xE9" "cd", 3, 1},          // so does a lead without its continuation bytes
        {"\xC3\xA9", 1, 1},          // or one cut by the bytes that may be read
        {"\xF8\x80\x80\x80\x80", 5, 1},  // no sequence is longer than four bytes
        {"a", 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(UniString::SequenceLength(c.text, c.available), c.length) << c.text;
}

TEST(UniString, DecodingACutSequenceStaysInsideTheText) {
    // Str blocks are exact, so a read past the terminator shows under the sanitizer.
    for (const char* text : {"\xE2", "\xE2\x82", "\xF0\x9F\x98", "\xC3"}) {
        const UniString u{Str(text)};
        EXPECT_EQ(u.Length(), static_cast<int>(std::string(text).size()));
    }
}

TEST(UniString, CapacitiesAndGrowth) {
    UniString s;
    EXPECT_EQ(s.BlockSize(), 31);
    EXPECT_EQ(UniString(u'x').BlockSize(), 31);
    EXPECT_EQ(UniString(char16_t(0)).Length(), 0);
    EXPECT_EQ(UniString(u"abcd").BlockSize(), 35);
    EXPECT_EQ(UniString(static_cast<const char16_t*>(nullptr)).BlockSize(), 31);
    EXPECT_EQ(UniString(u"ab", u"cd").BlockSize(), 35);
    EXPECT_EQ(Units(UniString(u"ab", u"cd")), u"abcd");

    for (int i = 0; i < 30; ++i) s += u'a';
    EXPECT_EQ(s.BlockSize(), 31);
    s += u'a';  // 31 units no longer fit in 31 with the terminator
    EXPECT_EQ(s.BlockSize(), 125);
    s.PadRight(124, u'b');
    EXPECT_EQ(s.BlockSize(), 125);
    s += u'b';
    EXPECT_EQ(s.BlockSize(), 501);
    EXPECT_EQ(s.Length(), 125);

    const UniString copy(s);
    EXPECT_EQ(copy.BlockSize(), 126);
    EXPECT_EQ(Units(copy), Units(s));

    // Assignment grows when needed and never shrinks.
    UniString big(s);
    big = u"x";
    EXPECT_EQ(big.BlockSize(), 126);
    EXPECT_EQ(Units(big), u"x");
    big.Compact();
    EXPECT_EQ(big.BlockSize(), 2);
    EXPECT_EQ(Units(big), u"x");
    UniString small;
    small = s;
    EXPECT_EQ(small.BlockSize(), 497);  // 31 * 4 * 4 + 1
    small = static_cast<const char16_t*>(nullptr);
    EXPECT_TRUE(small.IsEmpty());
    small = u'q';
    EXPECT_EQ(Units(small), u"q");
    small = char16_t(0);
    EXPECT_TRUE(small.IsEmpty());
}

TEST(UniString, AppendingAndAssigningItselfOrItsOwnText) {
    UniString s(u"ab\U0001F600");
    s += s;
    EXPECT_EQ(Units(s), u"ab\U0001F600ab\U0001F600");
    s = s;
    EXPECT_EQ(s.Length(), 8);
    s.Compact();
    s += s.Data() + 6;  // points into the block that must grow
    EXPECT_EQ(Units(s), u"ab\U0001F600ab\U0001F600\U0001F600");
    s = s.Data() + 2;
    EXPECT_EQ(Units(s), u"\U0001F600ab\U0001F600\U0001F600");
    s += u"";
    s += char16_t(0);
    EXPECT_EQ(s.Length(), 8);
}

TEST(UniString, EditingTwins) {
    UniString s(u"abcdef");
    s.Insert(u"XY", -1);
    EXPECT_EQ(Units(s), u"abcdef");
    s.Insert(u"", 2);
    s.Insert(u"XY", 2);
    EXPECT_EQ(Units(s), u"abXYcdef");
    s.Insert(u"!", 100);
    EXPECT_EQ(Units(s), u"abXYcdef!");
    s.Delete(2, 2);
    EXPECT_EQ(Units(s), u"abcdef!");
    s.Delete(10, 1);
    s.Delete(4, 100);
    EXPECT_EQ(Units(s), u"abcd");
    s.Truncate(10);
    s.Truncate(3);
    EXPECT_EQ(Units(s), u"abc");
    s.Reverse();
    EXPECT_EQ(Units(s), u"cba");
    s.SetAt(1, u'\u00E9');
    EXPECT_EQ(s[1], u'\u00E9');

    UniString t(u"aBc\u00C9z");
    t.MakeUpper();
    EXPECT_EQ(Units(t), u"ABC\u00C9Z");  // ASCII letters only
    t.MakeLower();
    EXPECT_EQ(Units(t), u"abc\u00C9z");

    UniString f;
    f.Fill('\xE9', 2);  // widened with its sign
    EXPECT_EQ(Units(f), std::u16string(2, char16_t(0xFFE9)));
    f.Fill('-', 3);
    EXPECT_EQ(Units(f), u"---");

    UniString r(u"aaaa");
    r.Replace(u"aa", u"a");
    EXPECT_EQ(Units(r), u"aa");
    r.Replace(u"z", u"y");
    EXPECT_EQ(Units(r), u"aa");
    UniString path(u"a\\b\\c");
    path.Replace(u"\\", u"/");
    EXPECT_EQ(Units(path), u"a/b/c");
    path.ReplaceChar(u'/', u'|');
    EXPECT_EQ(Units(path), u"a|b|c");

    UniString blanks(u"  x y  ");
    blanks.StripLeading(u' ');
    blanks.StripTrailing(u' ');
    EXPECT_EQ(Units(blanks), u"x y");
    UniString any(u"\t \tx\t ");
    any.StripLeadingAny(u" \t");
    any.StripTrailingAny(u" \t");
    EXPECT_EQ(Units(any), u"x");

    UniString pad(u"7");
    pad.PadLeft(3, u'0');
    EXPECT_EQ(Units(pad), u"007");
    EXPECT_EQ(pad.BlockSize(), 34);  // n + 30 code units of room
    pad.PadRight(5, u'.');
    EXPECT_EQ(Units(pad), u"007..");
    pad.PadLeft(2, u'0');
    EXPECT_EQ(Units(pad), u"007..");
}

TEST(UniString, SearchTwins) {
    const UniString s(u"abcabc");
    EXPECT_EQ(s.FindChar(u'b'), 1);
    EXPECT_EQ(s.FindChar(u'b', 2), 4);
    EXPECT_EQ(s.FindChar(u'z'), 6);
    EXPECT_EQ(s.FindChar(u'a', 6), 6);
    EXPECT_EQ(s.FindSubString(u"ca"), 2);
    EXPECT_EQ(s.FindSubString(u"bc", 2), 4);
    EXPECT_EQ(s.FindSubString(u""), 6);
    EXPECT_EQ(s.FindSubString(u"cab", 3), 6);
    EXPECT_EQ(s.FindLastChar(u'a'), 3);
    EXPECT_EQ(s.FindLastChar(u'z'), 6);
    EXPECT_EQ(UniString().FindLastChar(u'a'), 0);
    EXPECT_EQ(s.FindFirstOf(u"cb"), 1);
    EXPECT_EQ(s.FindFirstOf(u"c", 3), 5);
    EXPECT_EQ(s.FindFirstOf(u""), 6);
    EXPECT_TRUE(s.Contains(u'c'));
    EXPECT_FALSE(s.ContainsSubString(u"cc"));
}

TEST(UniString, NewStringTwins) {
    UniString s(u"abcdef");
    const UniString mid = s.Mid(1, 2);
    EXPECT_EQ(Units(mid), u"bc");
    EXPECT_EQ(mid.BlockSize(), 33);
    EXPECT_EQ(Units(s.Mid(4, 100)), u"ef");
    EXPECT_TRUE(s.Mid(6, 1).IsEmpty());
    EXPECT_TRUE(s.Mid(1, 0).IsEmpty());
    EXPECT_TRUE(s.Left(0).IsEmpty());
    EXPECT_EQ(Units(s.Left(10)), u"abcdef");
    EXPECT_EQ(Units(s.MidToEnd(4)), u"ef");
    EXPECT_TRUE(s.MidToEnd(6).IsEmpty());
    EXPECT_EQ(Units(s.CutLeft(3)), u"abc");
    EXPECT_EQ(Units(s), u"def");
    EXPECT_TRUE(s.CutLeft(0).IsEmpty());
    EXPECT_EQ(Units(s), u"def");
}

struct ReportCase {
    const char* name;
    void (*run)();
    std::vector<std::string> expressions;
};

TEST(UniString, ReportsAndNeutralResults) {
    const ReportCase cases[] = {
        {"index past the end", [] { EXPECT_EQ(UniString(u"ab")[2], 0); }, {"i < _Length"}},
        {"negative index", [] { EXPECT_EQ(UniString(u"ab")[-1], 0); }, {"i >= 0"}},
        {"SetAt 0", [] {
             UniString s(u"ab");
             s.SetAt(0, 0);
             EXPECT_EQ(Units(s), u"ab");
         }, {"v"}},
        {"SetAt out of range", [] {
             UniString s(u"ab");
             s.SetAt(5, u'x');
             EXPECT_EQ(Units(s), u"ab");
         }, {"i < _Length"}},
        {"Fill 0", [] {
             UniString s(u"ab");
             s.Fill(0, 3);
             EXPECT_EQ(Units(s), u"ab");
         }, {"c"}},
        {"Left negative", [] { EXPECT_TRUE(UniString(u"ab").Left(-1).IsEmpty()); }, {"n > 0"}},
        {"MidToEnd negative", [] { EXPECT_TRUE(UniString(u"ab").MidToEnd(-1).IsEmpty()); }, {"i >= 0"}},
        {"Delete negative", [] {
             UniString s(u"ab");
             s.Delete(-1, -1);
             EXPECT_EQ(Units(s), u"ab");
         }, {"i >= 0", "n >= 0"}},
        {"Replace empty", [] {
             UniString s(u"ab");
             s.Replace(u"", u"x");
             s.Replace(nullptr, u"x");
             EXPECT_EQ(Units(s), u"ab");
         }, {"LengthOld > 0", "Old"}},
        {"ReplaceChar 0", [] {
             UniString s(u"ab");
             s.ReplaceChar(u'a', 0);
         }, {"Old && New"}},
        {"Left 0 is legal", [] { EXPECT_TRUE(UniString(u"ab").Left(0).IsEmpty()); }, {}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        RecordingEnvironment rec;
        t.run();
        EXPECT_EQ(rec.Expressions(), t.expressions);
        for (const auto& a : rec.assertions) EXPECT_EQ(a.module, "Library/unistr");
    }
}

}  // namespace

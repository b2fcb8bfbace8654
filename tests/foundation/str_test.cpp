#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/text/str.h"
#include "support/recording_environment.h"

namespace {

std::vector<std::string> Fields(StrArray* array) {
    std::unique_ptr<StrArray> owned(array);
    std::vector<std::string> out;
    for (int i = 0; i < owned->Count(); ++i) out.emplace_back((*owned)[i].Data());
    return out;
}

TEST(Str, EmptyTextsShareOneBuffer) {
    Str a, b(static_cast<const char*>(nullptr)), c(""), d('\0');
    for (const Str* s : {&a, &b, &c, &d}) {
        EXPECT_EQ(s->Length(), 0);
        EXPECT_FALSE(s->OwnsBlock());
        EXPECT_EQ(s->Data(), a.Data());
        EXPECT_TRUE(s->IsEmpty());
    }
    Str both = Str() + Str();
    EXPECT_TRUE(both.OwnsBlock());
    EXPECT_EQ(both.Length(), 0);
    EXPECT_FALSE(Str(both).OwnsBlock());  // a copy of an empty source takes the shared buffer
}

// The block size is read without the owner test: it must say 0 exactly where no block
// is owned, whichever way the Str came to be.
TEST(Str, BlockBytesAreZeroExactlyWithoutAnOwnedBlock) {
    const std::string longText(100, 'x');
    Str shortened(longText.c_str());
    shortened.Truncate(3);
    Str movedFrom(longText.c_str());
    Str movedTo(static_cast<Str&&>(movedFrom));
    char* block = static_cast<char*>(std::malloc(4));
    std::memcpy(block, "abc", 4);
    Str cleared(longText.c_str());
    cleared = Str();
    const Str cases[] = {Str(),        Str(""),          Str("short"),   Str("fourteen bytes"),
                         Str("fifteen bytes!!"), Str(longText.c_str()), Str() + Str(), shortened,
                         movedFrom,    movedTo,          Str::Adopt(block, 3), cleared};
    for (const Str& s : cases) {
        EXPECT_EQ(s.BlockBytes() > 0, s.OwnsBlock()) << s.Data();
        if (s.OwnsBlock()) {
            EXPECT_GT(s.BlockBytes(), s.Length()) << s.Data();
        }
    }
}

TEST(Str, IsEmptyAlsoWhenFirstByteIsZero) {
    Str s("abc");
    s.Truncate(0);
    EXPECT_TRUE(s.IsEmpty());
    Str t("\0x", 2);  // recounted up to the first zero byte
    EXPECT_EQ(t.Length(), 0);
}

TEST(Str, ShorteningKeepsTheBlockAndGrowingReallocates) {
    Str s("abcdef, too long to fit inside");
    const char* block = s.Data();
    s.Truncate(3);
    EXPECT_EQ(s.Data(), block);
    EXPECT_EQ(s, "abc");
    s.Delete(1, 1);
    EXPECT_EQ(s.Data(), block);
    s = "";  // an empty C text keeps the block
    EXPECT_EQ(s.Data(), block);
    EXPECT_TRUE(s.OwnsBlock());
    s += "";
    s += Str();
    EXPECT_EQ(s.Data(), block);
    Str t("xyz, too long to fit inside");
    t = Str();  // an empty Str shrinks the owned block to one byte, but keeps owning one
    EXPECT_TRUE(t.OwnsBlock());
    EXPECT_EQ(t.Length(), 0);
}

TEST(Str, AssignKeepsABlockTheTextFits) {
    Str s("a longer text than fits inside");
    const char* block = s.Data();
    s.Assign("short", 5);
    EXPECT_EQ(s.Data(), block);
    EXPECT_EQ(s, "short");
    EXPECT_EQ(s.Length(), 5);
    s.Assign(nullptr, 0);  // empty, still owning the block
    EXPECT_EQ(s.Data(), block);
    EXPECT_TRUE(s.IsEmpty());
    s.Assign("a longer text than fits inside!", 31);  // one byte past the block: a new one
    EXPECT_EQ(s, "a longer text than fits inside!");
    s.Assign(s.Data() + 2, 6);  // from inside its own block
    EXPECT_EQ(s, "longer");
    s.Assign("ab\0cd", 5);  // stops at a zero, as Str(buffer, count) does
    EXPECT_EQ(s.Length(), 2);
    Str empty;
    empty.Assign("", 0);
    EXPECT_FALSE(empty.OwnsBlock());
}

// The parser's copy ends in the state Assign leaves: inside or in the block it has,
// whatever the string held before.
TEST(Str, AssignBytesEndsAsAssignDoes) {
    const char* const texts[] = {"fourteen bytes", "ab", "", "a text long enough for a block",
                                 "short", "", "a longer text than any before it, for a new block", "x"};
    Str bytes("start");
    Str assigned("start");
    for (const char* text : texts) {
        const int n = static_cast<int>(std::strlen(text));
        bytes.AssignBytes(text, n);
        assigned.Assign(text, n);
        EXPECT_EQ(bytes, text);
        EXPECT_EQ(bytes.Length(), n);
        EXPECT_EQ(bytes.Data()[n], 0);
        EXPECT_EQ(bytes.IsInline(), assigned.IsInline()) << text;
        EXPECT_EQ(bytes.OwnsBlock(), assigned.OwnsBlock()) << text;
    }
    Str block("a text long enough for a block");
    const char* kept = block.Data();
    block.AssignBytes("shorter", 7);
    EXPECT_EQ(block.Data(), kept);
    block.AssignBytes(nullptr, 0);
    EXPECT_EQ(block.Data(), kept);
    EXPECT_TRUE(block.IsEmpty());
}

// An inline text is put together a word at a time: every length, from other bytes or
// from the string's own, must give exactly the bytes a constructor gives, zeros after
// the terminator included.
TEST(Str, AssignBytesInsideAtEveryLength) {
    const char source[] = "abcdefghijklmnop";
    for (int n = 1; n <= Str::InlineCapacity; ++n) {
        for (int from = 0; from + n <= Str::InlineCapacity; from += 3) {
            const Str expected(source + from, n);
            Str fresh;
            fresh.AssignBytes(source + from, n);
            Str own("zyxwvutsrqponm");
            own.AssignBytes(own.Data() + from, n);
            const Str ownExpected(Str("zyxwvutsrqponm").Data() + from, n);
            ASSERT_TRUE(fresh.IsInline()) << n;
            EXPECT_EQ(std::memcmp(&fresh, &expected, sizeof(Str)), 0) << n << " from " << from;
            EXPECT_EQ(std::memcmp(&own, &ownExpected, sizeof(Str)), 0) << n << " from own " << from;
        }
    }
}

// Texts of up to 14 bytes live inside the Str: no block, and every operation treats
// them as it treats a block, also across the border between the two.
TEST(Str, ShortTextsLiveInside) {
    Str s("fourteen bytes");
    EXPECT_EQ(s.Length(), Str::InlineCapacity);
    EXPECT_TRUE(s.IsInline());
    EXPECT_FALSE(s.OwnsBlock());
    Str copy(s);
    EXPECT_TRUE(copy.IsInline());
    EXPECT_EQ(copy, "fourteen bytes");
    EXPECT_NE(copy.Data(), s.Data());
    s += "!";  // one past: a block of exactly the new length
    EXPECT_TRUE(s.OwnsBlock());
    EXPECT_EQ(s, "fourteen bytes!");
    EXPECT_EQ(s.Length(), 15);

    Str t("abc");
    t.Insert("XY", 1);
    EXPECT_EQ(t, "aXYbc");
    t.PadLeft(7, '0');
    EXPECT_EQ(t, "00aXYbc");
    t.MakeUpper();
    t.Delete(0, 2);
    EXPECT_EQ(t, "AXYBC");
    t.Replace("XY", "--");
    EXPECT_EQ(t, "A--BC");
    t += t;  // itself, inside
    EXPECT_EQ(t, "A--BCA--BC");
    t += t.Data() + 5;  // a text in its own bytes, crossing into a block
    EXPECT_EQ(t, "A--BCA--BCA--BC");
    EXPECT_TRUE(t.OwnsBlock());

    Str u("inside");
    u.Assign(u.Data() + 2, 3);  // from its own bytes
    EXPECT_EQ(u, "sid");
    u = u.Data() + 1;
    EXPECT_EQ(u, "id");
    u = "a text long enough for a block";
    EXPECT_TRUE(u.OwnsBlock());
    u.Truncate(2);
    EXPECT_TRUE(u.OwnsBlock());  // a block, once there, is kept

    Str moved(static_cast<Str&&>(copy));
    EXPECT_EQ(moved, "fourteen bytes");
    EXPECT_EQ(copy.Length(), 0);
    Str target("x");
    target = static_cast<Str&&>(moved);
    EXPECT_EQ(target, "fourteen bytes");
    EXPECT_EQ(moved.Length(), 0);
    target.Truncate(0);
    target.Compact();
    EXPECT_FALSE(target.IsInline());
    EXPECT_EQ(target.Data(), Str().Data());  // back on the shared empty text
    EXPECT_EQ(Str("abc").Mid(1, 5), "bc");
    EXPECT_EQ(Str("x") + Str("y"), "xy");
}

TEST(Str, SelfAssignmentAndSelfAppend) {
    Str s("ab");
    Str& alias = s;
    s = alias;
    EXPECT_EQ(s, "ab");
    s += alias;
    EXPECT_EQ(s, "abab");
    EXPECT_EQ(s.Length(), 4);
}

TEST(Str, SourcesInsideTheOwnBlockAreCopiedFirst) {
    Str s("hello world");
    s = s.Data() + 6;
    EXPECT_EQ(s, "world");
    s += s.Data() + 3;
    EXPECT_EQ(s, "worldld");
    s.Insert(s.Data(), 2);
    EXPECT_EQ(s, "woworldldrldld");
    Str r("aXbXc");
    r.Replace(r.Data() + 1, r.Data() + 4);  // Old "XbXc", New "c"
    EXPECT_EQ(r, "ac");

    // A shortened string keeps its whole block, so its old tail is still its own.
    Str t("abcdefghij");
    const char* tail = t.Data() + 3;  // "defghij"
    t.Truncate(2);
    t = tail;
    EXPECT_EQ(t, "defghij");
    Str u("abcdefghij");
    tail = u.Data() + 3;
    u.Truncate(2);
    u += tail;
    EXPECT_EQ(u, "abdefghij");
}

TEST(Str, Replace) {
    struct Case { const char* text; const char* oldText; const char* newText; const char* expected; };
    const Case cases[] = {
        {"aaaa", "aa", "a", "aa"},  // no overlap, no rescan
        {"abcabc", "b", "", "acac"},
        {"abc", "x", "y", "abc"},
        {"a.b.c", ".", "--", "a--b--c"},
        {"xx", "xx", "yyy", "yyy"},
    };
    for (const auto& c : cases) {
        Str s(c.text);
        s.Replace(c.oldText, c.newText);
        EXPECT_EQ(s, c.expected) << c.text;
    }
    Str untouched("abc");
    const char* block = untouched.Data();
    untouched.Replace("zz", "y");
    EXPECT_EQ(untouched.Data(), block);
}

TEST(Str, Searches) {
    Str s("abcabc");
    EXPECT_EQ(s.FindChar('c', 0), 2);
    EXPECT_EQ(s.FindChar('c', 3), 5);
    EXPECT_EQ(s.FindChar('z', 0), 6);
    EXPECT_EQ(s.FindChar('a', 6), 6);
    EXPECT_EQ(s.FindSubString("bc", 2), 4);
    EXPECT_EQ(s.FindSubString("", 0), 6);
    EXPECT_EQ(s.FindSubString("cab", 0), 2);
    EXPECT_EQ(s.FindSubString("bcd", 0), 6);
    EXPECT_EQ(s.FindLastChar('a'), 3);
    EXPECT_EQ(s.FindLastChar('z'), 6);
    EXPECT_EQ(s.FindFirstOf("xc", 0), 2);
    EXPECT_EQ(s.FindFirstOf("", 0), 6);
    EXPECT_EQ(s.FindFirstOf(nullptr, 0), 6);
    EXPECT_TRUE(s.PastTheEnd(s.FindChar('q')));
    Str empty;
    EXPECT_EQ(empty.FindChar('a'), 0);
    EXPECT_EQ(empty.FindLastChar('a'), 0);
    EXPECT_TRUE(s.Contains('b'));
    EXPECT_TRUE(s.ContainsSubString("ca"));
}

TEST(Str, Comparisons) {
    EXPECT_TRUE(Str("ABC").EqualInsensitive("abc"));
    EXPECT_FALSE(Str("abc").EqualInsensitive("abcd"));
    EXPECT_FALSE(Str("\xC9").EqualInsensitive("\xE9"));  // bytes above 127 never fold
    EXPECT_LT(Str("a").Compare("b"), 0);
    EXPECT_EQ(Str("Abc").CompareInsensitive("aBC"), 0);
    EXPECT_LT(Str("a_").CompareInsensitive("AB"), 0);  // letters fold to lower case before comparing
    EXPECT_TRUE(Str("x") == "x");
    EXPECT_TRUE(Str("x") != "X");
}

TEST(Str, NewStrings) {
    Str s("abcdef");
    EXPECT_EQ(s.Left(0), "");
    EXPECT_EQ(s.Left(3), "abc");
    EXPECT_EQ(s.Left(10), "abcdef");
    EXPECT_EQ(s.Mid(2, 2), "cd");
    EXPECT_EQ(s.Mid(4, 100), "ef");
    EXPECT_EQ(s.Mid(6, 1), "");
    EXPECT_EQ(s.Mid(1, 0), "");
    EXPECT_EQ(s.MidToEnd(4), "ef");
    EXPECT_EQ(s.MidToEnd(9), "");
    EXPECT_EQ(s.CutLeft(0), "");
    EXPECT_EQ(s, "abcdef");
    EXPECT_EQ(s.CutLeft(3), "abc");
    EXPECT_EQ(s, "def");
    Str d("abcdef");
    d.Delete(2, 100);
    EXPECT_EQ(d, "ab");
    d.Delete(10, 1);
    EXPECT_EQ(d, "ab");
    EXPECT_EQ(Str("ab") + "cd", "abcd");
    EXPECT_EQ("ab" + Str("cd"), "abcd");
    EXPECT_EQ(string_FromInt(-42), "-42");
    EXPECT_EQ(string_FromUnsigned(4294967295u), "4294967295");
    EXPECT_EQ(string_FormatInt(7, "%03d"), "007");
}

TEST(Str, InPlaceChanges) {
    Str s("  ab  ");
    s.Strip(' ');
    EXPECT_EQ(s, "ab");
    Str t("xyxabyx");
    t.StripLeadingAny("xy");
    EXPECT_EQ(t, "abyx");
    t.StripTrailingAny("xy");
    EXPECT_EQ(t, "ab");
    t.Insert("Z", -1);
    EXPECT_EQ(t, "ab");
    t.Insert("Z", 9);
    EXPECT_EQ(t, "abZ");
    t.Insert("Q", 1);
    EXPECT_EQ(t, "aQbZ");
    t.PadLeft(6, '0');
    EXPECT_EQ(t, "00aQbZ");
    t.PadRight(8, '.');
    EXPECT_EQ(t, "00aQbZ..");
    t.MakeUpper();
    EXPECT_EQ(t, "00AQBZ..");
    t.MakeLower();
    EXPECT_EQ(t, "00aqbz..");
    t.ReplaceChar('.', '-');
    EXPECT_EQ(t, "00aqbz--");
    t.Fill(' ', 3);
    EXPECT_EQ(t, "   ");
    t = "abc";
    t.Reverse();
    EXPECT_EQ(t, "cba");
    t += 'd';
    t += '\0';
    EXPECT_EQ(t, "cbad");
    Str e("x");
    e = "";
    e.Compact();
    EXPECT_FALSE(e.OwnsBlock());
}

TEST(Str, Utf16IsEncodedAsUtf8) {
    const char16_t text[] = {u'A', 0x00E9, 0x20AC, 0xD83D, 0xDE00, 0};
    Str s(text);
    EXPECT_EQ(std::string(s.Data()), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(s.Length(), 10);
    EXPECT_FALSE(Str(u"").OwnsBlock());
}

TEST(Str, IsTheErrorTypeCaughtByReference) {
    try {
        throw Str("unexpected end-of-file");
    } catch (const Str& e) {
        EXPECT_EQ(e, "unexpected end-of-file");
    }
}

// Out-of-range arguments are reported and leave everything as it was.
TEST(Str, OutOfRangeIsReportedAndTouchesNothing) {
    struct Case {
        const char* name;
        void (*run)(Str&);
        std::vector<std::string> reports;
        const char* after;
    };
    const Case cases[] = {
        {"index past end", [](Str& s) { EXPECT_EQ(s[3], 0); }, {"i < _Length"}, "abc"},
        {"negative index", [](Str& s) { EXPECT_EQ(s[-1], 0); }, {"i >= 0"}, "abc"},
        {"SetAt past end", [](Str& s) { s.SetAt(5, 'x'); }, {"i < _Length"}, "abc"},
        {"SetAt negative", [](Str& s) { s.SetAt(-2, 'x'); }, {"i >= 0"}, "abc"},
        {"SetAt zero", [](Str& s) { s.SetAt(0, '\0'); }, {"v"}, "abc"},
        {"Truncate negative", [](Str& s) { s.Truncate(-1); }, {"pos >= 0"}, "abc"},
        {"Delete negative start", [](Str& s) { s.Delete(-1, 2); }, {"i >= 0"}, "abc"},
        {"Delete negative count", [](Str& s) { s.Delete(0, -2); }, {"n >= 0"}, "abc"},
        {"Mid negative", [](Str& s) { EXPECT_EQ(s.Mid(-1, 2), ""); }, {"pos >= 0"}, "abc"},
        {"Left negative", [](Str& s) { EXPECT_EQ(s.Left(-1), ""); }, {"n > 0"}, "abc"},
        {"CutLeft negative", [](Str& s) { EXPECT_EQ(s.CutLeft(-1), ""); }, {"n > 0"}, "abc"},
        {"MidToEnd negative", [](Str& s) { EXPECT_EQ(s.MidToEnd(-1), ""); }, {"i >= 0"}, "abc"},
        {"FindChar negative", [](Str& s) { EXPECT_EQ(s.FindChar('a', -1), 3); }, {"start >= 0"}, "abc"},
        {"FindSubString negative", [](Str& s) { EXPECT_EQ(s.FindSubString("a", -5), 3); }, {"start >= 0"}, "abc"},
        {"FindFirstOf negative", [](Str& s) { EXPECT_EQ(s.FindFirstOf("a", -5), 3); }, {"start >= 0"}, "abc"},
        {"Fill zero", [](Str& s) { s.Fill('\0', 4); }, {"c"}, "abc"},
        {"Fill negative", [](Str& s) { s.Fill('x', -4); }, {"n >= 0"}, "abc"},
        {"Replace null", [](Str& s) { s.Replace(nullptr, "x"); }, {"Old"}, "abc"},
        {"Replace empty", [](Str& s) { s.Replace("", "x"); }, {"LengthOld > 0"}, "abc"},
        {"ReplaceChar zero", [](Str& s) { s.ReplaceChar('a', '\0'); }, {"Old && New"}, "abc"},
        {"Left zero", [](Str& s) { EXPECT_EQ(s.Left(0), ""); }, {}, "abc"},
        {"CutLeft zero", [](Str& s) { EXPECT_EQ(s.CutLeft(0), ""); }, {}, "abc"},
    };
    for (const auto& c : cases) {
        RecordingEnvironment rec;
        Str s("abc");
        c.run(s);
        EXPECT_EQ(rec.Expressions(), c.reports) << c.name;
        for (const auto& a : rec.assertions) EXPECT_EQ(a.module, "str") << c.name;
        EXPECT_EQ(s, c.after) << c.name;
    }
    RecordingEnvironment rec;
    Str n("abc", -1);
    EXPECT_EQ(n.Length(), 0);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"count >= 0"});
}

TEST(StrArray, GrowthAddsSixteenSpareSlots) {
    StrArray a;
    EXPECT_EQ(a.Allocated(), 0);
    std::vector<int> seen;
    for (int i = 1; i <= 35; ++i) {
        int before = a.Allocated();
        a.Add("x");
        if (a.Allocated() != before) seen.push_back(i * 1000 + a.Allocated());
    }
    EXPECT_EQ(seen, (std::vector<int>{1017, 18034, 35051}));
}

TEST(StrArray, EditingAndLookup) {
    StrArray a;
    a.Add("a");
    a.Add(Str("b"));
    a.InsertAt(2, "c");  // at the count: appends
    a.InsertAt(0, "z");
    EXPECT_EQ(a.Count(), 4);
    EXPECT_EQ(a[0], "z");
    a.Remove(0);
    EXPECT_EQ(a.GetAt(0), "a");
    EXPECT_EQ(a.Find("b"), 1);
    EXPECT_EQ(a.Find("A"), -1);
    EXPECT_TRUE(a.Contains("c"));
    a.Append(a);  // the count is taken first: duplicated once
    EXPECT_EQ(a.Count(), 6);
    EXPECT_EQ(a[5], "c");
    StrArray copy(a);
    EXPECT_TRUE(copy == a);
    copy[0] = "q";
    EXPECT_FALSE(copy == a);
    copy = copy;
    EXPECT_EQ(copy.Count(), 6);
    copy = StrArray();
    EXPECT_EQ(copy.Count(), 0);
    StrArray s;
    for (const char* t : {"b", "B", "a", "ab"}) s.Add(t);
    s.Sort();
    EXPECT_EQ(s[0], "B");
    EXPECT_EQ(s[1], "a");
    EXPECT_EQ(s[2], "ab");
    EXPECT_EQ(s[3], "b");
    StrArray joined = s + Str("x") + s;
    EXPECT_EQ(joined.Count(), 9);
    StrArray r;
    for (const char* t : {"a", "b", "c"}) r.Add(t);
    r.Remove(0);
    EXPECT_EQ(r[0], "b");
    EXPECT_EQ(r[1], "c");
}

TEST(StrArray, OutOfRangeIsReportedAndTouchesNothing) {
    RecordingEnvironment rec;
    StrArray a;
    a.Add("a");
    Str& scratch = a[1];
    EXPECT_EQ(scratch, "");
    scratch = "written";
    EXPECT_EQ(a[-1], "");  // the scratch value is reset on each use
    EXPECT_EQ(a.GetAt(7), "");
    a.Remove(1);
    a.Remove(-1);
    a.InsertAt(2, "x");
    a.InsertAt(-1, "x");
    EXPECT_EQ(a.Count(), 1);
    EXPECT_EQ(a[0], "a");
    EXPECT_EQ(rec.Expressions(), (std::vector<std::string>{"Index < _Count", "Index >= 0", "Index < _Count",
                                                           "Index < _Count", "Index >= 0", "Index <= _Count",
                                                           "Index >= 0"}));
}

TEST(StrSplit, AtOneSeparator) {
    struct Case { const char* text; char sep; bool quotes; std::vector<std::string> fields; };
    const Case cases[] = {
        {"a;;b;", ';', false, {"a", "", "b"}},
        {"a;'b;c';d", ';', true, {"a", "b;c", "d"}},
        {"a;'b;c';d", ';', false, {"a", "'b", "c'", "d"}},
        {"a;\"b'c\";d", ';', true, {"a", "b'c", "d"}},
        {"a;b\rc;d", ';', false, {"a", "b"}},
        {"a;b\nc", ';', false, {"a", "b"}},
        {" a ; b ", ';', false, {" a ", " b "}},
        {"", ';', false, {}},
        {";", ';', false, {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(Fields(string_Split(c.text, c.sep, c.quotes)), c.fields) << c.text;
}

TEST(StrSplit, CommaFields) {
    struct Case { const char* text; std::vector<std::string> fields; };
    const Case cases[] = {
        {" a , b ,,\"c,d\"", {"a", "b", "", "c,d"}},
        {"a,b,", {"a", "b"}},
        {",a", {"", "a"}},
        {"a\tb , x", {"a b", "x"}},
        {"ab\"c\",d", {"ab\"c\"", "d"}},
        {"'x'y,z", {"xy", "z"}},
        {"a,b\nc", {"a", "b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Fields(string_SplitFields(c.text)), c.fields) << c.text;
}

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(StrNatural, OrdersDigitRunsByValue) {
    struct Case { const char* a; const char* b; int sign; };
    const Case cases[] = {
        {"a9", "a10", -1},
        {"a10", "a9", 1},
        {"007", "7", -1},   // same value: fewer leading zeros sort after
        {"7", "007", 1},
        {"A10", "a10", 0},
        {"abc", "abcd", -1},
        {"abcd", "abc", 1},
        {"", "", 0},
        {"x2y", "x2z", -1},
        {"\xE9", "a", -1},  // bytes 0x80-0xFF sort before ASCII
        {"file2", "File1", 1},
        {"a1b2", "a1b10", -1},
        {"07x", "7a", -1},  // the characters after equal-valued runs are not compared
    };
    for (const auto& c : cases) EXPECT_EQ(Sign(string_CompareNatural(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
    // A run more than 100 digits longer falls back to the case-insensitive comparison.
    Str longRun("1" + Str(std::string(102, '0').c_str()));
    EXPECT_EQ(Sign(string_CompareNatural("9", longRun)), 1);
}

}  // namespace

namespace {

TEST(Str, MoveAssignmentEndsLikeACopy) {
    Str s("abc");
    Str source("a text too long to fit inside");
    const char* block = source.Data();
    s = static_cast<Str&&>(source);
    EXPECT_EQ(s, "a text too long to fit inside");
    EXPECT_EQ(s.Data(), block);
    EXPECT_EQ(source.Length(), 0);
    Str shared;
    shared = Str("");  // an empty source on the shared buffer keeps the shared buffer
    EXPECT_FALSE(shared.OwnsBlock());
}

}  // namespace

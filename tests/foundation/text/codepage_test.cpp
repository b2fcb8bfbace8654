#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/text/codepage.h"
#include "foundation/text/unistr.h"

namespace {

std::u16string Units(const UniString& s) { return std::u16string(s.Data(), static_cast<size_t>(s.Length())); }

TEST(CodePage, ToCodePageThroughTheResetTable) {
    struct Case {
        std::u16string units;
        std::string bytes;
    } cases[] = {
        {u"A", "A"},
        {u"\u00E9", "\xE9"},
        {u"\u20AC", "?"},
        {u"caf\u00E9 \u20AC5", "caf\xE9 ?5"},
        {u"\U0001F600", "??"},  // each half of the pair on its own
        {u"", ""},
    };
    for (const auto& t : cases) {
        const UniString u(t.units.c_str());
        EXPECT_EQ(std::string(u.ToCodePage().Data()), t.bytes);
    }
}

TEST(CodePage, FromCodePageUsesTheSystemCodePage) {
    struct Case {
        const char* name;
        const char* bytes;
        std::u16string units;
        const char* utf8;
    } cases[] = {
        {"ASCII", "plain", u"plain", "plain"},
        {"valid UTF-8 stays", "Z\xC3\xBCrich \xE2\x82\xAC", u"Z\u00FCrich \u20AC", "Z\xC3\xBCrich \xE2\x82\xAC"},
        {"four-byte UTF-8", "\xF0\x9F\x98\x80", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"Windows-1252", "caf\xE9", u"caf\u00E9", "caf\xC3\xA9"},
        {"Windows-1252 high range", "\x80\x99\x9F", u"\u20AC\u2122\u0178", "\xE2\x82\xAC\xE2\x84\xA2\xC5\xB8"},
        {"one bad byte makes it all 1252", "\xC3\xA9\xE9", u"\u00C3\u00A9\u00E9", "\xC3\x83\xC2\xA9\xC3\xA9"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        UniString u(u"previous text that is longer");
        u.FromCodePage(t.bytes);
        EXPECT_EQ(Units(u), t.units);
        UniString fromStr;
        fromStr.FromCodePage(Str(t.bytes));
        EXPECT_EQ(Units(fromStr), t.units);
        EXPECT_EQ(std::string(unistr_CodePageToUTF8(Str(t.bytes)).Data()), t.utf8);
    }
    UniString kept(u"kept");
    kept.FromCodePage("");
    kept.FromCodePage(static_cast<const char*>(nullptr));
    kept.FromCodePage(Str());
    EXPECT_EQ(Units(kept), u"kept");
    EXPECT_TRUE(unistr_CodePageToUTF8(Str()).IsEmpty());
}

TEST(CodePage, ToWideNeverWritesPastTheCapacity) {
    const char* text = "abc\xE9";  // four units
    struct Case {
        int capacity;
        int result;
        std::u16string written;
    } cases[] = {
        {0, 0, u""},          // not even the terminator fits: nothing is written
        {1, 0, u"\0"},        // the terminator only
        {4, 0, u"\0"},        // four units and the terminator do not fit in four
        {5, 4, u"abc\u00E9\0"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.capacity);
        std::unique_ptr<char16_t[]> out(new char16_t[static_cast<size_t>(t.capacity) + 1]);
        for (int i = 0; i <= t.capacity; ++i) out[i] = u'#';
        EXPECT_EQ(codepage_Get().ToWide(text, 4, out.get(), t.capacity), t.result);
        EXPECT_EQ(std::u16string(out.get(), t.written.size()), t.written);
        EXPECT_EQ(out[t.capacity], u'#');
    }
}

TEST(CodePage, FromWideStopsAtTheCapacity) {
    auto table = std::make_unique<codepage_Table>();
    table->AddMapping(0x8140, 0x3000);  // a double-byte code
    const std::u16string text = u"a\u3000b";
    struct Case {
        int capacity;
        int result;
        std::string written;
    } cases[] = {
        {6, 4, std::string("a\x81\x40" "b\0", 5)},
        {5, 4, std::string("a\x81\x40" "b\0", 5)},
        // Full on a low byte: the terminator takes it, and the count stops before it;
        // counting it would put the zero into the text made from the count.
        {4, 3, std::string("a\x81\x40\0", 4)},
        {2, 1, std::string("a\0", 2)},          // full on a high byte
        {1, 0, std::string("\0", 1)},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.capacity);
        std::string out(static_cast<size_t>(t.capacity) + 1, '#');
        EXPECT_EQ(table->FromWide(text.data(), 3, out.data(), t.capacity), t.result);
        EXPECT_EQ(out.substr(0, t.written.size()), t.written);
        EXPECT_EQ(out[static_cast<size_t>(t.capacity)], '#');
    }
}

TEST(CodePage, MappingsAndLeadBytes) {
    auto table = std::make_unique<codepage_Table>();
    EXPECT_EQ(table->CodeToUnicode(0xE9), 0xE9);
    EXPECT_EQ(table->CodeToUnicode(0x100), '?');
    EXPECT_EQ(table->UnicodeToCode(0x20AC), '?');
    table->AddMapping(0x80, 0x20AC);
    table->AddMapping(0x8140, 0x3000);
    table->AddMapping(0x41, 0);  // ignored
    table->ComputeLeadBytes();
    EXPECT_EQ(table->UnicodeToCode(0x20AC), 0x80);
    EXPECT_EQ(table->CodeToUnicode(0x80), 0x20AC);
    EXPECT_EQ(table->CodeToUnicode(0x41), 0x41);
    EXPECT_TRUE(table->IsLeadByte(0x81));
    EXPECT_FALSE(table->IsLeadByte(0x80));  // single-byte codes never flag
    EXPECT_FALSE(table->IsLeadByte(0x00));
    table->Reset();
    EXPECT_FALSE(table->IsLeadByte(0x81));
    EXPECT_EQ(table->UnicodeToCode(0x20AC), '?');
}

TEST(CodePage, ParseHex) {
    struct Case {
        const char* field;
        uint16_t value;
    } cases[] = {
        {"0x41", 0x41}, {"0x00E9", 0xE9}, {"0X1F", 0x1F}, {"0x8140", 0x8140}, {"0x12345", 0x2345},
        {"0xz1", 0x01}, {"0x", 0}, {"0", 0}, {"", 0},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.field);
        EXPECT_EQ(codepage_ParseHex(t.field), t.value);
    }
}

}  // namespace

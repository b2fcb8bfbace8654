#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/kernel/command.h"
#include "foundation/text/str.h"
#include "support/recording_environment.h"

namespace {

using Fields = std::vector<std::string>;

Fields ToFields(const StrArray& a) {
    Fields out;
    for (int i = 0; i < a.Count(); ++i) out.emplace_back(a[i].Data());
    return out;
}

StrArray ToArray(const Fields& f) {
    StrArray a;
    for (const auto& s : f) a.Add(s.c_str());
    return a;
}

struct ParseCase {
    const char* line;
    bool ok;
    Fields fields;
};

TEST(Command, Parse) {
    const ParseCase cases[] = {
        {"WORD a, b ,,c;note", true, {"WORD", "a", "b", "", "c"}},
        {"", true, {""}},
        {"    ", true, {""}},
        {"WORD", true, {"WORD"}},
        {"  WORD  ;just a comment", true, {"WORD"}},
        {";only a comment", true, {""}},
        {"WORD a,", true, {"WORD", "a", ""}},
        {"WORD %%%,", true, {"WORD", "%,"}},
        {"WORD a%;b, c%%", true, {"WORD", "a;b", "c%"}},
        {"WORD \"quoted\", ?ignored, \"?\"", true, {"WORD", "quoted", "", ""}},
        {"WORD a\r\nNEXT b", true, {"WORD", "a"}},
        {"WORD x;a \"quoted; part\"", true, {"WORD", "x"}},
        // Quotes keep the line together, but the parameter still needs its escapes.
        {"WORD \"a,b\"", false, {"WORD", "a,b"}},
        {"WORD, a", false, {}},
        {"WO-RD a", false, {"WO-RD"}},
        {"WORD\ta", false, {}},
        {"WORD caf\xC3\xA9", false, {}},
        {"WORD a%b, c", false, {}},  // the comment search already finds the broken escape
        {"WORD a%", false, {"WORD", "a%"}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.line);
        StrArray fields;
        EXPECT_EQ(command_Parse(fields, t.line), t.ok);
        EXPECT_EQ(ToFields(fields), t.fields);
    }
    StrArray kept;
    kept.Add("before");
    EXPECT_TRUE(command_Parse(kept, Str("W x")));
    EXPECT_EQ(ToFields(kept), (Fields{"before", "W", "x"}));
}

TEST(Command, JoinEscapesAndParsesBack) {
    const Fields cases[] = {
        {"WORD", "a", "b"},
        {"WORD"},
        {"WORD", "%,", "a;b", "50%"},
        {"WORD", "a", "", "c"},
        {"WORD", "a", ""},
    };
    for (const auto& f : cases) {
        const Str line = command_Join(ToArray(f));
        SCOPED_TRACE(line.Data());
        StrArray back;
        EXPECT_TRUE(command_Parse(back, line));
        EXPECT_EQ(ToFields(back), f);
    }
    EXPECT_TRUE(command_Join(ToArray({"WORD", "a", "b"})) == "WORD a, b");
    EXPECT_TRUE(command_Join(ToArray({" WORD ", " a "})) == "WORD a");
    EXPECT_TRUE(command_Join(ToArray({"WORD", "%,"})) == "WORD %%%,");
    EXPECT_TRUE(command_Join(StrArray()).IsEmpty());

    RecordingEnvironment rec;
    EXPECT_TRUE(command_Join(ToArray({"BAD WORD", "a"})) == "BAD WORD a");
    EXPECT_EQ(rec.Expressions(), Fields{"command_ValidateField (tmp, n == 0)"});
    EXPECT_EQ(rec.assertions[0].module, "Kernel/command");
}

TEST(Command, EscapeAndDecodeAreInverse) {
    for (const char* text : {"", "plain", "%", "%%%,", ";,%", "a,b;c%d", "%%"}) {
        SCOPED_TRACE(text);
        Str field = command_EscapeField(text);
        EXPECT_TRUE(command_DecodeEscapes(field));
        EXPECT_TRUE(field == text);
    }
    EXPECT_TRUE(command_EscapeField("a,b") == "a%,b");
}

TEST(Command, FindTerminator) {
    struct Case {
        const char* text;
        char terminator;
        bool ok;
        int position;
    } cases[] = {
        {"", ',', true, 0},
        {"ab,cd", ',', true, 2},
        {"\"a,b\",c", ',', true, 5},
        {"a%,b,c", ',', true, 4},
        {"abc", ',', true, 3},
        {"a%b,c", ',', false, 5},  // the broken escape swallows the comma
        {"ab%\r\n", ',', false, 3},
        {"ab\r,c", ',', true, 2},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.text);
        int position = -1;
        EXPECT_EQ(command_FindTerminator(Str(t.text), position, t.terminator), t.ok);
        EXPECT_EQ(position, t.position);
    }
}

struct SplitCase {
    const char* line;
    bool ok;
    Fields fields;
};

TEST(Command, SplitList) {
    const SplitCase cases[] = {
        {"0x41, 0x0041", true, {"0x41", "0x0041"}},
        {"\"a,b\",c", true, {"a,b", "c"}},
        {"a,b,", true, {"a", "b"}},
        {",a", true, {"", "a"}},
        {"  a  ,b  ", true, {"a", "b  "}},  // only comma-ended fields lose trailing blanks
        {"\" a \" ,b", true, {" a ", "b"}},
        {"a\tb,c", true, {"a\tb", "c"}},
        {"caf\xE9,x", true, {"caf\xE9", "x"}},
        {"a,b\r\nc,d", true, {"a", "b"}},
        {"a,b\x01,c", false, {"a"}},
        {"", true, {}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.line);
        StrArray fields;
        EXPECT_EQ(command_SplitList(fields, t.line), t.ok);
        EXPECT_EQ(ToFields(fields), t.fields);
    }
    // A field longer than the line buffer's 259 characters fails instead of overrunning it.
    const std::string longest(259, 'x');
    StrArray fields;
    EXPECT_TRUE(command_SplitList(fields, (longest + ",y").c_str()));
    EXPECT_EQ(ToFields(fields), (Fields{longest, "y"}));
    StrArray tooLong;
    EXPECT_FALSE(command_SplitList(tooLong, (longest + "x,y").c_str()));
    EXPECT_EQ(tooLong.Count(), 0);
}

}  // namespace

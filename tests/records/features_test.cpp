#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/buffer.h"
#include "records/damage.h"
#include "records/dbFeatures.h"
#include "support/recording_environment.h"

namespace {

// "code|stringcode" of each feature.
std::vector<std::string> Describe(const FeatureArray& a) {
    std::vector<std::string> out;
    for (int i = 0; i < a.Count(); ++i) {
        out.push_back(std::string(a.GetAt(i).GetCode().Data()) + "|" +
                      a.GetAt(i).GetStringCode().Data());
    }
    return out;
}

std::vector<uint8_t> Bytes(const WriteBuffer& b) {
    return std::vector<uint8_t>(b.Data(), b.Data() + b.Length());
}

std::vector<uint8_t> Written(const FeatureArray& a) {
    WriteBuffer out(ENDIAN_Little);
    a.Write(out);
    return Bytes(out);
}

const std::string k42(42, 'X');
const std::string k43 = std::string(21, 'A') + " " + std::string(21, 'B');

TEST(FeatureCodes, ParseCodeString) {
    struct Case {
        std::string text;
        bool split;
        std::vector<std::string> features;
    } cases[] = {
        {"TREE12 FENCE", true, {"TREE|12", "FENCE|"}},
        {"TREE12 FENCE", false, {"TREE12|", "FENCE|"}},
        {"A1B2", true, {"A1B|2"}},
        {"12", true, {"12|"}},
        {"A   B", false, {"A|", "B|"}},
        {"A ", false, {"A|"}},
        {" A", false, {}},
        {"A-B", true, {"A-B|"}},
        {"", false, {}},
        {k42, false, {k42 + "|"}},
        {k43, false, {}},
        {"TREE\x1F" "1", true, {"TREE\x1F|1"}},
    };
    for (const Case& c : cases) {
        FeatureArray a;
        a.Append(Feature());  // replaced, never kept
        a.ParseCodeString(c.text.c_str(), c.split);
        EXPECT_EQ(Describe(a), c.features) << '"' << c.text << '"';
    }
    // A zero byte separates, and nothing after it is taken.
    FeatureArray z;
    z.ParseCodeString(Str("A\0B C", 5), false);
    EXPECT_EQ(Describe(z), (std::vector<std::string>{"A|"}));
}

TEST(FeatureCodes, GetCodeStringJoinsCodeAndStringCode) {
    FeatureArray a;
    a.ParseCodeString("TREE12 FENCE", true);
    EXPECT_EQ(a.GetCodeString(), "TREE12 FENCE");
    EXPECT_EQ(FeatureArray().GetCodeString(), "");
    StrArray codes = a.GetCodes();
    ASSERT_EQ(codes.Count(), 2);
    EXPECT_EQ(codes[0], "TREE");
    EXPECT_EQ(codes[1], "FENCE");
}

TEST(FeatureCodes, SetFromCodeStringKeepsAttributesOfCodesThatStay) {
    FeatureArray a;
    a.ParseCodeString("TREE FENCE", false);
    a.GetAt(0).GetAttributes().AddText("Species", "Oak");
    a.SetFromCodeString("  tree BUSH  ", false);
    EXPECT_EQ(Describe(a), (std::vector<std::string>{"tree|", "BUSH|"}));
    ASSERT_EQ(a.GetAt(0).GetAttributes().Count(), 1);
    EXPECT_EQ(a.GetAt(0).GetAttributes().GetAt(0).text, "Oak");
    EXPECT_EQ(a.GetAt(1).GetAttributes().Count(), 0);
    // ParseCodeString keeps nothing and refuses a leading blank.
    a.ParseCodeString(" TREE", false);
    EXPECT_EQ(a.Count(), 0);
}

TEST(FeatureCodes, JoinCodes) {
    struct Case {
        std::string features, text;
        std::vector<std::string> expected;
    } cases[] = {
        {"A B C", "A B", {"A\xC2\xB7" "B|", "C|"}},
        {"A B C", "B C", {"A|", "B\xC2\xB7" "C|"}},
        {"A X B", "A B", {"A|", "X|", "B|"}},  // not adjacent
        {"A B", "A", {"A|", "B|"}},            // a run of one is left alone
        {"A B", "a b", {"a\xC2\xB7" "b|"}},    // found ignoring case, named as typed
        {"A B", "A B C", {"A\xC2\xB7" "B\xC2\xB7" "C|"}},
    };
    for (const Case& c : cases) {
        FeatureArray a;
        a.ParseCodeString(c.features.c_str(), false);
        a.JoinCodes(c.text.c_str());
        EXPECT_EQ(Describe(a), c.expected) << c.features << " / " << c.text;
    }
    EXPECT_EQ(FeatureArray::DotBlanks("a b\x1F" "c"), "a\xC2\xB7" "b\xC2\xB7" "c");
}

TEST(FeatureCodes, FindCodeIgnoresCaseFromStart) {
    FeatureArray a;
    a.ParseCodeString("Tree Fence tree", false);
    EXPECT_EQ(a.FindCode("TREE", 0), 0);
    EXPECT_EQ(a.FindCode("TREE", 1), 2);
    EXPECT_EQ(a.FindCode("bush", 0), -1);
    EXPECT_EQ(FeatureArray().FindCode("x", 0), -1);
}

TEST(FeatureEquality, IntegerValueAndLinksTakeNoPart) {
    Feature a, b;
    a.SetCode("POLE");
    b.SetCode("POLE");
    a.GetAttributes().AddInteger("Count", 1);
    b.GetAttributes().AddInteger("Count", 2);
    b.GetAttributes().GetAt(0).link[0] = 9;
    EXPECT_TRUE(a.IsEqual(b));

    struct Change {
        const char* what;
        void (*apply)(Feature&);
    } changes[] = {
        {"code case", [](Feature& f) { f.SetCode("pole"); }},
        {"string code", [](Feature& f) { f.SetStringCode("1"); }},
        {"attribute name", [](Feature& f) { f.GetAttributes().GetAt(0).name = "count"; }},
        {"attribute type", [](Feature& f) { f.GetAttributes().GetAt(0).type = FEATURE_AttribNumerical; }},
        {"attribute number", [](Feature& f) { f.GetAttributes().GetAt(0).number = 1.0; }},
        {"attribute text", [](Feature& f) { f.GetAttributes().GetAt(0).text = "x"; }},
        {"menu index", [](Feature& f) { f.GetAttributes().GetAt(0).menuIndex = 1; }},
        {"extra attribute", [](Feature& f) { f.GetAttributes().AddSeparator("S"); }},
    };
    for (const Change& c : changes) {
        Feature changed = a;
        c.apply(changed);
        EXPECT_FALSE(a.IsEqual(changed)) << c.what;
    }

    FeatureArray x, y;
    x.Append(a);
    y.Append(b);
    EXPECT_TRUE(x.IsEqual(y));
    y.Append(b);
    EXPECT_TRUE(x.IsNotEqual(y));
}

TEST(FeatureSerialisation, ByteLayout) {
    FeatureArray a;
    Feature f;
    f.SetCode("A");
    f.SetStringCode("1");
    f.GetAttributes().AddSeparator("S");
    f.GetAttributes().AddMenu("M", "x", 2);
    f.GetAttributes().AddInteger("I", 7);
    f.GetAttributes().AddNumerical("N", 1.0);
    f.GetAttributes().AddText("T", "t");
    a.Append(f);
    const std::vector<uint8_t> expected = {
        0x01, 0x00, 0x00, 0x00,                    // one feature
        '1', 0, 'A', 0,                            // string code first, then code
        0x05, 0x00, 0x00, 0x00,                    // five attributes
        0x06, 0x00, 'S', 0,                        // separator: type and name only
        0x02, 0x00, 'M', 0, 0x02, 0x00, 'x', 0,    // menu: index, then text
        0x07, 0x00, 'I', 0, 0x07, 0x00, 0x00, 0x00,  // integer
        0x00, 0x00, 'N', 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F,  // numerical
        0x01, 0x00, 'T', 0, 't', 0,                // text
    };
    EXPECT_EQ(Written(a), expected);
    EXPECT_EQ(Written(FeatureArray()), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(FeatureSerialisation, EveryAttributeTypeRoundTrips) {
    FeatureArray a;
    Feature f;
    f.SetCode("CODE");
    f.SetStringCode("12");
    Attributes& at = f.GetAttributes();
    at.AddNumerical("num", 2.5);
    at.AddText("text", "hello");
    at.AddMenu("menu", "item", 65537);  // kept to 16 bits
    at.AddDate("date", 1e308);
    at.AddTime("time", 3600.0);
    at.AddFile("file", "a.txt");
    at.AddSeparator("sep");
    at.AddInteger("int", -5);
    at.AddPhoto("photo", "p.jpg");
    at.GetAt(0).link[1] = 4;
    a.Append(f);
    a.Append(Feature());
    EXPECT_EQ(at.GetAt(2).menuIndex, 1);

    WriteBuffer out(ENDIAN_Little);
    a.Write(out);
    ReadBuffer in(out.Length(), ENDIAN_Little, out.Data());
    int offset = 0;
    FeatureArray back;
    back.Read(in, offset);
    EXPECT_FALSE(dbRecord_IsDamaged(in, offset));
    EXPECT_EQ(offset, out.Length());
    EXPECT_TRUE(back.IsEqual(a));
    EXPECT_EQ(back.GetAt(0).GetAttributes().GetAt(7).integer, -5);
    EXPECT_EQ(back.GetAt(0).GetAttributes().GetAt(0).link[1], 0);  // never serialised
    EXPECT_EQ(Written(back), Bytes(out));
    const char* names[] = {"Numerical", "Text",      "Menu",    "Date", "Time",
                           "File",      "Separator", "Integer", "Photo"};
    for (int t = 0; t < FEATURE_AttribTypeCount; ++t) {
        EXPECT_EQ(back.GetAt(0).GetAttributes().GetAt(t).type, t);
        EXPECT_STREQ(FeatureAttribute_TypeName(t), names[t]);
    }
    EXPECT_EQ(FeatureAttribute_TypeName(9), nullptr);
}

// Bytes of a feature array whose counts and contents are given raw.
struct Raw {
    std::vector<uint8_t> bytes;
    Raw& I32(int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Raw& Text(const char* s) {
        while (*s) bytes.push_back(static_cast<uint8_t>(*s++));
        bytes.push_back(0);
        return *this;
    }
    Raw& Add(std::initializer_list<uint8_t> raw) {
        bytes.insert(bytes.end(), raw);
        return *this;
    }
    Raw& Fill(int n) {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }
};

TEST(FeatureSerialisation, DamagedInputIsRefused) {
    struct Case {
        const char* what;
        Raw raw;
        bool damaged;
        int features;
    } cases[] = {
        {"negative count", Raw().I32(-1), true, 0},
        {"count beyond the bytes", Raw().I32(1000000000).Fill(12), true, 0},
        {"count cut short", Raw().Add({0x01, 0x00}), true, 0},
        {"string without end", Raw().I32(1).Text("1").Add({'A', 'B', 'C', 'D', 'E', 'F'}), true, 0},
        {"negative attribute count", Raw().I32(1).Text("").Text("A").I32(-3), true, 0},
        {"attribute count beyond the bytes", Raw().I32(1).Text("").Text("A").I32(5).Fill(4), true, 0},
        {"feature cut inside", Raw().I32(2).Text("").Text("A").I32(0).Fill(5), true, 1},
    };
    for (const Case& c : cases) {
        RecordingEnvironment env;
        ReadBuffer in(static_cast<int>(c.raw.bytes.size()), ENDIAN_Little, c.raw.bytes.data());
        int offset = 0;
        FeatureArray a;
        a.Append(Feature());
        a.Read(in, offset);
        EXPECT_EQ(dbRecord_IsDamaged(in, offset), c.damaged) << c.what;
        EXPECT_EQ(a.Count(), c.features) << c.what;
    }
}

TEST(FeatureSerialisation, CountsFromOneHundredAreReadWhenTheBytesHoldThem) {
    FeatureArray a;
    for (int i = 0; i < 150; ++i) a.Append(Feature());
    WriteBuffer out(ENDIAN_Little);
    a.Write(out);
    RecordingEnvironment env;
    ReadBuffer in(out.Length(), ENDIAN_Little, out.Data());
    int offset = 0;
    FeatureArray back;
    back.Read(in, offset);
    EXPECT_EQ(back.Count(), 150);
    EXPECT_FALSE(dbRecord_IsDamaged(in, offset));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"NumFeatures < 100"}));
    EXPECT_EQ(env.assertions[0].module, "Library/dbFeatures");
}

TEST(FeatureArrayOperations, AccessOutsideTheArrayIsReported) {
    RecordingEnvironment env;
    FeatureArray a;
    a.ParseCodeString("A B", false);
    EXPECT_EQ(a.GetAt(2).GetCode(), "");
    EXPECT_EQ(a.GetAt(-1).GetCode(), "");
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"pos < NumFeatures", "pos >= 0"}));
    env.Clear();
    Attributes at;
    at.AddText("n", "v");
    EXPECT_EQ(at.GetAt(1).name, "");
    EXPECT_EQ(at.GetAt(-1).name, "");
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"pos < this->NumAttribs", "pos >= 0"}));
    env.Clear();
    EXPECT_FALSE(at.SetAt(1, FeatureAttribute()));
    EXPECT_TRUE(at.SetAt(0, FeatureAttribute()));
    EXPECT_EQ(at.GetAt(0).type, FEATURE_AttribSeparator);
    a.InsertAt(Feature(), 3);
    EXPECT_EQ(env.Expressions(),
              (std::vector<std::string>{"addAtNdx >= 0 && addAtNdx <= NumFeatures"}));
    EXPECT_EQ(a.Count(), 2);
    env.Clear();
    Feature stranger;
    a.Remove(stranger);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"found"}));
    EXPECT_EQ(a.Count(), 2);
}

TEST(FeatureArrayOperations, InsertRemoveDetachAndClears) {
    FeatureArray a;
    a.ParseCodeString("A1 B2 C3", true);
    Feature x;
    x.SetCode("X");
    a.InsertAt(x, 1);
    EXPECT_EQ(a.GetCodeString(), "A1 X B2 C3");
    a.Remove(a.GetAt(2));
    EXPECT_EQ(a.GetCodeString(), "A1 X C3");
    a.GetAt(0).GetAttributes().AddInteger("i", 1);
    a.GetAt(0).GetAttributes().GetAt(0).link[0] = 7;
    EXPECT_TRUE(a.HasAttributes());
    EXPECT_EQ(a.CountFeaturesWithAttributes(), 1);
    a.ClearAttributeLinks();
    EXPECT_EQ(a.GetAt(0).GetAttributes().GetAt(0).link[0], 0);
    a.ClearStringCodes();
    EXPECT_EQ(a.GetCodeString(), "A X C");
    a.ClearAllAttributes();
    EXPECT_FALSE(a.HasAttributes());

    FeatureArray copy(a);
    EXPECT_FALSE(copy.SharesStorage(a));
    EXPECT_TRUE(a.SharesStorage(a));
    copy = copy;  // self-assignment keeps everything
    EXPECT_EQ(copy.Count(), 3);
    std::unique_ptr<FeatureArray> detached(a.Detach());
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(detached->GetCodeString(), "A X C");
}

// Swap and Detach hand the features over where they lie: a reference taken before
// stays valid and reaches the same feature in the array that now holds it.
TEST(FeatureArrayOperations, SwapAndDetachMoveNoFeature) {
    FeatureArray a;
    a.ParseCodeString("A B", false);
    const Feature* first = &a.GetAt(0);
    FeatureArray empty;
    a.Swap(empty);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(&empty.GetAt(0), first);
    EXPECT_FALSE(a.SharesStorage(FeatureArray()));

    FeatureArray b;
    b.ParseCodeString("C", false);
    const Feature* third = &b.GetAt(0);
    empty.Swap(b);
    EXPECT_EQ(&b.GetAt(1), first + 1);
    EXPECT_EQ(&empty.GetAt(0), third);

    std::unique_ptr<FeatureArray> detached(b.Detach());
    EXPECT_EQ(&detached->GetAt(0), first);
    EXPECT_EQ(b.Count(), 0);
    std::unique_ptr<FeatureArray> none(b.Detach());
    EXPECT_EQ(none->Count(), 0);

    // An array left empty (detached, cleared or with its last feature removed) takes
    // features again.
    b.Append(Feature()).SetCode("D");
    EXPECT_EQ(b.GetCodeString(), "D");
    b.Clear();
    b.InsertAt(Feature(), 0);
    b.Remove(b.GetAt(0));
    EXPECT_EQ(b.Count(), 0);
    b.ParseCodeString("E F", false);
    EXPECT_EQ(b.GetCodeString(), "E F");
    b = FeatureArray();
    EXPECT_EQ(b.Count(), 0);
    EXPECT_EQ(detached->GetCodeString(), "A B");
}

}  // namespace

#include <gtest/gtest.h>

#include "foundation/buffer.h"
#include "records/classification.h"
#include "support/recording_environment.h"

namespace {

using PC = db_PointClassification;

TEST(PointClassification, NamesByValue) {
    const char* names[] = {"None",   "Check",    "BackSight", "Stakeout",        "Construction", "Normal",
                           "MTA",    "Adjusted", "Averaged",  "NetworkAdjusted", "Control"};
    RecordingEnvironment env;
    for (int v = -1; v <= 9; ++v) {
        EXPECT_EQ(PC(v).GetName(), names[v + 1]);
        PC fromName;
        fromName.SetFromName(names[v + 1]);
        EXPECT_EQ(fromName.value, v);
    }
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(PC().value, -1);
}

TEST(PointClassification, OutOfRangeValuesAreReportedAndKept) {
    RecordingEnvironment env;
    PC twelve(12);
    EXPECT_EQ(twelve.value, 12);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"i >= MinValue && i <= MaxValue"}));
    EXPECT_EQ(env.assertions[0].module, "Library/dbRecord");
    env.Clear();
    EXPECT_EQ(twelve.GetName(), "");
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0"}));
    env.Clear();
    // The vocabulary's value is taken without a check.
    EXPECT_EQ(PC(dbentity_Classification(42)).value, 42);
    EXPECT_TRUE(env.assertions.empty());
}

TEST(PointClassification, SetFromName) {
    PC c(PC::Control);
    c.SetFromName("");
    EXPECT_EQ(c.value, PC::Control);  // empty leaves it
    c.SetFromName("control");         // case-sensitive
    EXPECT_EQ(c.value, PC::None);
    c.SetFromName("Averaged");
    EXPECT_EQ(c.value, PC::Averaged);
    c.SetFromName("Unknown");
    EXPECT_EQ(c.value, PC::None);
}

TEST(PointClassification, RanksAtLeast) {
    struct Case {
        int a, b;
        bool expected;
    } cases[] = {
        {PC::Control, PC::NetworkAdjusted, true}, {PC::NetworkAdjusted, PC::Control, true},
        {PC::Construction, PC::BackSight, false}, {PC::BackSight, PC::Construction, true},
        {PC::Check, PC::None, true},              {PC::None, PC::Check, false},
        {PC::None, PC::None, true},               {PC::Stakeout, PC::MTA, true},
        {PC::Normal, PC::Stakeout, true},         {PC::Adjusted, PC::Normal, true},
        {PC::Normal, PC::Adjusted, false},        {PC::Averaged, PC::Adjusted, true},
        {PC::Adjusted, PC::Averaged, false},      {PC::Control, PC::Averaged, true},
        {PC::Construction, PC::Check, true},      {PC::Check, PC::Construction, false},
        {12, PC::None, true},                     {12, PC::Check, false},
    };
    RecordingEnvironment env;
    for (const Case& c : cases) {
        PC a(dbentity_Classification(c.a)), b(dbentity_Classification(c.b));
        EXPECT_EQ(a.RanksAtLeast(b), c.expected) << c.a << " vs " << c.b;
    }
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_FALSE(PC(PC::Control).RanksAtLeast(PC(dbentity_Classification(10))));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0"}));
}

TEST(PointClassification, ClassCodes) {
    // Value -> (class code, basic class code) with flag true.
    const int codes[][3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 4}, {4, 4, 4},
                            {5, 4, 4}, {6, 5, 4}, {7, 6, 4}, {8, 7, 7}, {9, 7, 7}};
    RecordingEnvironment env;
    for (const auto& row : codes) {
        PC c(row[0]);
        EXPECT_EQ(c.ToClassCode(true), row[1]) << row[0];
        EXPECT_EQ(c.ToClassCode(false), row[1] + 8) << row[0];
        EXPECT_EQ(c.ToBasicClassCode(true), row[2]) << row[0];
        EXPECT_EQ(c.ToBasicClassCode(false), row[2] + 8) << row[0];
    }
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(PC().ToClassCode(true), 0);
    EXPECT_EQ(PC().ToBasicClassCode(false), 8);
    EXPECT_EQ(env.Expressions(),
              (std::vector<std::string>{"this->value != None", "0", "this->value != None", "0"}));
}

TEST(PointClassification, FromClassCode) {
    const int expected[8] = {PC::Check,  PC::BackSight, PC::Stakeout, PC::Construction,
                             PC::Normal, PC::Adjusted,  PC::Averaged, PC::Control};
    RecordingEnvironment env;
    for (int code = 0; code < 16; ++code) {
        EXPECT_EQ(PC::FromClassCode(code).value, expected[code & 7]) << code;
    }
    EXPECT_EQ(PC::FromClassCode(13).value, PC::Adjusted);
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(PC::FromClassCode(16).value, PC::Control);
    EXPECT_EQ(PC::FromClassCode(-1).value, PC::Control);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0", "0"}));
}

TEST(PointClassification, SerialisesAsI16) {
    WriteBuffer out(ENDIAN_Little);
    PC(PC::None).Write(out);
    PC(PC::Control).Write(out);
    ASSERT_EQ(out.Length(), 4);
    const uint8_t expected[] = {0xFF, 0xFF, 0x09, 0x00};
    EXPECT_EQ(0, memcmp(out.Data(), expected, 4));
    ReadBuffer in(out.Length(), ENDIAN_Little, out.Data());
    int offset = 0;
    PC a(PC::Check), b;
    a.Read(in, offset);
    b.Read(in, offset);
    EXPECT_EQ(a.value, -1);
    EXPECT_EQ(b.value, 9);
    EXPECT_EQ(offset, 4);
}

}  // namespace

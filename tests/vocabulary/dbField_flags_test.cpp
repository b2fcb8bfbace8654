// Flag sets, the token cutter, the derivation code and the two small helpers.
#include <gtest/gtest.h>

#include <string>

#include "support/recording_environment.h"
#include "vocabulary/dbField.h"

namespace {

uint32_t Laser(const char* text) { return dbField_LoadFlagsText(dbField_dblaser_Features, text); }
uint32_t Cogo(const char* text) { return dbField_LoadFlagsText(dbField_coordsys_CogoSettings, text); }

TEST(VocabularyFlags, LoadingSkipsUnknownTokensAndSplitsOnlyAtBlanks) {
    RecordingEnvironment env;
    struct Case {
        const char* text;
        uint32_t mask;
    };
    const Case cases[] = {
        {"DBLASER_HasEDM  DBLASER_HasCompass ", 0x6},
        {"DBLASER_HasEDM DBLASER_HasEDM", 0x2},
        {"DBLASER_HasEDM Rangefinder", 0x2},
        {"", 0},
        {"DBLASER_HasEDM\tDBLASER_HasCompass", 0},  // a tab is part of the token
        {"DBLASER_HasEDM\nDBLASER_HasCompass", 0},
        {"dblaser_hasedm", 0},
        {"DBLASER_HasDualQuality DBLASER_HasFireCommand", 0x41},
        {"COORDSYS_CogoAzimuthGrid", 0},  // another set's name
    };
    for (const Case& c : cases) EXPECT_EQ(Laser(c.text), c.mask) << c.text;
    // The reader hands texts over stripped, so cutting never meets a leading blank.
    EXPECT_TRUE(env.assertions.empty());

    EXPECT_EQ(Cogo("COORDSYS_CogoSystemSet COORDSYS_CogoAzimuthGrid"), 0x4u);
    EXPECT_EQ(Cogo("COORDSYS_CogoChordDistances"), 0u);
    EXPECT_EQ(Cogo("COORDSYS_CogoOrthoHeights COORDSYS_CogoEllipsoidDistances"), 0x880u);
    EXPECT_EQ(dbField_LoadFlagsText(dbField_coordsys_ValuesPresent,
                                    "COORDSYS_ApplySeaLevelCorrectionOnScaleOnlyProjectionPresent "
                                    "COORDSYS_SouthAzimuthPresent"),
              0x201u);
}

TEST(VocabularyFlags, AnUnstrippedTextStillEnds) {
    RecordingEnvironment env;
    EXPECT_EQ(Laser("   DBLASER_HasEDM   "), 0x2u);
    EXPECT_EQ(Laser(" "), 0u);
    EXPECT_FALSE(env.assertions.empty());
}

TEST(VocabularyFlags, WritingListsNamedBitsInAscendingOrder) {
    EXPECT_STREQ(save_dblaser_Features(0x6).Data(), "DBLASER_HasEDM DBLASER_HasCompass");
    EXPECT_TRUE(save_dblaser_Features(0).IsEmpty());
    EXPECT_TRUE(save_dblaser_Features(0x80).IsEmpty());
    EXPECT_STREQ(save_dblaser_Features(Laser("DBLASER_HasCompass DBLASER_HasEDM")).Data(),
                 "DBLASER_HasEDM DBLASER_HasCompass");
    EXPECT_STREQ(dbField_SaveFlags(dbField_coordsys_CogoSettings, 0x804).Data(),
                 "COORDSYS_CogoAzimuthGrid COORDSYS_CogoOrthoHeights");
    EXPECT_STREQ(dbField_SaveFlags(dbField_coordsys_CogoSettings, 0x904).Data(),
                 "COORDSYS_CogoAzimuthGrid COORDSYS_CogoOrthoHeights");
    EXPECT_TRUE(save_coordsys_ValuesPresent(0x400).IsEmpty());
}

TEST(VocabularyFlags, EveryMaskOfNamedBitsRoundTrips) {
    for (const dbField_FlagSet* set : dbField_FlagSets) {
        uint32_t all = 0;
        for (const auto& flag : set->flags) all |= flag.bit;
        for (uint32_t mask = 0; mask < 0x1000; ++mask) {
            if ((mask & ~all) != 0) continue;
            Str text = dbField_SaveFlags(*set, mask);
            EXPECT_EQ(dbField_LoadFlagsText(*set, text), mask) << set->label << " " << mask;
        }
        EXPECT_EQ(dbField_LoadFlagsText(*set, dbField_SaveFlags(*set, 0xFFFFFFFFu)), all) << set->label;
    }
}

TEST(VocabularyFlags, CutFirstToken) {
    RecordingEnvironment env;
    Str text("A  B C ");
    EXPECT_STREQ(dbField_CutFirstToken(text).Data(), "A");
    EXPECT_STREQ(text.Data(), "B C");
    EXPECT_STREQ(dbField_CutFirstToken(text).Data(), "B");
    EXPECT_STREQ(dbField_CutFirstToken(text).Data(), "C");
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(env.assertions.empty());

    // Misuse is reported and cutting goes on.
    EXPECT_TRUE(dbField_CutFirstToken(text).IsEmpty());
    EXPECT_EQ(env.assertions.size(), 1u);
    text = " X";
    EXPECT_TRUE(dbField_CutFirstToken(text).IsEmpty());
    EXPECT_STREQ(text.Data(), "X");
    EXPECT_EQ(env.assertions.size(), 2u);
    for (const auto& a : env.assertions) EXPECT_EQ(a.module, "Library/dbField");
}

TEST(VocabularyDerivation, LoadingAndWriting) {
    EXPECT_EQ(dbField_DerivationFromText(""), 0x2020);
    EXPECT_EQ(dbField_DerivationFromText("KI"), 0x494B);
    EXPECT_EQ(dbField_DerivationFromText("TV"), 0x5654);
    EXPECT_EQ(dbField_DerivationFromText("\xC3\xA9"), 0xA9C3);  // bytes, not characters
    for (const char* bad : {"K", "KIX", " "}) {
        try {
            dbField_DerivationFromText(bad);
            ADD_FAILURE() << bad;
        } catch (const Str& message) {
            EXPECT_STREQ(message.Data(), "Derivation code is not 2 characters");
        }
    }
    EXPECT_STREQ(save_DerivationCode(dbField_BlankDerivation).Data(), "  ");
    EXPECT_STREQ(save_DerivationCode(0x494B).Data(), "KI");
    EXPECT_TRUE(save_DerivationCode(0x4900).IsEmpty());
    EXPECT_STREQ(save_DerivationCode(0x004B).Data(), "K");
    EXPECT_EQ(dbField_DerivationFromText(save_DerivationCode(0xA9C3)), 0xA9C3);
}

TEST(VocabularyHelpers, TemplateChoice) {
    EXPECT_EQ(dbField_ParseTemplateChoice("DBROAD_UserDefinedTemplate"), 0);
    EXPECT_EQ(dbField_ParseTemplateChoice("DBROAD_NoTemplate"), 1);
    EXPECT_EQ(dbField_ParseTemplateChoice("DBROAD_InterpolateTemplate"), 2);
    for (const char* other : {"", "DBROAD_InterpolateTemplates", "dbroad_interpolatetemplate",
                              "DBROAD_UserDefinedTemplatE", "0"})
        EXPECT_EQ(dbField_ParseTemplateChoice(other), 1) << other;
}

TEST(VocabularyHelpers, CoordOrderPosition) {
    RecordingEnvironment env;
    const int32_t expected[4][3] = {{0, 1, 2}, {1, 0, 2}, {1, 0, 2}, {0, 1, 2}};
    for (int order = 0; order < 4; ++order)
        for (int component = 1; component <= 3; ++component)
            EXPECT_EQ(dbField_CoordOrderPosition(order, component), expected[order][component - 1]);
    EXPECT_EQ(dbField_CoordOrderPosition(7, 3), 2);
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(dbField_CoordOrderPosition(7, 1), 2);
    EXPECT_EQ(dbField_CoordOrderPosition(-1, 2), 2);
    EXPECT_EQ(dbField_CoordOrderPosition(0, 4), 2);
    EXPECT_EQ(dbField_CoordOrderPosition(0, 0), 2);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0", "0", "0", "0"}));
}

} // namespace

// The loaders that read a child of an XML element.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/xml/element.h"
#include "support/recording_environment.h"
#include "vocabulary/dbField.h"

namespace {

// <Record><name>text</name>...</Record>
std::unique_ptr<xml_Element> Record(std::initializer_list<std::pair<const char*, const char*>> children) {
    auto record = std::make_unique<xml_Element>("Record");
    for (const auto& [name, text] : children) record->AddChild(new xml_Element(name, Str(text)));
    return record;
}

std::string Message(const std::function<void()>& call) {
    try {
        call();
    } catch (const Str& message) {
        return message.Data();
    }
    return "";
}

TEST(VocabularyLoad, ReadsTheFirstChildOfTheName) {
    auto record = Record({{"Method", "DBENTITY_Float"}, {"SurveyMethod", "DBENTITY_Fix"},
                          {"SurveyMethod", "DBENTITY_Float"}});
    EXPECT_EQ(load_dbentity_SurveyMethod(record.get(), "SurveyMethod"), 3);
    Str childName("SurveyMethod");
    EXPECT_EQ(load_dbentity_SurveyMethod(record.get(), childName), 3);
    EXPECT_EQ(Message([&] { load_dbentity_SurveyMethod(record.get(), "surveymethod"); }),
              "Invalid dbentity_SurveyMethod name=\"surveymethod\" with value=\"\"");
    EXPECT_EQ(Message([&] { load_dbentity_PointMethod(record.get(), "SurveyMethod"); }),
              "Invalid dbentity_PointMethod name=\"SurveyMethod\" with value=\"DBENTITY_Fix\"");
}

TEST(VocabularyLoad, AbsentOrEmptyChildren) {
    auto record = Record({{"Empty", ""}});
    for (const char* child : {"Empty", "Absent"}) {
        EXPECT_EQ(load_units_Type(record.get(), child), 47);
        EXPECT_EQ(load_dbconfig_DeltasMode(record.get(), child), 4);
        EXPECT_EQ(load_dbentity_ScanMode(record.get(), child), 0);
        EXPECT_EQ(Message([&] { load_dbentity_ScanType(record.get(), child); }),
                  std::string("Invalid dbentity_ScanType name=\"") + child + "\" with value=\"\"");
        EXPECT_EQ(load_dblaser_Features(record.get(), child), 0);
        EXPECT_EQ(load_coordsys_ValuesPresent(record.get(), child), 0);
        EXPECT_TRUE(load_coordsys_CogoSettings(record.get(), child).IsNull());
        EXPECT_EQ(load_DerivationCode(record.get(), child), 0x2020);
    }
}

TEST(VocabularyLoad, FlagSetsAndDerivation) {
    auto record = Record({{"Features", "DBLASER_HasEDM  DBLASER_HasCompass"},
                          {"Cogo", "COORDSYS_CogoSystemSet COORDSYS_CogoAzimuthGrid"},
                          {"Present", "COORDSYS_DistancesPresent"},
                          {"Derivation", "KI"},
                          {"Long", "KIX"}});
    EXPECT_EQ(load_dblaser_Features(record.get(), "Features"), 0x6);
    EXPECT_EQ(load_coordsys_CogoSettings(record.get(), "Cogo").Value(), 0x4);
    EXPECT_EQ(load_coordsys_ValuesPresent(record.get(), "Present"), 0x8);
    EXPECT_EQ(load_DerivationCode(record.get(), "Derivation"), 0x494B);
    EXPECT_EQ(Message([&] { load_DerivationCode(record.get(), "Long"); }),
              "Derivation code is not 2 characters");
    EXPECT_STREQ(save_coordsys_CogoSettings(coordsys_CogoSettings(0x904)).Data(),
                 "COORDSYS_CogoAzimuthGrid COORDSYS_CogoOrthoHeights");
}

// Each named loader reads its own table: the primary name of every value loads.
TEST(VocabularyLoad, EveryNamedLoaderReadsItsOwnTable) {
    int loaders = 0;
#define CHECK_LOADER(type)                                                         \
    for (const auto& n : dbField_##type.names) {                                   \
        auto record = Record({{"Field", n.name}});                                 \
        EXPECT_EQ(load_##type(record.get(), "Field"), n.value) << n.name;          \
    }                                                                              \
    EXPECT_EQ(Message([] { load_##type(Record({{"Field", "x"}}).get(), "Field"); }), \
              "Invalid " #type " name=\"Field\" with value=\"x\"");                \
    ++loaders;
    DBFIELD_WRITTEN_ENUMERATIONS(CHECK_LOADER)
    DBFIELD_READ_ONLY_ENUMERATIONS(CHECK_LOADER)
#undef CHECK_LOADER
    EXPECT_EQ(loaders, 114);
}

TEST(VocabularyLoad, NamedWritersCountAndWriteTheirOwnTable) {
    int writers = 0;
#define CHECK_WRITER(type)                                                               \
    for (const auto& n : dbField_##type.names)                                           \
        EXPECT_STREQ(save_##type(n.value).Data(), dbField_##type.PrimaryName(n.value));  \
    ++writers;
    DBFIELD_WRITTEN_ENUMERATIONS(CHECK_WRITER)
#undef CHECK_WRITER
    EXPECT_EQ(writers, 108);
}

TEST(VocabularyLoad, AMissingParentReadsAsAnAbsentChild) {
    RecordingEnvironment env;
    EXPECT_EQ(load_units_Type(nullptr, "Units"), 47);
    EXPECT_THROW(load_coord_Type(nullptr, "Type"), Str);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"element != nullptr", "element != nullptr"}));
}

} // namespace

namespace {

TEST(VocabularyClassification, CurrentNames) {
    const std::pair<const char*, int32_t> cases[] = {
        {"None", -1}, {"Check", 0}, {"BackSight", 1}, {"Stakeout", 2}, {"Construction", 3},
        {"Normal", 4}, {"MTA", 5}, {"Adjusted", 6}, {"Averaged", 7}, {"NetworkAdjusted", 8},
        {"Control", 9}};
    for (const auto& [name, value] : cases) {
        auto record = Record({{"Classification", name}});
        EXPECT_EQ(load_dbentity_Classification(record.get(), "Classification"), value) << name;
    }
    for (const char* bad : {"DBENTITY_Normal", "normal", "", " Normal"}) {
        EXPECT_EQ(Message([&] { dbField_ClassificationFromText("Class", bad); }),
                  std::string("Invalid dbentity_Classification name=\"Class\" with value=\"") + bad + "\"");
    }
    EXPECT_EQ(Message([] { load_dbentity_Classification(Record({}).get(), "Classification"); }),
              "Invalid dbentity_Classification name=\"Classification\" with value=\"\"");
}

TEST(VocabularyClassification, LegacyNamesCarryTheDeletedState) {
    struct Case {
        const char* text;
        int32_t value;
        bool deleted;
    };
    const Case cases[] = {
        {"DBENTITY_Check", 0, false},          {"DBENTITY_BackSight", 1, false},
        {"DBENTITY_AsBuilt", 2, false},        {"DBENTITY_Construction", 3, false},
        {"DBENTITY_Normal", 4, false},         {"DBENTITY_Control", 9, false},
        {"DBENTITY_DeletedCheck", 0, true},    {"DBENTITY_DeletedBackSight", 1, true},
        {"DBENTITY_DeletedAsBuilt", 2, true},  {"DBENTITY_DeletedConstruction", 3, true},
        {"DBENTITY_DeletedNormal", 4, true},   {"DBENTITY_DeletedControl", 9, true},
    };
    for (const Case& c : cases) {
        db_PointClassification classification;
        bool deleted = !c.deleted;
        load_legacy_dbentity_Classification(c.text, classification, deleted);
        EXPECT_EQ(classification.value, c.value) << c.text;
        EXPECT_EQ(deleted, c.deleted) << c.text;
    }
    // The legacy names know no None, MTA, Adjusted, Averaged or NetworkAdjusted.
    for (const char* bad : {"Normal", "DBENTITY_None", "DBENTITY_MTA", "DBENTITY_Stakeout",
                            "DBENTITY_DeletedAveraged", "dbentity_normal", ""}) {
        db_PointClassification classification(static_cast<dbentity_Classification>(7));
        bool deleted = true;
        EXPECT_EQ(Message([&] { load_legacy_dbentity_Classification(bad, classification, deleted); }),
                  std::string("Invalid load_legacy_dbentity_Classification name=\"Classification\" "
                              "with value=\"") + bad + "\"");
        EXPECT_EQ(classification.value, 7) << "untouched on failure";
        EXPECT_TRUE(deleted);
    }
}

} // namespace

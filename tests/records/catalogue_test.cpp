#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "records/dbRecord.h"
#include "records/dbRecordTypes.h"

namespace {

std::set<int> CodesWith(uint8_t flag) {
    std::set<int> codes;
    for (int t = 0; t < DATABASE_AllRecords; ++t) {
        if (dbRecord_GetTypeInfo(t).Is(flag)) codes.insert(t);
    }
    return codes;
}

TEST(RecordCatalogue, EveryCodeHasItsRowAndClass) {
    for (int t = 0; t < DATABASE_AllRecords; ++t) {
        const dbRecordTypeInfo& info = dbRecord_GetTypeInfo(t);
        EXPECT_EQ(info.type, t);
        EXPECT_EQ(std::string(info.className).rfind("db_", 0), 0u) << t;
    }
    EXPECT_EQ(dbRecord_GetTypeInfo(DATABASE_AllRecords).type, DATABASE_AllRecords);
    EXPECT_STREQ(dbRecord_GetTypeInfo(DATABASE_AllRecords).className, "");
}

TEST(RecordCatalogue, CodesOutsideTheTableGetAnEmptyRow) {
    for (int t : {-1, 163, 164, 65535}) {
        const dbRecordTypeInfo& info = dbRecord_GetTypeInfo(t);
        EXPECT_EQ(info.type, DATABASE_NoRecordType);
        EXPECT_STREQ(info.valueName, "");
        EXPECT_EQ(info.flags, 0);
        EXPECT_EQ(info.create, nullptr);
    }
    EXPECT_TRUE(dbRecord_IsRecordType(0));
    EXPECT_TRUE(dbRecord_IsRecordType(161));
    EXPECT_FALSE(dbRecord_IsRecordType(162));
    EXPECT_FALSE(dbRecord_IsRecordType(-1));
}

TEST(RecordCatalogue, NamesOfSampleRows) {
    struct Row {
        int code;
        const char* value;
        const char* cls;
    } rows[] = {
        {0, "DATABASE_JobHeaderRecord", "db_JobHeader"},
        {22, "DATABASE_AtmosphereRecord", "db_TotalAtmosphere"},
        {62, "DATABASE_MeterologicalRecord", "db_Meterological"},
        {69, "DATABASE_ConfigStakeOutRecord", "db_StakeOut"},
        {101, "", "db_CrossSectionNode"},
        {137, "", "db_Foreign"},
        {156, "DATABASE_3DAxesRecord", "db_3DAxes"},
        {161, "", "db_Descriptions"},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ(dbRecord_GetTypeInfo(r.code).valueName, r.value) << r.code;
        EXPECT_STREQ(dbRecord_GetTypeInfo(r.code).className, r.cls) << r.code;
    }
}

// The five query columns, each as the full set of codes answering true.
TEST(RecordCatalogue, QueryColumns) {
    std::set<int> measurement;
    for (int t = 8; t <= 19; ++t) measurement.insert(t);
    EXPECT_EQ(CodesWith(DBTYPE_Measurement), measurement);
    EXPECT_EQ(CodesWith(DBTYPE_HasDeletedFlag), (std::set<int>{2, 3, 4, 113}));
    EXPECT_EQ(CodesWith(DBTYPE_Persisted),
              (std::set<int>{32, 33, 34, 35, 36, 37, 38, 47, 50, 51, 69, 76, 79, 81, 115, 117,
                             118, 119, 120, 148}));
    EXPECT_EQ(CodesWith(DBTYPE_DefaultRequired),
              (std::set<int>{32, 33, 34, 35, 36, 37, 47, 50, 51, 79, 81}));
    EXPECT_EQ(CodesWith(DBTYPE_InvalidatesPositions),
              (std::set<int>{22, 23, 25, 26, 32, 33, 34, 36, 37, 41, 42, 43, 44, 62, 79, 81, 108,
                             127, 143, 149, 152, 157}));
}

// Every registered factory makes a record that answers its own code.
TEST(RecordCatalogue, FactoriesAnswerTheirCode) {
    int registered = 0;
    for (int t = 0; t < DATABASE_AllRecords; ++t) {
        const dbRecordTypeInfo& info = dbRecord_GetTypeInfo(t);
        if (!info.create) continue;
        ++registered;
        std::unique_ptr<dbRecord_Class> record(info.create());
        ASSERT_NE(record, nullptr) << t;
        EXPECT_EQ(record->GetType(), t);
        EXPECT_EQ(record->IsMeasurement(), info.Is(DBTYPE_Measurement)) << t;
        EXPECT_EQ(record->IsPersisted(), info.Is(DBTYPE_Persisted)) << t;
        EXPECT_EQ(record->IsDefaultRequired(), info.Is(DBTYPE_DefaultRequired)) << t;
        EXPECT_EQ(record->InvalidatesPositions(), info.Is(DBTYPE_InvalidatesPositions)) << t;
    }
    EXPECT_GE(registered, 2);
}

}  // namespace

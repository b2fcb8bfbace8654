// The dispatcher's element table and the "rec" check.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "support/thrown.h"

namespace {

TEST(ElementTableTest, HoldsTheRecordElementNamesOnceEach) {
    const auto table = writejob_ElementTable();
    EXPECT_EQ(table.size(), 177u);
    std::set<std::string> names;
    for (const writejob_ElementHandler& entry : table) {
        SCOPED_TRACE(entry.name);
        EXPECT_TRUE(names.insert(entry.name).second);
        EXPECT_EQ(std::string(entry.name).rfind("DATABASE_", 0), 0u);
        EXPECT_EQ(writejob_FindElement(Str(entry.name), table), &entry);
    }
    // The job header is not among them: a second header element is ignored.
    EXPECT_EQ(names.count("DATABASE_JobHeaderRecord"), 0u);
    EXPECT_EQ(names.count("DATABASE_JobRecord"), 0u);
}

TEST(ElementTableTest, NamesCompareExactly) {
    const auto table = writejob_ElementTable();
    for (const char* name : {"DATABASE_pointRecord", "DATABASE_PointRecord ", "DATABASE_Point", "", "database_PointRecord",
                             "DATABASE_JobHeaderRecord", "DATABASE_PointRecordX", "DATABASE_3DAxesRecor"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(writejob_FindElement(Str(name), table), nullptr);
    }
    // A table given by the caller is searched as given.
    const writejob_ElementHandler own[] = {{"B", nullptr, nullptr}, {"A", "db_A", nullptr}};
    EXPECT_EQ(writejob_FindElement(Str("A"), own), &own[1]);
    EXPECT_EQ(writejob_FindElement(Str("C"), own), nullptr);
}

TEST(ElementTableTest, RecValues) {
    const auto table = writejob_ElementTable();
    struct Case {
        const char* name;
        const char* rec;
    };
    const Case cases[] = {
        // "db_" and the name without its prefix and "Record" suffix...
        {"DATABASE_PointKeyinRecord", "db_PointKeyin"},
        {"DATABASE_RoadAvailableStations", "db_RoadAvailableStations"},
        {"DATABASE_CrossSectionReport", "db_CrossSectionReport"},
        {"DATABASE_PointRecord", "db_Point"},
        {"DATABASE_TimeStampRecord", "db_TimeStamp"},
        {"DATABASE_3DAxesRecord", "db_3DAxes"},
        // ...but for the names the export gives another class name.
        {"DATABASE_AtmosphereRecord", "db_TotalAtmosphere"},
        {"DATABASE_BackBearingRecord", "db_TotalBackBearing"},
        {"DATABASE_InstrumentRecord", "db_TotalInstrument"},
        {"DATABASE_StationRecord", "db_TotalStation"},
        {"DATABASE_TargetRecord", "db_Target"},
        {"DATABASE_Target1Record", "db_TotalTarget1"},
        {"DATABASE_Target2Record", "db_TotalTarget2"},
        {"DATABASE_TargetSystemRecord", "db_TotalTargetSystem"},
        {"DATABASE_ContPointsRecord", "db_ContinuousPoints"},
        {"DATABASE_ConfigStakeOutRecord", "db_StakeOut"},
        {"DATABASE_RTKContRecord", "db_RTKControl"},
        {"DATABASE_CoordSysControlRecord", "db_CoordSystemControl"},
        {"DATABASE_RoadCatchDeltaRecord", "db_RoadCatchDeltas"},
        {"DATABASE_ResectResidualRecord", "db_ResectResiduals"},
        {"DATABASE_StationSetupResidualRecord", "db_StationSetupResiduals"},
        {"DATABASE_TraverseHeaderRecord", "db_Traverse"},
        {"DATABASE_EndStyleRecord", "db_EndSurveyStyle"},
        {"DATABASE_AttachedFilesRecord", "db_AttachedFilesList"},
        {"DATABASE_EndEntityRecord", "db_EndEntity"},
        {"DATABASE_NoteRecord", "db_Note"},
        // Road definitions check none; the feature element's depends on the version.
        {"DATABASE_RoadHeaderRecord", nullptr},
        {"DATABASE_TmpltBatterRecord", nullptr},
        {"DATABASE_FeatureAttribDataRecord", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const writejob_ElementHandler* entry = writejob_FindElement(Str(c.name), table);
        ASSERT_NE(entry, nullptr);
        if (c.rec)
            EXPECT_STREQ(entry->rec, c.rec);
        else
            EXPECT_EQ(entry->rec, nullptr);
    }
    int withoutRec = 0;
    for (const writejob_ElementHandler& entry : table) withoutRec += entry.rec == nullptr;
    EXPECT_EQ(withoutRec, 19);
}

TEST(RecCheckTest, MissingOrWrongValues) {
    struct Case {
        const char* rec;  // null: no attribute
        const char* thrown;
    };
    const Case cases[] = {
        {"db_Note", ""},
        {nullptr, "missing rec=\"db_Note\""},
        {"", "wrong rec sttribute:  instead of db_Note"},
        {"db_note", "wrong rec sttribute: db_note instead of db_Note"},
        {"db_Note ", "wrong rec sttribute: db_Note  instead of db_Note"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rec ? c.rec : "(absent)");
        xml_Element element("DATABASE_NoteRecord");
        if (c.rec) element.AddAttribute(new xml_Attribute(Str("rec"), Str(c.rec)));
        EXPECT_EQ(Thrown([&] { writejob_CheckRecAttribute(&element, "db_Note"); }), c.thrown);
    }
}

}  // namespace

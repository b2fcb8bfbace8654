#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobdb/dbJob.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/jobdb_fixture.h"
#include "platform/time.h"
#include "records/coordsysdefs.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

using namespace jobdb_test;

namespace {

class RecordCallsTest : public ::testing::Test {
protected:
    RecordCallsTest() {
        platform_FixTime(1700000000);
        EXPECT_TRUE(job.Create((folder / "job.job").c_str(), "Calls", false));
        access = job.GetAccess();
        env.Clear();
    }
    ~RecordCallsTest() override {
        if (job.GetAccess()) job.Close();
    }

    TempFolder folder;
    RecordingEnvironment env;
    JobDatabase job;
    dbAccess* access = nullptr;
};

TEST_F(RecordCallsTest, AppendSetsOnlyTheRecordId) {
    db_Plane plane;
    plane.Plane.OriginEast = 7;
    plane.SetTimeStamp(1234.0);
    EXPECT_EQ(dbRecord_AppendGrouped(access, &plane), DBID(2));
    EXPECT_EQ(plane.GetRecordId(), DBID(2));
    EXPECT_EQ(plane.GetTimeStamp(), 1234.0);
    EXPECT_EQ(plane.Plane.OriginEast, 7);
    // The same object again: a second record, and the object ends with its id.
    EXPECT_EQ(dbRecord_AppendGrouped(access, &plane), DBID(3));
    EXPECT_EQ(plane.GetRecordId(), DBID(3));
    EXPECT_NE(access->GetRecord(DBID(2)), access->GetRecord(DBID(3)));
    EXPECT_NE(access->GetRecord(DBID(2))->GetTimeStamp(), 1234.0) << "the stored copy is stamped";
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(RecordCallsTest, PlainCallsJoinTheCallersGroup) {
    db_Note note;
    access->BeginGroupNested();
    EXPECT_EQ(dbRecord_Append(access, &note), DBID(2));
    EXPECT_EQ(dbRecord_InsertBefore(access, DBID(1), &note), DBID(3));
    EXPECT_EQ(access->GetRecord(DBID(2)), nullptr);
    access->EndGroupNested();
    EXPECT_EQ(access->GetFirstId(), DBID(3));
    EXPECT_EQ(access->GetNextId(DBID(1)), DBID(2));
}

TEST_F(RecordCallsTest, ReplaceReturnsItsPositionAndInsertANewId) {
    db_Plane plane;
    plane.Plane.Rotation = 1;
    plane.SetTimeStamp(100.0);
    access->DisableTimeStamps();
    dbRecord_AppendGrouped(access, &plane);
    plane.Plane.Rotation = 2;
    plane.SetTimeStamp(200.0);
    EXPECT_EQ(dbRecord_ReplaceAtGrouped(access, DBID(2), &plane), DBID(2));
    const dbRecord_Class* stored = access->GetRecord(DBID(2));
    EXPECT_TRUE(stored->IsEqual(plane));
    EXPECT_EQ(stored->GetTimeStamp(), 100.0) << "a replaced record keeps its stored timestamp";

    db_Note note;
    EXPECT_EQ(dbRecord_InsertBeforeGrouped(access, DBID(2), &note), DBID(3));
    EXPECT_EQ(access->GetNextId(DBID(3)), DBID(2));
}

// A record of a type no reader knows (db_Radio and db_Survey answer 163 until their own
// constructors run).
class UntypedRecord : public dbRecord_Body<UntypedRecord> {
public:
    static constexpr database_RecordType RecordType = DATABASE_NoRecordType;
    using Fields = dbfield_List<>;
};

// A measurement stored as a record of the chain would stand alone, apart from its point,
// and a record of an unknown type could not be read back: both are refused after their
// report, where storing them anyway would damage the job.
TEST_F(RecordCallsTest, RefusedStoresLeaveTheRecordAlone) {
    TestMeasurement measurement;
    measurement.SetRecordId(DBID(42));
    EXPECT_EQ(dbRecord_Append(access, nullptr), NODBID);
    EXPECT_EQ(dbRecord_AppendGrouped(access, &measurement), NODBID);
    EXPECT_EQ(dbRecord_InsertBefore(access, DBID(1), &measurement), NODBID);
    EXPECT_EQ(dbRecord_ReplaceAt(access, DBID(1), &measurement), NODBID);
    EXPECT_EQ(dbRecord_ReplaceAt(access, DBID(1), nullptr), NODBID);
    EXPECT_EQ(measurement.GetRecordId(), DBID(42));
    EXPECT_EQ(env.Expressions(),
              (std::vector<std::string>{"record != NULL", "!record->IsMeasurement ()", "!record->IsMeasurement ()",
                                        "!record->IsMeasurement ()", "record != NULL"}));
    env.Clear();
    UntypedRecord untyped;
    EXPECT_EQ(dbRecord_AppendGrouped(access, &untyped), NODBID);
    EXPECT_EQ(dbRecord_InsertBefore(access, DBID(1), &untyped), NODBID);
    EXPECT_EQ(untyped.GetRecordId(), NODBID);
    const std::string typeText = "record->GetType () >= DATABASE_JobHeaderRecord && record->GetType () < DATABASE_AllRecords";
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{typeText, typeText}));
    EXPECT_EQ(access->GetNextId(DBID(1)), NODBID);
    // Nothing was taken from the id counter.
    db_Note note;
    EXPECT_EQ(dbRecord_AppendGrouped(access, &note), DBID(2));
}

TEST_F(RecordCallsTest, JobHeaderAndTypes) {
    db_JobHeader header;
    EXPECT_EQ(dbRecord_ReadJobHeader(access, &header), DBID(1));
    EXPECT_EQ(header.JobName, Str("Calls"));
    EXPECT_EQ(header.GetTimeStamp(), access->GetRecord(DBID(1))->GetTimeStamp());

    db_Note note;
    dbRecord_AppendGrouped(access, &note);
    EXPECT_EQ(dbRecord_GetTypeAt(access, DBID(1)), DATABASE_JobHeaderRecord);
    EXPECT_EQ(dbRecord_GetTypeAt(access, DBID(2)), DATABASE_NoteRecord);
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(dbRecord_GetTypeAt(access, DBID(9)), DATABASE_NoRecordType);
    EXPECT_EQ(dbRecord_GetTypeAt(access, NODBID), DATABASE_NoRecordType);
    EXPECT_EQ(dbRecord_GetTypeAt(nullptr, DBID(1)), DATABASE_NoRecordType);
    EXPECT_EQ(env.Expressions(),
              (std::vector<std::string>{"type >= DATABASE_JobHeaderRecord && type < DATABASE_AllRecords",
                                        "position != NODBID",
                                        "type >= DATABASE_JobHeaderRecord && type < DATABASE_AllRecords",
                                        "database != NULL"}));
}

TEST_F(RecordCallsTest, LoadLatestCopiesTheNewestOfItsType) {
    db_Plane loaded;
    loaded.Plane.ScaleFactor = 9;
    EXPECT_FALSE(loaded.LoadLatest(access));
    EXPECT_EQ(loaded.Plane.ScaleFactor, 9) << "unchanged when the job holds none";

    db_Plane plane;
    for (double scale : {1.0, 2.0}) {
        plane.Plane.ScaleFactor = scale;
        dbRecord_AppendGrouped(access, &plane);
    }
    ASSERT_TRUE(loaded.LoadLatest(access));
    EXPECT_EQ(loaded.Plane.ScaleFactor, 2.0);
    EXPECT_EQ(loaded.GetRecordId(), DBID(3));
}

TEST_F(RecordCallsTest, ObservationsAreUpdatedInPlaceAndTakeTheirMeasurement) {
    access->DisableTimeStamps();
    db_Observation point;
    point.PointName = "P1";
    point.SetTimeStamp(100.0);
    ASSERT_EQ(dbRecord_AppendGrouped(access, &point), DBID(2));
    db_Grid grid;
    grid.Grid.North = 5000.0;
    EXPECT_EQ(access->ApplyInGroup(DBID(2), &grid), DBID(3)) << "an apply takes an id";

    point.PointName = "P1 renamed";
    point.SetTimeStamp(200.0);
    EXPECT_EQ(dbRecord_ReplaceAtGrouped(access, DBID(2), &point), DBID(2));
    const db_Observation* stored = db_Observation::Cast(access->GetRecord(DBID(2)));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->PointName, Str("P1 renamed"));
    EXPECT_EQ(stored->GetTimeStamp(), 200.0) << "an observation takes the new timestamp";
    ASSERT_NE(stored->GetMeasurement(), nullptr);
    EXPECT_EQ(access->GetNextId(DBID(2)), NODBID) << "the measurement never enters the chain";
    ASSERT_TRUE(job.Close());

    // Replayed, the observation holds its measurement again, and ids continue above
    // the apply's.
    JobDatabase reopened;
    ASSERT_TRUE(reopened.Open((folder / "job.job").c_str(), true));
    const db_Observation* read = db_Observation::Cast(reopened.GetAccess()->GetRecord(DBID(2)));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->PointName, Str("P1 renamed"));
    const db_Grid* measurement = db_Grid::Cast(read->GetMeasurement());
    ASSERT_NE(measurement, nullptr);
    EXPECT_EQ(measurement->Grid.North, 5000.0);
    db_Note note;
    EXPECT_EQ(dbRecord_AppendGrouped(reopened.GetAccess(), &note), DBID(4));
    EXPECT_TRUE(reopened.Close());
}

}  // namespace

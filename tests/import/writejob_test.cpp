// The job writer's state, its version gates and the second pass over a job built here.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "import/writejob.h"
#include "import/writejob_fixers.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbRecordCalls.h"
#include "records/entities.h"
#include "records/localtransform.h"
#include "records/measurements.h"
#include "records/stakeoutsettings.h"
#include "records/traverse.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

TEST(JobWriterState, ConstructionTakesTheVersionOfItsProduct) {
    JobWriter main(nullptr, "Quorvel Zentrovane", 1245);
    EXPECT_EQ(main.mainVersion, 1245);
    EXPECT_EQ(main.tessalineVersion, 0);
    EXPECT_EQ(main.current, NODBID);
    EXPECT_FALSE(main.inRoad);
    EXPECT_EQ(main.queuedNotes.Count(), 0);
    EXPECT_EQ(main.pendingDistanceOffset, nullptr);
    EXPECT_EQ(main.pendingLinearDesign, nullptr);
    EXPECT_EQ(main.FindRecordId(1), NODBID);

    JobWriter second(nullptr, "Quorvel Tessaline", 600);
    EXPECT_EQ(second.mainVersion, 0);
    EXPECT_EQ(second.tessalineVersion, 600);
    // The product name is compared exactly.
    for (const char* product : {"quorvel tessaline", "Quorvel Tessaline ", "", "Tessaline"}) {
        JobWriter other(nullptr, product, 600);
        EXPECT_EQ(other.mainVersion, 600) << product;
        EXPECT_EQ(other.tessalineVersion, 0) << product;
    }
}

// The gates on one export: (product, version).
struct Export {
    const char* product;
    int version;
};

std::vector<Export> Exports() {
    std::vector<Export> exports = {{"", 0}, {"Quorvel Tessaline", 0}};
    for (int v : {1, 1099, 1100, 1119, 1120, 1129, 1130, 1199, 1200, 1219, 1220, 1239, 1240, 1244, 1245, 1300})
        exports.push_back({"Quorvel Zentrovane", v});
    for (int t : {1, 499, 500, 599, 600, 700}) exports.push_back({"Quorvel Tessaline", t});
    return exports;
}

TEST(JobWriterGates, EveryGateAroundEveryThreshold) {
    const std::pair<int, int> fromThresholds[] = {{1100, 500}, {1120, 500}, {1130, 500}, {1200, 500},
                                                  {1200, 600}, {1220, 600}, {1240, 600}};
    const std::pair<int, int> beforeThresholds[] = {{1220, 600}, {1240, 600}};
    for (const Export& e : Exports()) {
        JobWriter writer(nullptr, e.product, e.version);
        const bool second = std::strcmp(e.product, "Quorvel Tessaline") == 0;
        const int v = second ? 0 : e.version;
        const int t = second ? e.version : 0;
        const std::string what = std::string(e.product) + " " + std::to_string(e.version);
        for (auto [T, F] : fromThresholds) {
            const bool expected = second ? t >= F : v >= T;
            EXPECT_EQ(writer.IsVersionFrom(T, F), expected) << what << " from " << T << "/" << F;
        }
        for (auto [T, F] : beforeThresholds) {
            const bool expected = second ? (t > 0 && t < F) : (v > 0 && v < T);
            EXPECT_EQ(writer.IsVersionBefore(T, F), expected) << what << " before " << T << "/" << F;
        }
        for (int T : {1100, 1120}) {
            EXPECT_EQ(writer.IsMainVersionBefore(T), !second && v > 0 && v < T) << what << " main before " << T;
        }
        EXPECT_EQ(writer.IsMainVersionBelow1245(), second || v < 1245) << what;
    }
    // A missing version: the oldest layout for "from", the newest for "before".
    JobWriter none(nullptr, "", 0);
    EXPECT_FALSE(none.IsVersionFrom(1100, 500));
    EXPECT_FALSE(none.IsVersionBefore(1240, 600));
    EXPECT_FALSE(none.IsMainVersionBefore(1100));
    EXPECT_TRUE(none.IsMainVersionBelow1245());
    // Spot values around the thresholds, written out.
    EXPECT_FALSE(JobWriter(nullptr, "", 1099).IsVersionFrom(1100, 500));
    EXPECT_TRUE(JobWriter(nullptr, "", 1100).IsVersionFrom(1100, 500));
    EXPECT_FALSE(JobWriter(nullptr, "Quorvel Tessaline", 499).IsVersionFrom(1100, 500));
    EXPECT_TRUE(JobWriter(nullptr, "Quorvel Tessaline", 500).IsVersionFrom(1100, 500));
    EXPECT_TRUE(JobWriter(nullptr, "", 1239).IsVersionBefore(1240, 600));
    EXPECT_FALSE(JobWriter(nullptr, "", 1240).IsVersionBefore(1240, 600));
    EXPECT_TRUE(JobWriter(nullptr, "Quorvel Tessaline", 599).IsVersionBefore(1220, 600));
    EXPECT_FALSE(JobWriter(nullptr, "Quorvel Tessaline", 600).IsVersionBefore(1220, 600));
    EXPECT_TRUE(JobWriter(nullptr, "", 1244).IsMainVersionBelow1245());
    EXPECT_FALSE(JobWriter(nullptr, "", 1245).IsMainVersionBelow1245());
}

TEST(JobWriterIdMap, ResolvesReferences) {
    JobWriter writer(nullptr, "", 1245);
    writer.MapRecordId(5, DBID(10));
    writer.MapRecordId(5005, DBID(11));
    writer.MapRecordId(7, DBID(12));
    writer.MapRecordId(7, DBID(13));  // two elements with one ID: the later one counts
    writer.MapRecordId(8, DBID(14));
    writer.MapRecordId(8, NODBID);    // a later element mapped to no record
    struct {
        uint32_t xmlId;
        uint32_t resolved;
    } cases[] = {{0, 0}, {5, 10}, {5005, 11}, {7, 13}, {8, 0}, {9, 0}};
    for (const auto& c : cases) {
        DBID field(c.xmlId);
        writer.ResolveReference("Reference", field);
        EXPECT_EQ(field, DBID(c.resolved)) << c.xmlId;
    }
}

// One journal frame: operation, target and the record id in the record's header.
struct Action {
    uint16_t operation;
    uint32_t target;
    uint32_t recordId;
    bool operator==(const Action&) const = default;
};

void PrintTo(const Action& a, std::ostream* os) {
    *os << "{" << a.operation << ", " << a.target << ", " << a.recordId << "}";
}

std::vector<Action> Actions(const std::string& file) {
    std::vector<Action> out;
    auto u32 = [&](size_t p) {
        uint32_t v = 0;
        std::memcpy(&v, file.data() + p, 4);
        return v;
    };
    for (size_t at = 48; at + 4 <= file.size();) {
        uint32_t length = u32(at);
        if (length < 12 || at + 4 + length > file.size()) break;
        uint16_t operation;
        std::memcpy(&operation, file.data() + at + 5, 2);
        out.push_back({operation, u32(at + 7), u32(at + 13)});
        at += 4 + length;
    }
    return out;
}

class SecondPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(job.Create(path.c_str(), "Job", true));
        job.GetAccess()->SetAutoGroup();
        writer = std::make_unique<JobWriter>(&job, "", 1245);
    }
    void TearDown() override {
        writer.reset();
        if (job.IsOpen()) job.Close();
    }
    // Stores a record as the conversion does and enters its XML ID.
    DBID Store(dbRecord_Class& record, uint32_t xmlId) {
        DBID id = dbRecord_Append(job.GetAccess(), &record);
        writer->MapRecordId(xmlId, id);
        return id;
    }
    template <class R>
    const R& Stored(DBID id) {
        return *R::Cast(job.GetAccess()->GetRecord(id));
    }
    // The actions written after the first `skip` ones, once the job is closed.
    std::vector<Action> ActionsAfter(size_t skip) {
        EXPECT_TRUE(job.Close());
        std::vector<Action> all = Actions(TempFolder::Read(path));
        return std::vector<Action>(all.begin() + static_cast<long>(std::min(skip, all.size())), all.end());
    }

    TempFolder folder;
    RecordingEnvironment env;
    std::string path = folder / "job.job";
    JobDatabase job;
    std::unique_ptr<JobWriter> writer;
};

constexpr uint16_t kReplace = 10801;
constexpr uint16_t kApply = 10803;

TEST_F(SecondPassTest, ReplacesEachRecordOfAListedTypeInPlace) {
    db_MeanTurnedAngleResiduals residuals;  // id 2
    residuals.Observation = DBID(0x100);
    residuals.MeanTurnedAngle = DBID(0x999);  // never entered: becomes 0
    db_PointKeyin keyin;  // id 3
    keyin.VerticalPlaneIntersectionStation = DBID(0x101);
    keyin.VerticalPlaneIntersectionBackBearing = NODBID;
    db_Note note;  // id 4: no references
    note.SetNotes("n");
    db_StationSetupResiduals setup;  // id 5
    setup.Observation = DBID(0x102);
    setup.MeanTurnedAngle = DBID(0x101);
    db_TraverseClosure closure;  // id 6: unchanged, still written back
    closure.TraversePtr = NODBID;

    EXPECT_EQ(Store(residuals, 0x100), DBID(2));
    EXPECT_EQ(Store(keyin, 0x101), DBID(3));
    EXPECT_EQ(Store(note, 0x102), DBID(4));
    EXPECT_EQ(Store(setup, 0x103), DBID(5));
    EXPECT_EQ(Store(closure, 0x104), DBID(6));
    const double stamp = Stored<db_PointKeyin>(DBID(3)).GetTimeStamp();

    writer->FixDatabasePointers();

    EXPECT_EQ(Stored<db_MeanTurnedAngleResiduals>(DBID(2)).Observation, DBID(2));
    EXPECT_EQ(Stored<db_MeanTurnedAngleResiduals>(DBID(2)).MeanTurnedAngle, NODBID);
    EXPECT_EQ(Stored<db_PointKeyin>(DBID(3)).VerticalPlaneIntersectionStation, DBID(3));
    EXPECT_EQ(Stored<db_PointKeyin>(DBID(3)).VerticalPlaneIntersectionBackBearing, NODBID);
    EXPECT_EQ(Stored<db_PointKeyin>(DBID(3)).GetTimeStamp(), stamp);
    EXPECT_EQ(Stored<db_StationSetupResiduals>(DBID(5)).Observation, DBID(4));
    EXPECT_EQ(Stored<db_StationSetupResiduals>(DBID(5)).MeanTurnedAngle, DBID(3));
    // The chain keeps its order and the note is untouched.
    dbAccess* access = job.GetAccess();
    std::vector<uint32_t> chain;
    for (DBID id = access->GetFirstId(); id != NODBID; id = access->GetNextId(id)) chain.push_back(id.Value());
    EXPECT_EQ(chain, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));

    const std::vector<Action> expected = {
        {kReplace, 2, 2}, {kReplace, 3, 3}, {kReplace, 5, 5}, {kReplace, 6, 6}};
    EXPECT_EQ(ActionsAfter(6), expected);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(SecondPassTest, EveryResidualOfAnAverageIsResolvedAndTheRecordReplacedOnce) {
    db_Note first, second;
    ASSERT_EQ(Store(first, 0x30), DBID(2));
    ASSERT_EQ(Store(second, 0x31), DBID(3));
    db_AverageResiduals average;  // id 4
    average.SetNumberOfResiduals(4);
    const uint32_t xmlIds[] = {0x31, 0x77, 0x30, 0};  // 0x77 was never entered
    for (int i = 0; i < 4; ++i) {
        average.GetResidual(i)->ObservationID = DBID(xmlIds[i]);
        average.GetResidual(i)->SetNotes("kept");
    }
    db_AverageResiduals empty;  // id 5: no residuals, still written back
    empty.SetNumberOfResiduals(-1);
    ASSERT_EQ(Store(average, 0x32), DBID(4));
    ASSERT_EQ(Store(empty, 0x33), DBID(5));

    writer->FixDatabasePointers();

    const db_AverageResiduals& fixed = Stored<db_AverageResiduals>(DBID(4));
    ASSERT_EQ(fixed.GetNumberOfResiduals(), 4);
    const uint32_t expectedIds[] = {3, 0, 2, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fixed.GetResidual(i)->ObservationID, DBID(expectedIds[i])) << i;
        EXPECT_EQ(fixed.GetResidual(i)->GetNotes(), "kept");
    }
    EXPECT_EQ(Stored<db_AverageResiduals>(DBID(5)).GetNumberOfResiduals(), -1);
    const std::vector<Action> expected = {{kReplace, 4, 4}, {kReplace, 5, 5}};
    EXPECT_EQ(ActionsAfter(5), expected);
    EXPECT_TRUE(env.assertions.empty());
}

// An observation stored with its measurement attached.
DBID StoreObservation(JobDatabase& job, JobWriter& writer, const char* name, const db_Measurement* measurement,
                      uint32_t xmlId) {
    db_Observation observation;
    observation.PointName = name;
    if (measurement) observation.AttachMeasurement(measurement);
    DBID id = dbRecord_Append(job.GetAccess(), &observation);
    writer.MapRecordId(xmlId, id);
    return id;
}

TEST_F(SecondPassTest, AnObservationsMeasurementIsAppliedAgain) {
    db_Note target;
    ASSERT_EQ(Store(target, 0xA0), DBID(2));
    db_Circle circle;
    circle.Station = DBID(0xA0);
    ASSERT_EQ(StoreObservation(job, *writer, "P1", &circle, 0xA1), DBID(3));
    ASSERT_EQ(StoreObservation(job, *writer, "P2", nullptr, 0xA2), DBID(4));  // no measurement
    db_Grid grid;  // a measurement type the table does not list
    ASSERT_EQ(StoreObservation(job, *writer, "P3", &grid, 0xA3), DBID(5));
    db_ECEF ecef;
    ecef.Antenna = DBID(0xA1);
    ASSERT_EQ(StoreObservation(job, *writer, "P4", &ecef, 0xA4), DBID(6));
    db_MeanTurnedAngleResiduals residuals;
    residuals.Observation = DBID(0xA4);
    ASSERT_EQ(Store(residuals, 0xA5), DBID(7));

    writer->FixDatabasePointers();

    EXPECT_EQ(writer->current, DBID(6));
    EXPECT_EQ(Stored<db_MeanTurnedAngleResiduals>(DBID(7)).Observation, DBID(6));
    // Each apply takes a new id; the observations without a listed measurement are
    // left alone, and no observation is rewritten.
    const std::vector<Action> expected = {{kApply, 3, 8}, {kApply, 6, 9}, {kReplace, 7, 7}};
    EXPECT_EQ(ActionsAfter(7), expected);
}

const writejob_Fixer& Row(int type) {
    for (const writejob_Fixer& fixer : writejob_Fixers)
        if (fixer.type == type) return fixer;
    static const writejob_Fixer none{};
    ADD_FAILURE() << "no row for type " << type;
    return none;
}

TEST(SecondPassRows, MeasurementFieldsResolved) {
    JobWriter writer(nullptr, "", 1245);
    for (uint32_t xmlId = 1; xmlId <= 4; ++xmlId) writer.MapRecordId(xmlId, DBID(static_cast<int>(xmlId * 10)));

    db_ECEFDeltas deltas;
    deltas.Reference = DBID(1);
    deltas.Antenna = DBID(2);
    Row(DATABASE_ECEFDeltasRecord).resolve(writer, deltas);
    EXPECT_EQ(deltas.Reference, DBID(10));
    EXPECT_EQ(deltas.Antenna, DBID(20));

    db_LaserOffset laser;
    laser.BasePoint = DBID(1);
    laser.LaserHeight = DBID(2);
    laser.TargetHeight = DBID(3);
    laser.MagneticDeclination = DBID(9);
    Row(DATABASE_LaserOffsetRecord).resolve(writer, laser);
    EXPECT_EQ(laser.BasePoint, DBID(10));
    EXPECT_EQ(laser.LaserHeight, DBID(20));
    EXPECT_EQ(laser.TargetHeight, DBID(30));
    EXPECT_EQ(laser.MagneticDeclination, NODBID);

    db_Circle circle;
    circle.Station = DBID(1);
    circle.Target = DBID(2);
    circle.BackBearing = DBID(4);
    Row(DATABASE_CircleRecord).resolve(writer, circle);
    EXPECT_EQ(circle.Station, DBID(10));
    EXPECT_EQ(circle.Target, DBID(20));
    EXPECT_EQ(circle.BackBearing, DBID(40));

    db_MeanTurnedAngle mta;
    mta.Station = DBID(4);
    mta.Target = DBID(3);
    mta.BackBearing = DBID(2);
    Row(DATABASE_MeanTurnedAngleRecord).resolve(writer, mta);
    EXPECT_EQ(mta.Station, DBID(40));
    EXPECT_EQ(mta.Target, DBID(30));
    EXPECT_EQ(mta.BackBearing, DBID(20));

    // A row meets only records of its own class.
    db_ECEF ecef;
    ecef.Antenna = DBID(3);
    Row(DATABASE_CircleRecord).resolve(writer, ecef);
    EXPECT_EQ(ecef.Antenna, DBID(3));
    Row(DATABASE_ECEFRecord).resolve(writer, ecef);
    EXPECT_EQ(ecef.Antenna, DBID(30));

    // Measurements are reached only through their observation.
    for (int type : {8, 9, 16, 17, 19}) EXPECT_EQ(Row(type).action, WRITEJOB_FixPart) << type;
    EXPECT_EQ(Row(DATABASE_ObservationRecord).action, WRITEJOB_FixApplyPart);
}

TEST_F(SecondPassTest, AJobWithoutListedTypesPassesUnchanged) {
    db_Note note;
    note.SetNotes("n");
    Store(note, 0x1);
    writer->FixDatabasePointers();
    EXPECT_TRUE(ActionsAfter(2).empty());
}

// A fixer that throws, for the error wrapper.
const writejob_Fixer kThrowing[] = {
    {DATABASE_MeanTurnedAngleResidualsRecord, WRITEJOB_FixReplace,
     [](const JobWriter&, dbRecord_Class&) { throw Str("broken reference"); }, nullptr, nullptr},
};

TEST_F(SecondPassTest, AFailureNamesTheRecordTypeAndPosition) {
    db_Note note;
    for (int i = 0; i < 40; ++i) Store(note, 0x10 + i);  // ids 2 .. 41
    db_MeanTurnedAngleResiduals residuals;
    ASSERT_EQ(Store(residuals, 0x1), DBID(42));
    Store(residuals, 0x2);
    std::string message;
    try {
        writer->FixDatabasePointers(kThrowing);
    } catch (const Str& thrown) {
        message = thrown.Data();
    }
    EXPECT_EQ(message,
              "Error while trying to fix database pointers: \nbroken reference\nrecord type = 020 "
              "at position 0x0000002a");
    EXPECT_TRUE(ActionsAfter(43).empty()) << "the pass stops at the first failure";
}

// An owner whose parts are fixed one by one (as a tunnel list's points are): the
// closure owns one key-in record, held here.
db_PointKeyin gPart;

const writejob_Fixer kOwnerRows[] = {
    {DATABASE_TraverseClosureRecord, WRITEJOB_FixReplaceParts, nullptr,
     [](const dbRecord_Class&) { return 1; },
     [](const dbRecord_Class&, int) -> const dbRecord_Class* { return &gPart; }},
    {DATABASE_PointKeyinRecord, WRITEJOB_FixPart,
     [](const JobWriter& writer, dbRecord_Class& record) {
         writer.ResolveReference("Station", db_PointKeyin::Cast(&record)->VerticalPlaneIntersectionStation);
     },
     nullptr, nullptr},
};

TEST_F(SecondPassTest, PartsAreReplacedAtTheirOwnIdsAndTheOwnerIsNot) {
    db_PointKeyin keyin;
    ASSERT_EQ(Store(keyin, 0x50), DBID(2));
    db_TraverseClosure closure;
    ASSERT_EQ(Store(closure, 0x51), DBID(3));
    gPart = keyin;
    gPart.SetRecordId(DBID(2));
    gPart.VerticalPlaneIntersectionStation = DBID(0x51);
    writer->FixDatabasePointers(kOwnerRows);
    EXPECT_EQ(Stored<db_PointKeyin>(DBID(2)).VerticalPlaneIntersectionStation, DBID(3));
    // The key-in is also reached as a record of its own, but a part row is only used
    // through its owner.
    const std::vector<Action> expected = {{kReplace, 2, 2}};
    EXPECT_EQ(ActionsAfter(3), expected);
}

}  // namespace

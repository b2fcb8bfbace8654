#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "jobdb/jobindex_fixture.h"
#include "records/editactions.h"

// Positions belong to the coordinate geometry, which this test program does not link:
// the job index only passes them on to the registered fills. This stand-in has the one
// member the fills and the option-byte answers below touch.
class position_Class {
public:
    uint8_t option = 0x5A;
};
class position_ReductionRecords {};

namespace {

using Reports = std::vector<std::string>;

constexpr int kMta = db_PointClassification::MTA;
constexpr int kCheck = db_PointClassification::Check;

// A comma-separated point file of named points, with best-point bits as given, for
// attaching to a job index or for putting its items in a job's name selection.
class PointFile : public TestIndex {
public:
    dbObjectRef Add(const char* name, uint32_t status = 0x4) {
        auto* point = new CSVPointObject;
        point->SetName(name);
        dbFilterTriple triple;
        triple.Set(1, 1, status);
        point->SetFilter(triple);
        point->SetFlags(DBOBJECT_StatusComputed);
        const dbObjectRef ref = AddObject(point);
        selection.AddItem(dbSelectionItem(ref));
        selection.SortByName();
        return ref;
    }
};

// What the registered coordinate geometry was asked, and how it answers.
struct GeometryCalls {
    std::vector<std::string> calls;
    // The fills answer true for these texts.
    std::vector<std::string> succeeding;
    const dbIndex* index = nullptr;

    bool Answer(const std::string& call) {
        calls.push_back(call);
        for (const std::string& text : succeeding)
            if (text == call) return true;
        return false;
    }
};
GeometryCalls* g_Calls = nullptr;

std::string Location(const dbObjectRef& ref) {
    return "location " + std::to_string(ref.GetIndexNumber()) + ":" + std::to_string(ref.GetSubscript());
}

std::string RecordCall(DBID id) { return "record " + std::to_string(id.Value()); }

dbJobIndex_CoordinateGeometry RecordingGeometry() {
    dbJobIndex_CoordinateGeometry geometry;
    geometry.FillFromRecordId = [](position_Class* position, dbIndex* index, DBID id) {
        g_Calls->index = index;
        position->option = 0xEE;
        return g_Calls->Answer(RecordCall(id));
    };
    geometry.FillFromIndexLocation = [](position_Class* position, const dbObjectRef& ref) {
        position->option = 0xEE;
        return g_Calls->Answer(Location(ref));
    };
    geometry.GetPositionOption = [](const position_Class* position) { return position->option; };
    geometry.SetPositionOption = [](position_Class* position, uint8_t option) { position->option = option; };
    geometry.GetStationSetup = [](dbAccess*, DBID station, DBID target, DBID backBearing, position_ReductionRecords*) {
        return g_Calls->Answer("setup " + std::to_string(station.Value()) + " " + std::to_string(target.Value()) + " " +
                               std::to_string(backBearing.Value()));
    };
    return geometry;
}

class JobIndexLookups : public JobIndexJobTest {
protected:
    void SetUp() override {
        JobIndexJobTest::SetUp();
        saved = dbJobIndex_GetCoordinateGeometry();
        dbJobIndex_SetCoordinateGeometry(nullptr);
        g_Calls = &calls;
    }
    void TearDown() override {
        dbJobIndex_SetCoordinateGeometry(&saved);
        g_Calls = nullptr;
        JobIndexJobTest::TearDown();
    }
    void RegisterRecordingGeometry() {
        const dbJobIndex_CoordinateGeometry geometry = RecordingGeometry();
        dbJobIndex_SetCoordinateGeometry(&geometry);
    }

    DBID Circle(const char* name, int32_t method, int classification, DBID station, DBID backBearing = NODBID,
                uint16_t derivation = dbRecord_DerivationNone) {
        db_Circle circle;
        circle.Station = station;
        circle.Target = DBID(77);
        circle.BackBearing = backBearing;
        db_Observation point;
        point.PointName = name;
        point.Method = method;
        point.Classification = Classified(classification);
        point.Derivation = derivation;
        return Observe(point, &circle);
    }
    DBID MeanTurnedAngle(const char* name, int32_t method, DBID station) {
        db_MeanTurnedAngle mta;
        mta.Station = station;
        return Point(name, method, kMta, &mta);
    }
    DBID Azimuth(const char* name, const char* source) {
        db_Azimuth azimuth;
        azimuth.SourcePoint = source;
        return Point(name, DBENTITY_AzimuthOnly, kNormal, &azimuth);
    }
    void Delete(DBID id) { job.ApplyBoolAction(id, db_BoolAction::Delete); }
    DBID IdOf(const dbObject* object) { return object ? object->GetRecordId() : NODBID; }
    dbObjectRef Ref(DBID id) { return Index()->FindByRecordId(id); }

    dbJobIndex_CoordinateGeometry saved;
    GeometryCalls calls;
};

// ---------------------------------------------------------------- best of a selection

TEST_F(JobIndexLookups, FindBestOverTheItemsOfAName) {
    // A live point older than a deleted better one.
    const DBID liveGnss = Gnss("DL");
    Delete(KeyedIn("DL"));
    // Every point deleted.
    Delete(Gnss("AD"));
    Delete(KeyedIn("AD"));
    // Hidden methods are never chosen, whatever they measured.
    db_Grid grid;
    Point("H", DBENTITY_MatchedPairHidden, kNormal, &grid);
    const DBID visible = Gnss("H", kCheck);
    Point("H", DBENTITY_MeanTurnedAngleHidden, kMta, &grid);
    Point("HO", DBENTITY_MatchedPairHidden, kNormal, &grid);
    // Items that are not points are taken without comparison: the oldest one wins.
    const DBID oldestLine = Line("LP", "A", "B");
    KeyedIn("LP");
    const DBID olderPoint = KeyedIn("PL");
    Line("PL", "A", "B");

    struct Case {
        const char* name;
        DBID best;
    };
    const Case cases[] = {
        {"DL", liveGnss}, {"AD", NODBID}, {"H", visible}, {"HO", NODBID}, {"LP", oldestLine}, {"PL", olderPoint},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dbSelection items;
        ASSERT_TRUE(Index()->SelectByName(c.name, DATABASE_AllRecords, items));
        int item = 99;
        EXPECT_EQ(Index()->FindBest(items, item), c.best != NODBID);
        EXPECT_EQ(item == -1 ? NODBID : items.GetRecordId(item), c.best);
        EXPECT_EQ(IdOf(Index()->FindBestObject(items)), c.best);
    }
    dbSelection none;
    int item = 5;
    EXPECT_FALSE(Index()->FindBest(none, item));
    EXPECT_EQ(item, -1);
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();
}

TEST_F(JobIndexLookups, BestPointOfEachMeasurementCategory) {
    db_ECEF ecef;
    const DBID gnssCheck = Gnss("C", kCheck);
    const DBID reading = Circle("C", DBENTITY_DirectReading, kNormal, DBID(90));
    db_LocalTransformedGrid local;
    const DBID localGrid = Point("C", DBENTITY_Coordinates, db_PointClassification::Control, &local);
    const DBID azimuth = Azimuth("C", "B");
    const DBID newerGnss = Point("C", DBENTITY_GpsStaticObs, kNormal, &ecef);
    const DBID onlyAzimuth = Azimuth("Z", "B");
    (void)gnssCheck;
    (void)azimuth;

    using Find = ObservationObject* (dbJobIndex::*)(const char*);
    struct Case {
        const char* what;
        Find find;
        DBID c, z;
    };
    const Case cases[] = {
        {"position", &dbJobIndex::FindBestPointObject, localGrid, NODBID},
        {"GNSS", &dbJobIndex::FindBestGnssPoint, newerGnss, NODBID},
        {"grid", &dbJobIndex::FindBestGridPoint, localGrid, NODBID},
        {"not local grid", &dbJobIndex::FindBestNonLocalGridPoint, reading, onlyAzimuth},
        {"local grid", &dbJobIndex::FindBestLocalGridPoint, localGrid, NODBID},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IdOf((Index()->*c.find)("C")), c.c);
        EXPECT_EQ(IdOf((Index()->*c.find)("Z")), c.z);
        EXPECT_EQ((Index()->*c.find)("none"), nullptr);
    }
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();
}

TEST_F(JobIndexLookups, PointReferenceOfANameWhoseBestIsNotTheFirst) {
    Gnss("P");
    const DBID best = KeyedIn("P");
    Gnss("P");
    EXPECT_EQ(Index()->FindPointReference("P"), Ref(best));
    EXPECT_EQ(Index()->FindPointReference(""), dbObjectRef());
    EXPECT_EQ(Index()->FindPointReference("Q"), dbObjectRef());
}

// ---------------------------------------------------------------- names and references

TEST_F(JobIndexLookups, NamesAndReferences) {
    const DBID point = KeyedIn("Pt");
    const DBID line = Line("Pt", "A", "B");
    struct Case {
        const char* asked;
        int type;
        const char* normalised;
    };
    const Case cases[] = {
        {"Pt", DATABASE_ObservationRecord, "Pt"},
        {"PT", DATABASE_ObservationRecord, "Pt"},
        {"pt", DATABASE_LineRecord, "Pt"},
        {"pt", DATABASE_ArcRecord, "pt"},
        {"Q", DATABASE_AllRecords, "Q"},
    };
    for (const Case& c : cases) {
        Str name(c.asked);
        Index()->NormaliseName(name, c.type);
        EXPECT_STREQ(name.Data(), c.normalised) << c.asked << " " << c.type;
    }

    EXPECT_EQ(Index()->FindReferenceByRecordId("Pt", line), Ref(line));
    EXPECT_EQ(Index()->FindReferenceByRecordId("Pt", point), Ref(point));
    EXPECT_EQ(Index()->FindReferenceByRecordId("Q", point), dbObjectRef());

    struct Lookup {
        static dbObject* Find(void* argument, const char* name) {
            return static_cast<dbJobIndex*>(argument)->FindLast(name, DATABASE_LineRecord);
        }
    };
    EXPECT_EQ(dbJobIndex_ReferenceFromLookup(Lookup::Find, Index(), Str("Pt")), Ref(line));
    EXPECT_EQ(dbJobIndex_ReferenceFromLookup(Lookup::Find, Index(), Str("Q")), dbObjectRef());
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- records of a name

TEST_F(JobIndexLookups, LoadLastThenPreviousWalkNewestFirst) {
    const DBID p1 = KeyedIn("P");
    const DBID p2 = KeyedIn("P");
    Delete(p2);
    const DBID line = Line("P", "A", "B");
    const DBID p3 = Gnss("P");
    Delete(KeyedIn("P"));
    KeyedIn("Q");

    db_Observation record;
    DBID location;
    int item = -1;
    std::vector<DBID> walked;
    for (bool loaded = Index()->LoadLast(Str("P"), record, location, item); loaded;
         loaded = Index()->LoadPrevious(Str("P"), record, location, item)) {
        EXPECT_EQ(Index()->GetNameSelection().GetRecordId(item), location);
        EXPECT_STREQ(record.PointName.Data(), "P");
        walked.push_back(location);
    }
    EXPECT_EQ(walked, (std::vector<DBID>{p3, p1}));

    EXPECT_EQ(IdOf(Index()->FindLast(Str("P"), DATABASE_ObservationRecord)), p3);
    EXPECT_EQ(IdOf(Index()->FindLast("P", DATABASE_LineRecord)), line);
    EXPECT_EQ(Index()->FindLast(Str(""), DATABASE_ObservationRecord), nullptr);
    EXPECT_EQ(Index()->FindLast("R", DATABASE_ObservationRecord), nullptr);
    EXPECT_FALSE(Index()->LoadLast(Str(""), record, location, item));
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();

    EXPECT_FALSE(Index()->LoadPrevious(Str(""), record, location, item));
    record.PointName = "Other";
    item = 0;
    EXPECT_FALSE(Index()->LoadPrevious(Str("P"), record, location, item));
    EXPECT_EQ(env.Expressions(), (Reports{"name && *name", "Str(record->GetName()).EqualInsensitive (name)"}));
}

TEST_F(JobIndexLookups, RecordsTheJobLacksAreReported) {
    // Items of the name whose objects stand for no record of the job.
    PointFile file;
    ASSERT_NE(file.Register(), -1);
    const DBID q1 = KeyedIn("Q");
    dbSelection& names = Index()->GetNameSelection();
    names.AddItemInOrder(dbSelectionItem(file.Add("Q")));
    names.AddItemInOrder(dbSelectionItem(file.Add("Q")));
    ASSERT_GT(file.GetIndexNumber(), Index()->GetIndexNumber()) << "the job's point comes first";

    db_Observation record;
    record.PointName = "Q";
    DBID location(5);
    int item = -1;
    EXPECT_FALSE(Index()->LoadLast(Str("Q"), record, location, item));
    EXPECT_EQ(location, DBID(5));
    EXPECT_EQ(item, -1);
    item = 2;
    EXPECT_FALSE(Index()->LoadPrevious(Str("Q"), record, location, item));
    EXPECT_EQ(item, 2);
    item = 1;
    EXPECT_TRUE(Index()->LoadPrevious(Str("Q"), record, location, item));
    EXPECT_EQ(location, q1);
    EXPECT_EQ(env.Expressions(), (Reports{"Failed GetRecord in LoadLast", "Failed GetReccord in LoadPrevious"}));

    for (int i = names.GetItemCount() - 1; i >= 0; --i)
        if (names.GetReference(i).GetIndexNumber() == file.GetIndexNumber()) names.RemoveItem(i);
}

TEST_F(JobIndexLookups, AJobObjectWithoutItsRecordGivesNoAnswer) {
    const DBID live = KeyedIn("P");
    // An object of the job index whose record the job does not hold.
    auto* orphan = new ObservationObject;
    orphan->SetRecordId(DBID(999));
    const dbObjectRef lost = Index()->AddObject(orphan);
    position_ReductionRecords setup;
    RegisterRecordingGeometry();
    for (const std::vector<dbObjectRef>& items : {std::vector<dbObjectRef>{Ref(live), lost},
                                                  std::vector<dbObjectRef>{lost, Ref(live)}}) {
        dbSelection selection;
        for (const dbObjectRef& ref : items) selection.AddItemMarkUnsorted(dbSelectionItem(ref));
        int item = 0;
        EXPECT_FALSE(Index()->FindBest(selection, item));
        EXPECT_EQ(item, -1);
    }
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(Index()->StationOfObservation(DBID(999)), NODBID);
    EXPECT_FALSE(Index()->GetStationSetupOfRecord(DBID(999), setup));
    EXPECT_TRUE(calls.calls.empty());
    for (const std::string& expression : env.Expressions())
        EXPECT_EQ(expression, "obs->GetType() == DATABASE_ObservationRecord");
}

// ---------------------------------------------------------------- stations, back bearings, azimuths

TEST_F(JobIndexLookups, StationOfObservation) {
    const DBID station = Station("S");
    const DBID reading = Circle("R", DBENTITY_DirectReading, kNormal, station);
    const DBID mean = MeanTurnedAngle("M", DBENTITY_MeanTurnedAngle, station);
    const DBID grid = KeyedIn("G");
    const DBID bare = Point("B", DBENTITY_DirectReading);
    const DBID line = Line("L", "R", "M");
    struct Case {
        DBID observation, station;
    };
    const Case cases[] = {{reading, station}, {mean, station}, {grid, NODBID},  {bare, NODBID},
                          {line, NODBID},     {station, NODBID}, {NODBID, NODBID}, {DBID(999), NODBID}};
    for (const Case& c : cases) EXPECT_EQ(Index()->StationOfObservation(c.observation), c.station) << c.observation.Value();
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();
}

TEST_F(JobIndexLookups, AzimuthFromASourceInAnotherCase) {
    const DBID fromBase = Azimuth("AZ", "base");
    Azimuth("AZ", "Other");
    db_Grid grid;
    Point("AZ", DBENTITY_AzimuthOnly, kNormal, &grid);
    KeyedIn("AZ");
    EXPECT_EQ(IdOf(Index()->FindAzimuth("AZ", "BASE")), fromBase);
    EXPECT_EQ(env.Expressions(), Reports{"ptObj->GetMeasurementType() == DATABASE_AzimuthRecord"})
        << "the grid point of method 32 is passed over, never read as an azimuth";
    env.Clear();
    EXPECT_EQ(Index()->FindAzimuth("AZ", "none"), nullptr);
    EXPECT_EQ(Index()->FindAzimuth("none", "base"), nullptr);
}

TEST_F(JobIndexLookups, ObservationFromANamedStation) {
    const DBID s1 = Station("S1");
    const DBID fromS1 = Circle("P", DBENTITY_DirectReading, kNormal, s1);
    Circle("O", DBENTITY_DirectReading, kNormal, s1);
    const DBID s2 = Station("S2");
    const DBID fromS2 = Circle("P", DBENTITY_DirectReading, kNormal, s2);
    Circle("P", DBENTITY_DirectReading, kCheck, s2);

    struct Case {
        const char* other;
        const char* station;
        bool found;
        DBID observation, station_;
    };
    const Case cases[] = {
        {nullptr, "s1", true, fromS1, s1}, {"", "S2", true, fromS2, s2},     {"O", "S1", true, fromS1, s1},
        {"O", "S2", false, NODBID, NODBID}, {"X", "S1", false, NODBID, NODBID}, {nullptr, "S3", false, NODBID, NODBID},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.other ? c.other : "-") + " " + c.station);
        DBID observation(5), station;
        EXPECT_EQ(Index()->FindObservationFromNamedStation("P", c.other, c.station, observation, station), c.found);
        EXPECT_EQ(observation, c.observation);
        if (c.found) {
            EXPECT_EQ(station, c.station_);
        }
    }
    EXPECT_EQ(IdOf(Index()->FindObservationFromStation("P", s2)), fromS2);
    EXPECT_EQ(IdOf(Index()->FindObservationFromStation("O", s2)), NODBID);
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();

    DBID observation, station;
    EXPECT_FALSE(Index()->FindObservationFromNamedStation("", nullptr, "S1", observation, station));
    EXPECT_FALSE(Index()->FindObservationFromNamedStation("P", nullptr, nullptr, observation, station));
    EXPECT_EQ(Index()->FindObservationFromStation("P", NODBID), nullptr);
    EXPECT_EQ(env.Expressions(), (Reports{"pointName && ( pointName[0] != 0 )",
                                          "stationName && ( stationName[0] != 0 )", "stationLocation != NODBID"}));
}

TEST_F(JobIndexLookups, MeanTurnedAngleAfterAStation) {
    EXPECT_EQ(Index()->FindMtaOfCurrentStation("M"), nullptr);
    EXPECT_EQ(env.Expressions(), Reports{"stationLocation != NODBID"});
    env.Clear();

    const DBID before = MeanTurnedAngle("M", DBENTITY_MeanTurnedAngle, NODBID);
    const DBID station = Station("S");
    Circle("M", DBENTITY_DirectReading, kNormal, station);
    EXPECT_EQ(Index()->FindMtaAfterStation("M", station), nullptr) << "the one before the station is not taken";
    EXPECT_EQ(IdOf(Index()->FindMtaAfterStation("M", NODBID)), before) << "no station: no bound";
    EXPECT_EQ(IdOf(Index()->FindMtaAfterStation("M", before)), before) << "not a station: no bound";
    EXPECT_EQ(Index()->FindMtaOfCurrentStation("M"), nullptr);

    const DBID hidden = MeanTurnedAngle("M", DBENTITY_MeanTurnedAngleHidden, station);
    Delete(hidden);
    Gnss("M");
    EXPECT_EQ(IdOf(Index()->FindMtaAfterStation("M", station)), hidden) << "hidden and deleted ones count";
    EXPECT_EQ(IdOf(Index()->FindMtaOfCurrentStation("M")), hidden);
    Station("S2");
    EXPECT_EQ(Index()->FindMtaOfCurrentStation("M"), nullptr);
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();
}

TEST_F(JobIndexLookups, BackSightObservation) {
    DBID mean(5);
    EXPECT_EQ(Index()->FindBackSightObservation("B", mean), nullptr);
    EXPECT_EQ(mean, NODBID);
    EXPECT_EQ(Index()->FindBackSightObservation("", mean), nullptr);
    EXPECT_EQ(env.Expressions(), (Reports{"backbearingLocation != NODBID", "pointName && *pointName"}));
    env.Clear();

    db_TotalBackBearing bearing;
    bearing.BackSight = "B";
    const DBID oldBearing = dbRecord_AppendGrouped(Access(), &bearing);
    const DBID bb = dbRecord_AppendGrouped(Access(), &bearing);
    constexpr uint16_t kRS = 'R' | ('S' << 8);
    // "RS" ends the search even with an older match behind it.
    Circle("B", DBENTITY_DirectReading, kNormal, NODBID, bb);
    Circle("B", DBENTITY_AngleOnly, kNormal, NODBID, oldBearing, kRS);
    // The newest reading to the newest back bearing, past what does not qualify.
    const DBID match = Circle("C", DBENTITY_AvgMeasurements, db_PointClassification::Construction, NODBID, bb);
    const DBID mean1 = MeanTurnedAngle("C", DBENTITY_MeanTurnedAngle, NODBID);
    Circle("C", DBENTITY_DirectReading, kNormal, NODBID, oldBearing);
    Circle("C", DBENTITY_DirectReading, kCheck, NODBID, bb, kRS);
    Circle("C", DBENTITY_AngleOffset, kNormal, NODBID, bb, kRS);
    Delete(Circle("C", DBENTITY_RemoteObjectBasePoint, kNormal, NODBID, bb, kRS));
    const DBID mean2 = MeanTurnedAngle("C", DBENTITY_MeanTurnedAngle, NODBID);

    EXPECT_EQ(Index()->FindBackSightObservation("B", mean), nullptr);
    EXPECT_EQ(mean, NODBID);
    EXPECT_EQ(IdOf(Index()->FindBackSightObservation("C", mean)), match);
    EXPECT_EQ(mean, mean1) << "the last mean turned angle passed on the way back";
    (void)mean2;
    EXPECT_EQ(Index()->FindBackSightObservation("none", mean), nullptr);
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();
}

TEST_F(JobIndexLookups, StationSetupOfARecord) {
    const DBID reading = Circle("R", DBENTITY_DirectReading, kNormal, DBID(90), DBID(91));
    const DBID grid = KeyedIn("G");
    position_ReductionRecords setup;
    EXPECT_FALSE(Index()->GetStationSetupOfRecord(reading, setup)) << "nothing registered";
    RegisterRecordingGeometry();
    calls.succeeding = {"setup 90 77 91"};
    EXPECT_TRUE(Index()->GetStationSetupOfRecord(reading, setup));
    EXPECT_FALSE(Index()->GetStationSetupOfRecord(grid, setup));
    EXPECT_FALSE(Index()->GetStationSetupOfRecord(NODBID, setup));
    EXPECT_EQ(calls.calls, std::vector<std::string>{"setup 90 77 91"});
}

// ---------------------------------------------------------------- positions of names

TEST_F(JobIndexLookups, PositionOfNameFillsFromTheBestPointAndKeepsTheOption) {
    RegisterRecordingGeometry();
    Gnss("P");
    const DBID best = KeyedIn("P");
    Azimuth("Z", "P");
    position_Class position;
    calls.succeeding = {RecordCall(best)};
    EXPECT_TRUE(dbJobIndex_PositionOfName(Index(), Str("P"), position));
    EXPECT_EQ(calls.calls, std::vector<std::string>{RecordCall(best)});
    EXPECT_EQ(calls.index, Index());
    EXPECT_EQ(position.option, 0x5A) << "restored after the fill";

    calls.calls.clear();
    EXPECT_FALSE(dbJobIndex_PositionOfName(Index(), Str("Z"), position)) << "an azimuth has no position";
    EXPECT_FALSE(dbJobIndex_PositionOfName(Index(), Str("p"), position)) << "exact names only";
    EXPECT_TRUE(calls.calls.empty());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexLookups, PositionOfNameThroughEveryIndex) {
    RegisterRecordingGeometry();
    const DBID own = Gnss("X");
    // An attached job registered before a point file, attached after it: the file
    // comes later because its number is higher.
    auto* other = new JobDatabase;
    ASSERT_TRUE(other->Create(Str((tmp / "b.job").c_str()), "Other", true));
    auto* file = new PointFile;
    ASSERT_NE(file->Register(), -1);
    const dbObjectRef fileX = file->Add("x");
    const dbObjectRef fileY = file->Add("Y", 0);
    const dbObjectRef fileOnly = file->Add("F");
    db_Observation point;
    point.Method = DBENTITY_Coordinates;
    point.Classification = Classified(kNormal);
    db_Grid grid;
    auto addToOther = [&](const char* name) {
        point.PointName = name;
        other->GetAccess()->BeginGroupNested();
        const DBID id = dbRecord_Append(other->GetAccess(), &point);
        other->GetAccess()->AddAction(DBMODEL_Apply, id, &grid);
        other->GetAccess()->EndGroupNested();
        return id;
    };
    dbJobIndex* attached = other->GetJobIndex();
    const dbObjectRef otherX = attached->FindByRecordId(addToOther("X"));
    const dbObjectRef otherLower = attached->FindByRecordId(addToOther("jOb"));
    ASSERT_LT(attached->GetIndexNumber(), file->GetIndexNumber());
    Index()->AttachIndex(file);
    Index()->AttachIndex(attached);

    position_Class position;
    Str name("X");
    EXPECT_FALSE(dbJobIndex_PositionOfNameAnyIndex(Index(), name, position));
    EXPECT_EQ(calls.calls, (std::vector<std::string>{RecordCall(own), Location(otherX), Location(fileX)}));

    struct Case {
        const char* asked;
        std::string succeeding;
        std::vector<std::string> calls;
        const char* stored;
    };
    const Case cases[] = {
        {"X", Location(otherX), {RecordCall(own), Location(otherX)}, "X"},
        {"x", Location(fileX), {RecordCall(own), Location(otherX), Location(fileX)}, "X"},
        {"JOB", Location(otherLower), {Location(otherLower)}, "jOb"},
        {"f", Location(fileOnly), {Location(fileOnly)}, "f"},
        {"y", "", {Location(fileY)}, "y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        calls.calls.clear();
        calls.succeeding = {c.succeeding};
        Str asked(c.asked);
        position.option = 0x5A;
        EXPECT_EQ(dbJobIndex_PositionOfNameAnyIndex(Index(), asked, position), !c.succeeding.empty());
        EXPECT_EQ(calls.calls, c.calls);
        EXPECT_STREQ(asked.Data(), c.stored);
    }
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();
    // Closing the job closes what is attached to it.
}

TEST_F(JobIndexLookups, PositionsWithNothingRegistered) {
    dbJobIndex_SetCoordinateGeometry(nullptr);
    KeyedIn("P");
    auto* file = new PointFile;
    ASSERT_NE(file->Register(), -1);
    file->Add("Q");
    Index()->AttachIndex(file);
    position_Class position;
    Str name("p");
    EXPECT_FALSE(dbJobIndex_PositionOfName(Index(), Str("P"), position));
    EXPECT_FALSE(dbJobIndex_PositionOfNameAnyIndex(Index(), name, position));
    EXPECT_STREQ(name.Data(), "P") << "the index work is done all the same";
    name = "Q";
    EXPECT_FALSE(dbJobIndex_PositionOfNameAnyIndex(Index(), name, position));
    EXPECT_EQ(position.option, 0x5A);
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- selections

class Yields : public RecordingEnvironment {
public:
    void Yield() override { ++count; }
    int count = 0;
};

TEST_F(JobIndexLookups, GatherSameNamedPutsTheBestPointFirst) {
    const DBID p1 = Gnss("P");
    const DBID p2 = KeyedIn("P");
    const DBID line = Line("L", "P", "P");
    const DBID z = Azimuth("Z", "P");
    PointFile file;
    ASSERT_NE(file.Register(), -1);
    const dbObjectRef elsewhere = file.Add("P");

    dbSelection selection;
    for (const dbObjectRef& ref : {Ref(p1), elsewhere, Ref(line), Ref(z), Ref(p2)})
        selection.AddItem(dbSelectionItem(ref));
    selection.GatherSameNamed(Index(), false);
    std::vector<dbObjectRef> gathered;
    for (int i = 0; i < selection.GetItemCount(); ++i) gathered.push_back(selection.GetReference(i));
    const dbObjectRef placeholder(dbObjectRef().Pack());
    EXPECT_EQ(gathered, (std::vector<dbObjectRef>{Ref(p2), Ref(p1), Ref(line), placeholder, Ref(z)}))
        << "a point without a best point keeps a null placeholder; items of other indexes and items gathered "
           "already are left out";
    // The index was never set up: its points are computed without a transform.
    for (const std::string& expression : env.Expressions()) EXPECT_EQ(expression, "this->Transform");
}

TEST_F(JobIndexLookups, GatherSameNamedVisitsEachIndexOnce) {
    auto* file = new PointFile;
    ASSERT_NE(file->Register(), -1);
    const dbObjectRef best = file->Add("P");
    const dbObjectRef other = file->Add("P", 0);
    Index()->AttachIndex(file);
    dbSelection selection;
    selection.AddItem(dbSelectionItem(other));
    // The file is attached to its own owner: its points come once.
    selection.GatherSameNamed(file, true);
    ASSERT_EQ(selection.GetItemCount(), 2);
    EXPECT_EQ(selection.GetReference(0), best);
    EXPECT_EQ(selection.GetReference(1), other);
}

TEST_F(JobIndexLookups, GatherSameNamedYieldsEvery300Items) {
    PointFile file;
    ASSERT_NE(file.Register(), -1);
    std::vector<dbObjectRef> refs;
    for (int i = 0; i < 601; ++i) refs.push_back(file.Add(("N" + std::to_string(i)).c_str()));
    struct Case {
        int items, yields;
    };
    for (const Case c : {Case{0, 0}, {1, 1}, {300, 1}, {301, 2}, {600, 2}, {601, 3}}) {
        dbSelection selection;
        for (int i = 0; i < c.items; ++i) selection.AddItemMarkUnsorted(dbSelectionItem(refs[i]));
        Yields yields;
        selection.GatherSameNamed(&file, false);
        EXPECT_EQ(yields.count, c.yields) << c.items;
        EXPECT_EQ(selection.GetItemCount(), c.items);
    }
}

TEST_F(JobIndexLookups, ReplaceByBestPoints) {
    const DBID p1 = Gnss("P");
    const DBID p2 = KeyedIn("P");
    const DBID z1 = Azimuth("Z", "P");
    Azimuth("Z", "P");
    auto* file = new PointFile;
    ASSERT_NE(file->Register(), -1);
    const dbObjectRef a = file->Add("A", 0);
    const dbObjectRef b = file->Add("B", 0);
    const dbObjectRef k = file->Add("K");
    const dbObjectRef p = file->Add("P", 0);
    Index()->AttachIndex(file);

    struct Case {
        const char* what;
        std::vector<dbObjectRef> items, replaced;
        bool unchanged;
    };
    const Case cases[] = {
        {"two in a row without a best point", {a, b, k, p, Ref(p1)}, {k, Ref(p2), Ref(p2)}, false},
        {"best points only", {k, Ref(p2)}, {k, Ref(p2)}, true},
        {"no best point of the name: the first point, itself", {Ref(z1)}, {Ref(z1)}, true},
        {"nothing", {}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dbSelection selection;
        for (const dbObjectRef& ref : c.items) selection.AddItemMarkUnsorted(dbSelectionItem(ref));
        EXPECT_EQ(selection.ReplaceByBestPoints(), c.unchanged);
        std::vector<dbObjectRef> replaced;
        for (int i = 0; i < selection.GetItemCount(); ++i) replaced.push_back(selection.GetReference(i));
        EXPECT_EQ(replaced, c.replaced);
    }
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace

#include "jobdb/dbobjects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobdb/dbJobIndex.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/index_fixture.h"
#include "records/dbRecordFields.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "records/stakeoutsettings.h"
#include "records/traverse.h"

namespace {

using Reports = std::vector<std::string>;

// Records of types whose classes are built elsewhere: the objects only look at their
// type and id.
template <database_RecordType Type>
class PlainRecord : public dbRecord_Body<PlainRecord<Type>> {
public:
    static constexpr database_RecordType RecordType = Type;
    using Fields = dbfield_List<>;
};
using TestTarget = PlainRecord<DATABASE_TargetRecord>;
using TestAntenna = PlainRecord<DATABASE_AntennaRecord>;
using TestQC1 = PlainRecord<DATABASE_QC1Record>;

std::string Text(const Str& text) { return std::string(text.Data(), text.Length()); }

class ObjectsInAJob : public JobIndexTest {
protected:
    DBID AppendPoint(const char* name, int32_t method) {
        db_Observation point;
        point.PointName = name;
        point.Method = method;
        return dbRecord_AppendGrouped(Access(), &point);
    }
    // The job's index, which made an object for each point as it was committed.
    dbJobIndex* Indexed() { return job.GetJobIndex(); }
    ObservationObject* Point(dbIndex* index, DBID id) {
        return ObservationObject::Cast(index->GetObject(index->FindByRecordId(id).GetSubscript()));
    }
};

TEST_F(ObjectsInAJob, APointAnswersFromItsRecordAndMeasurement) {
    TestTarget target;
    const DBID targetId = dbRecord_AppendGrouped(Access(), &target);
    TestAntenna antenna;
    const DBID antennaId = dbRecord_AppendGrouped(Access(), &antenna);

    db_Observation point;
    point.PointName = "P1";
    point.Method = DBENTITY_DirectReading;
    point.Classification = db_PointClassification(dbentity_Classification(db_PointClassification::Control));
    point.SetFeatureCodes("TREE FENCE", false);
    point.SetDescriptions({"north corner", ""});
    point.SetNotes("found");
    const DBID p1 = dbRecord_AppendGrouped(Access(), &point);
    db_Circle circle;
    circle.Target = targetId;
    Access()->ApplyInGroup(p1, &circle);

    const DBID g1 = AppendPoint("G1", DBENTITY_GpsRTKCtrlPoint);
    db_ECEF ecef;
    ecef.Antenna = antennaId;
    Access()->ApplyInGroup(g1, &ecef);

    dbJobIndex* index = Indexed();
    ObservationObject* conventional = Point(index, p1);
    ASSERT_NE(conventional, nullptr);
    EXPECT_STREQ(conventional->GetName(), "P1");
    EXPECT_EQ(Text(conventional->GetCode()), Text(point.GetFeatureCodes()));
    ASSERT_NE(conventional->GetFeatures(), nullptr);
    EXPECT_EQ(conventional->GetFeatures()->Count(), 2);
    EXPECT_EQ(Text(conventional->GetDescriptions()->Description1), "north corner");
    EXPECT_EQ(Text(conventional->GetNotes()), "found");
    EXPECT_EQ(conventional->GetClassification().value, db_PointClassification::Control);
    EXPECT_EQ(conventional->GetMethod(), DBENTITY_DirectReading);
    EXPECT_EQ(conventional->GetMeasurementType(), DATABASE_CircleRecord);
    EXPECT_EQ(conventional->GetCoordType(), COORD_CircleType);
    EXPECT_EQ(conventional->GetObservation(), Access()->GetRecord(p1));
    EXPECT_EQ(conventional->GetTargetRecord(), Access()->GetRecord(targetId));
    EXPECT_EQ(conventional->GetAntennaRecord(), nullptr);

    ObservationObject* gnss = Point(index, g1);
    ASSERT_NE(gnss, nullptr);
    EXPECT_EQ(gnss->GetMeasurementType(), DATABASE_ECEFRecord);
    EXPECT_EQ(gnss->GetAntennaRecord(), Access()->GetRecord(antennaId));
    EXPECT_EQ(gnss->GetTargetRecord(), nullptr);
    EXPECT_EQ(gnss->GetDescriptions()->Description1.Length(), 0);

    // The same through the index.
    const int subscript = index->FindByRecordId(p1).GetSubscript();
    EXPECT_STREQ(index->GetName(subscript), "P1");
    EXPECT_EQ(index->GetMethod(subscript), DBENTITY_DirectReading);
    EXPECT_EQ(index->GetClassification(subscript).value, db_PointClassification::Control);
    EXPECT_EQ(index->GetMeasurementType(subscript), DATABASE_CircleRecord);
    EXPECT_EQ(index->GetMeasurement(subscript), conventional->GetMeasurement());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(ObjectsInAJob, FollowingRecordsStopAtTheEndOfTheEntity) {
    const DBID p1 = AppendPoint("P1", DBENTITY_GpsRTKCtrlPoint);
    TestQC1 qc1;
    const DBID qcId = dbRecord_AppendGrouped(Access(), &qc1);
    db_EndEntity end;
    const DBID endId = dbRecord_AppendGrouped(Access(), &end);
    db_ResectErrors errors;
    dbRecord_AppendGrouped(Access(), &errors);
    const DBID p2 = AppendPoint("P2", DBENTITY_GpsRTKCtrlPoint);
    TestTarget target;
    const DBID targetId = dbRecord_AppendGrouped(Access(), &target);

    dbJobIndex* index = Indexed();
    ObservationObject* first = Point(index, p1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->FindFollowingRecord(DATABASE_EndEntityRecord), Access()->GetRecord(endId));
    EXPECT_EQ(first->FindQC1(), Access()->GetRecord(qcId));
    EXPECT_EQ(first->FindPrecision(), nullptr);
    EXPECT_EQ(first->FindResectErrors(), nullptr) << "beyond the end of the entity";
    EXPECT_EQ(Point(index, p2)->FindFollowingRecord(DATABASE_EndEntityRecord), nullptr) << "the chain's end";

    auto* targetObject = new TargetObject;
    targetObject->SetRecordId(targetId);
    index->AddObject(targetObject);
    EXPECT_EQ(targetObject->GetTarget(), Access()->GetRecord(targetId));
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(first->GetTarget(), nullptr);
    // A record without features has no code.
    EXPECT_EQ(Text(targetObject->GetCode()), "");
    EXPECT_EQ(env.Expressions(), (Reports{"targ->GetType() == DATABASE_TargetRecord", "rec"}));
}

TEST_F(ObjectsInAJob, AnObjectWithoutItsRecordAnswersEmpty) {
    dbJobIndex* index = job.GetJobIndex();
    auto* point = new ObservationObject;
    point->SetRecordId(DBID(99));
    index->AddObject(point);
    EXPECT_STREQ(point->GetName(), "");
    EXPECT_EQ(Text(point->GetCode()), "");
    EXPECT_EQ(point->GetDescriptions(), &StaticIndexGlobals().EmptyDescriptions);
    EXPECT_EQ(point->GetFeatures(), nullptr);
    EXPECT_EQ(point->GetMeasurementType(), DATABASE_NoRecordType);
    EXPECT_EQ(point->FindFollowingRecord(DATABASE_EndEntityRecord), nullptr);
    EXPECT_EQ(env.Expressions(), (Reports{"rec", "obs->GetType() == DATABASE_ObservationRecord"}));
    env.Clear();

    point->SetRecordId(DBID(98));
    EXPECT_EQ(env.Expressions(), Reports{"_RecordId == NODBID"});
    EXPECT_EQ(point->GetRecordId(), DBID(98)) << "overwritten all the same";

    // Outside a job index there is no record to read.
    TestIndex file;
    file.Register();
    auto* filePoint = new ObservationObject;
    file.AddObject(filePoint);
    env.Clear();
    EXPECT_STREQ(filePoint->GetName(), "");
    EXPECT_EQ(env.Expressions(), Reports{"index->GetFileType() == dbIndex::DatabaseFile"});
}

TEST_F(ObjectsInAJob, UnderlyingMethodOfAMeanTurnedAngle) {
    // Each point comes with its mean turned angle in one transaction, as the index
    // works out the status of a point it follows.
    auto appendWith = [&](const char* name, const db_MeanTurnedAngle& mta) {
        Access()->BeginGroupNested();
        const DBID id = AppendPoint(name, DBENTITY_MeanTurnedAngle);
        Access()->ApplyInGroup(id, &mta);
        Access()->EndGroupNested();
        return id;
    };
    db_MeanTurnedAngle mta;
    mta.MTA.HorzCircle = 1.0;
    const DBID angles = appendWith("M1", mta);
    mta.MTA.EDMDistance = 12.5;
    const DBID withDistance = appendWith("M2", mta);
    EXPECT_TRUE(env.assertions.empty());

    dbJobIndex* index = Indexed();
    auto at = [&](DBID id) { return index->FindByRecordId(id).GetSubscript(); };
    EXPECT_EQ(index->GetUnderlyingMethod(at(angles)), DBENTITY_AngleOnly);
    EXPECT_EQ(index->GetUnderlyingMethod(at(withDistance)), DBENTITY_DirectReading);
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(Point(index, withDistance)->GetUnderlyingMethod(), DBENTITY_DirectReading) << "kept";

    // Worked out as the index follows the point, which has no mean turned angle.
    const DBID bare = AppendPoint("M3", DBENTITY_MeanTurnedAngle);
    EXPECT_EQ(index->GetUnderlyingMethod(at(bare)), DBENTITY_AngleOnly);
    EXPECT_EQ(env.Expressions(), Reports{"position.Original == COORD_MTAType"});

    // A new measurement is looked at again.
    Access()->ApplyInGroup(bare, &mta);
    EXPECT_EQ(index->GetUnderlyingMethod(at(bare)), DBENTITY_DirectReading);
}

// ---------------------------------------------------------------- file objects

class BackgroundIndex : public dbBackgroundFileIndex {
public:
    BackgroundIndex() { _FileType = BackgroundFile; }
    Str GetFullPath() const override { return "background"; }
    Str GetFileName() const override { return "background"; }
    dbSelection& GetNameSelection() override { return selection; }
    bool FindBestPoints(const char*, dbBestPointTable&, uint32_t&) override { return true; }
    bool ComputeObject(dbObject*) override { return false; }
    void ComputeStatusBits(dbObject* object) override { object->SetFlags(DBOBJECT_StatusComputed); }
    StrArray* GetEntryAttributes(StrArray* output, int key) override {
        output->Add(string_FromInt(key));
        return output;
    }
    Str* GetEntryLayer(Str* output, int key) override {
        *output = Str("Layer ") + string_FromInt(key);
        return output;
    }
    dbSelection selection;
};

TEST_F(IndexTest, CommaSeparatedPoints) {
    TestIndex index(dbIndex::CommaSeparatedFile);
    index.Register();
    auto* point = new CSVPointObject;
    index.AddObject(point);
    EXPECT_EQ(point->GetName(), nullptr) << "no name until one is set";
    EXPECT_STREQ(index.GetName(0), "");
    point->SetName("CP1");
    point->SetName("");
    EXPECT_STREQ(point->GetName(), "CP1");
    point->SetCode("IP");
    EXPECT_EQ(Text(point->GetCode()), "IP");
    point->SetCode("");
    EXPECT_EQ(Text(point->GetCode()), "");

    dbrecord_Descriptions descriptions;
    point->SetDescriptions(&descriptions);
    EXPECT_EQ(point->GetDescriptions(), &StaticIndexGlobals().EmptyDescriptions);
    descriptions.Description2 = "kerb";
    point->SetDescriptions(&descriptions);
    EXPECT_EQ(Text(point->GetDescriptions()->Description2), "kerb");

    EXPECT_EQ(point->GetClassification().value, db_PointClassification::Normal);
    EXPECT_EQ(point->GetMeasurementType(), DATABASE_GridRecord);
    EXPECT_TRUE(point->GetCoordinates().IsNull());
    EXPECT_EQ(index.computeCalls, 0) << "grid coordinates are stored, not computed";
    index.coordType = COORD_LocalTransformedGridType;
    EXPECT_EQ(point->GetMeasurementType(), DATABASE_LocalTransformedGridRecord);
    point->GetHorizontalCoordinates();
    EXPECT_EQ(index.computeCalls, 1);
    point->SetLocalGrid(1.0, 2.0, 3.0);
    ASSERT_NE(point->GetLocalGrid(), nullptr);
    EXPECT_EQ(point->GetLocalGrid()->East, 2.0);
    EXPECT_EQ(Text(point->GetTransformationName()), "Site");
    point->SetUnderlyingMethod(33);
    EXPECT_EQ(env.Expressions(), (Reports{"newName && *newName", "0"}));
    env.Clear();

    // In another kind of index the file-type checks report.
    index.SetFileType(dbIndex::BackgroundFile);
    point->GetName();
    EXPECT_EQ(env.Expressions(), Reports{"index->GetFileType() == dbIndex::CommaSeparatedFile"});
}

TEST_F(IndexTest, BackgroundObjectsAskTheirFileIndex) {
    BackgroundIndex index;
    index.Register();
    auto* point = new BackgroundPointObject;
    point->SetKey(7);
    point->SetName("B7");
    index.AddObject(point);
    auto* line = new BackgroundLineObject;
    line->SetKey(8);
    line->SetCode("EDGE");
    index.AddObject(line);
    auto* arc = new BackgroundArcObject;
    index.AddObject(arc);

    StrArray attributes;
    EXPECT_EQ(point->GetAttributes(&attributes), &attributes);
    ASSERT_EQ(attributes.Count(), 1);
    EXPECT_EQ(Text(attributes[0]), "7");
    Str layer;
    EXPECT_EQ(line->GetLayer(&layer), &layer);
    EXPECT_EQ(Text(layer), "Layer 8");
    EXPECT_STREQ(point->GetName(), "B7");
    EXPECT_EQ(Text(line->GetCode()), "EDGE");
    EXPECT_FALSE(point->IsBackgroundGeometry());
    EXPECT_TRUE(line->IsBackgroundGeometry());
    EXPECT_EQ(line->GetMeasurementType(), DATABASE_LineRecord);
    EXPECT_EQ(arc->GetMeasurementType(), DATABASE_ArcRecord);
    EXPECT_EQ(arc->GetClassification().value, db_PointClassification::Normal);
    EXPECT_EQ(arc->GetDescriptions(), &StaticIndexGlobals().EmptyDescriptions);
    EXPECT_TRUE(env.assertions.empty());

    arc->SetUnderlyingMethod(35);
    TestIndex other;
    other.Register();
    auto* stray = new BackgroundPointObject;
    other.AddObject(stray);
    StrArray none;
    stray->GetAttributes(&none);
    EXPECT_EQ(none.Count(), 0);
    EXPECT_EQ(env.Expressions(), (Reports{"0", "index->GetFileType() == dbIndex::BackgroundFile"}));
}

TEST_F(IndexTest, CastsGoByRecordTypeAndFileObjectsByTheirIndex) {
    BackgroundIndex background;
    background.Register();
    TestIndex job(dbIndex::DatabaseFile);
    job.Register();
    auto* backgroundLine = new BackgroundLineObject;
    background.AddObject(backgroundLine);
    auto* backgroundArc = new BackgroundArcObject;
    background.AddObject(backgroundArc);
    auto* jobPoint = new ObservationObject;
    job.AddObject(jobPoint);
    auto* jobLine = new LineObject;
    job.AddObject(jobLine);

    EXPECT_EQ(LineObject::Cast(backgroundLine), backgroundLine);
    EXPECT_EQ(ArcObject::Cast(backgroundArc), backgroundArc);
    EXPECT_EQ(BackgroundLineObject::Cast(backgroundLine), backgroundLine);
    EXPECT_EQ(LineObject::Cast(backgroundArc), nullptr);
    EXPECT_EQ(ObservationObject::Cast(jobPoint), jobPoint);
    // A job object is none of the file classes that share its record type.
    EXPECT_EQ(CSVPointObject::Cast(jobPoint), nullptr);
    EXPECT_EQ(BackgroundPointObject::Cast(jobPoint), nullptr);
    EXPECT_EQ(BackgroundLineObject::Cast(jobLine), nullptr);
    EXPECT_EQ(ObservationObject::Cast(nullptr), nullptr);

    TargetObject target;
    LocalTransformationObject transformation;
    GroupObject group("G", "", "", "");
    RoadObject road(nullptr);
    TraverseObject traverse;
    EXPECT_EQ(TargetObject::Cast(&target), &target);
    EXPECT_EQ(LocalTransformationObject::Cast(&transformation), &transformation);
    EXPECT_EQ(GroupObject::Cast(&group), &group);
    EXPECT_EQ(RoadObject::Cast(&road), &road);
    EXPECT_EQ(TargetObject::Cast(&traverse), nullptr);
    EXPECT_EQ(GroupObject::Cast(&road), nullptr);
    EXPECT_EQ((std::vector<int>{StationObject().GetRecordType(), BackBearingObject().GetRecordType(),
                                traverse.GetRecordType()}),
              (std::vector<int>{25, 23, 113}));
}

TEST(GroupObjects, OwnTheirChildren) {
    GroupObject group("Kerb", "KB", "first", "second");
    EXPECT_EQ(group.GetChild(0), nullptr);
    EXPECT_EQ(group.GetChildCount(), 0);
    LineObject* child = new LineObject;
    EXPECT_TRUE(group.AddChild(child));
    EXPECT_TRUE(group.AddChild(new ArcObject));
    EXPECT_TRUE(group.AddChild(new GroupObject("Inner", "", "", "")));
    EXPECT_EQ(group.GetChildCount(), 3);
    EXPECT_EQ(group.GetChild(0), child);
    EXPECT_EQ(group.GetChild(3), nullptr);
    EXPECT_EQ(group.GetChild(-1), nullptr);
    EXPECT_STREQ(group.GetName(), "Kerb");
    EXPECT_EQ(Text(group.GetCode()), "KB");
    EXPECT_EQ(Text(group.GetText1()), "first");
    EXPECT_EQ(Text(group.GetText2()), "second");
    EXPECT_EQ(group.GetDescriptions(), nullptr);
}

class TestRoad : public dbIndexRoad {
public:
    const Str& GetCode() const override { return code; }
    const Str& GetDescription() const override { return description; }
    const Str& GetName() const override { return name; }
    bool HitTest(const coord_CorrectedGrid&, double) override { return false; }
    bool IsInside(double, double, double, double) const override { return false; }
    void SetEndFlagHeld(bool value) override { held = value; }
    Str code = "RD";
    Str description = "main road";
    Str name = "Road 1";
    bool held = false;
};

TEST(RoadObjects, AnswerFromTheirRoad) {
    TestRoad road;
    RoadObject object(&road);
    EXPECT_STREQ(object.GetName(), "Road 1");
    EXPECT_EQ(Text(object.GetCode()), "RD");
    EXPECT_EQ(Text(object.GetDescription()), "main road");
    EXPECT_EQ(object.GetRoad(), &road);
    EXPECT_EQ(object.GetDescriptions(), &StaticIndexGlobals().EmptyDescriptions);
    object.SetEndFlagHeld(true);
    EXPECT_TRUE(road.held);
    EXPECT_TRUE(object.HasFlag(DBOBJECT_EndFlagHeld));
    object.SetEndFlagHeld(false);
    EXPECT_FALSE(road.held);

    RoadObject none(nullptr);
    EXPECT_STREQ(none.GetName(), "");
    none.SetEndFlagHeld(true);
    EXPECT_TRUE(none.HasFlag(DBOBJECT_EndFlagHeld));
}

TEST(StrInequality, ComparesBytes) {
    EXPECT_FALSE(Str() != "");
    EXPECT_TRUE(Str("A") != "a");
    EXPECT_FALSE(Str("abc") != "abc");
}

}  // namespace

#include "jobdb/dbJobIndex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jobdb/dbRecordCalls.h"
#include "jobdb/index_fixture.h"
#include "jobdb/jobindex_fixture.h"
#include "records/conventional.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/localtransform.h"
#include "records/measurements.h"
#include "records/traverse.h"

namespace {

using Reports = std::vector<std::string>;

// What an index tells of one object, for comparing a followed index with a rebuilt one.
struct ObjectSeen {
    uint32_t id;
    int type;
    uint32_t kind, category, status;
    bool operator==(const ObjectSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ObjectSeen& o) {
    return out << "{id " << o.id << ", type " << o.type << ", " << std::hex << o.kind << " " << o.category << " "
               << o.status << std::dec << "}";
}

struct IndexSeen {
    std::vector<ObjectSeen> objects;  // of the records still in the job, in chain order
    std::vector<uint32_t> names;      // record ids in name order
    bool operator==(const IndexSeen&) const = default;
};

class JobIndexFollowing : public JobIndexJobTest {
protected:
    static IndexSeen See(dbJobIndex& index) {
        IndexSeen seen;
        const dbAccess* access = index.Database;
        for (DBID id = access->GetFirstId(); id != NODBID; id = access->GetNextId(id)) {
            const dbObjectRef ref = index.FindByRecordId(id);
            if (ref.IsNull()) continue;
            dbObject* object = index.GetObject(ref.GetSubscript());
            const uint32_t status = object->GetStatusBits();
            seen.objects.push_back({id.Value(), object->GetRecordType(), object->GetKind(), object->GetCategory(), status});
        }
        dbSelection& names = index.GetNameSelection();
        for (int i = 0; i < names.GetItemCount(); ++i) seen.names.push_back(names.GetRecordId(i).Value());
        return seen;
    }
    // Lines computed here find their points without a transform to compute them by.
    void ExpectOnlyNoTransformReports() {
        for (const std::string& expression : env.Expressions()) EXPECT_EQ(expression, "this->Transform");
    }
    // The followed index against one built afresh from the job as it is now.
    void ExpectRebuiltEqual(const char* step) {
        SCOPED_TRACE(step);
        dbJobIndex rebuilt;
        rebuilt.Reset();
        ASSERT_TRUE(rebuilt.AttachJob(&job));
        const IndexSeen fresh = See(rebuilt);
        rebuilt.Database = nullptr;
        rebuilt.Clear();
        const IndexSeen followed = See(*Index());
        EXPECT_EQ(followed.objects, fresh.objects);
        EXPECT_EQ(followed.names, fresh.names);
    }
};

// ---------------------------------------------------------------- following

TEST_F(JobIndexFollowing, FollowingEqualsRebuilding) {
    const DBID p1 = Gnss("P");
    ExpectRebuiltEqual("one point");
    const DBID p2 = Gnss("P");
    const DBID q1 = LocalGrid("Q");
    const DBID line = Line("L1", "P", "Q");
    ExpectRebuiltEqual("equal points, a line");
    const DBID p3 = KeyedIn("P", db_PointClassification::Construction);
    ExpectRebuiltEqual("a keyed-in point takes the best of P");
    const DBID q2 = LocalGrid("Q");
    const DBID q3 = KeyedIn("Q");
    ExpectRebuiltEqual("a newer point takes only the local-grid slot");
    Station("S1");
    db_TotalBackBearing backBearing;
    backBearing.Station = "S1";
    backBearing.BackSight = "P";
    const DBID bb = dbRecord_AppendGrouped(Access(), &backBearing);
    db_Circle circle;
    const DBID r1 = Point("R", DBENTITY_DirectReading, db_PointClassification::Stakeout, &circle);
    Point("R", DBENTITY_AngleOnly, kNormal, &circle);
    Point("R", DBENTITY_ResectionInProgress, kNormal, &circle);
    db_Traverse traverse;
    traverse.TraverseName = "T1";
    dbRecord_AppendGrouped(Access(), &traverse);
    const DBID arc = Arc("A1");
    const DBID t1 = Target("T", -0.03);
    db_LocalTransformation transformation;
    transformation.TransformationName = "Site";
    const DBID lt = dbRecord_AppendGrouped(Access(), &transformation);
    ExpectRebuiltEqual("stations, bearings, traverse, arc, target, transformation");

    job.ApplyBoolAction(p3, db_BoolAction::Delete);
    ExpectRebuiltEqual("the best point deleted");
    job.ApplyBoolAction(p3, db_BoolAction::Undelete);
    job.ApplyBoolAction(line, db_BoolAction::Delete);
    job.ApplyBoolAction(lt, db_BoolAction::Delete);
    ExpectRebuiltEqual("undeleted; a line and a transformation deleted");
    job.ApplyStr(q3, "A0", 0);
    ExpectRebuiltEqual("the best of Q renamed to the front");
    job.ApplyStr(p1, "Z", 0);
    ExpectRebuiltEqual("the oldest P renamed to the end");

    db_Observation replacement;
    replacement.PointName = "P";
    replacement.Method = DBENTITY_Coordinates;
    replacement.Classification = Classified(db_PointClassification::Control);
    dbRecord_ReplaceAtGrouped(Access(), p2, &replacement);
    ExpectRebuiltEqual("a point replaced, same name");
    replacement.PointName = "B";
    dbRecord_ReplaceAtGrouped(Access(), q2, &replacement);
    ExpectRebuiltEqual("a point replaced under another name");
    backBearing.BackSight = "R";
    dbRecord_ReplaceAtGrouped(Access(), bb, &backBearing);
    ExpectRebuiltEqual("a back bearing replaced");

    Remove(p3);
    ExpectRebuiltEqual("the best of P removed");
    Remove(r1);
    ExpectRebuiltEqual("the Stakeout point removed");
    Remove(line);
    Remove(arc);
    Remove(t1);
    ExpectRebuiltEqual("a line, an arc and a target removed");
    EXPECT_EQ(Index()->FindTargetRecord("T"), nullptr);
    dbSelection lines;
    EXPECT_FALSE(Index()->SelectByType(DATABASE_LineRecord, lines)) << "a removed line answers no look-up";

    // Several actions of one transaction.
    Access()->BeginGroupNested();
    job.ApplyStr(q1, "C", 0);
    job.ApplyStr(p2, "A", 0);
    Access()->AddAction(DBMODEL_Remove, q3, Access()->GetRecord(q3));
    db_Grid grid;
    replacement.PointName = "C";
    const DBID c2 = dbRecord_Append(Access(), &replacement);
    Access()->AddAction(DBMODEL_Apply, c2, &grid);
    Access()->EndGroupNested();
    ExpectRebuiltEqual("renames, a removal and a new point in one transaction");
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();

    const IndexSeen followed = See(*Index());
    job.Close();
    ASSERT_TRUE(job.Open(Str(path.c_str()), true));
    const IndexSeen reopened = See(*Index());
    EXPECT_EQ(reopened.objects, followed.objects) << "the reopened job";
    EXPECT_EQ(reopened.names, followed.names);
}

TEST_F(JobIndexFollowing, PlaceholdersAndTheNameSelection) {
    const DBID p1 = Gnss("P");
    const DBID p2 = Gnss("P");
    const DBID t1 = Target("T", -0.03);
    const int subscript = Index()->FindByRecordId(p1).GetSubscript();
    EXPECT_EQ(Status(p1) & 0x4, 0x4u);
    EXPECT_EQ(Index()->FindPointReference("P"), dbObjectRef(Index()->GetIndexNumber(), subscript));

    Remove(p1);
    dbObject* placeholder = Index()->GetObject(subscript);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_TRUE(placeholder->HasFlag(DBOBJECT_Removed));
    EXPECT_EQ(placeholder->GetFilter(), (dbFilterTriple{0, 0, 0}));
    EXPECT_EQ(Index()->FindByRecordId(p1).GetSubscript(), subscript) << "references held elsewhere stay valid";
    dbSelection points;
    ASSERT_TRUE(Index()->SelectByName("P", DATABASE_ObservationRecord, points));
    ASSERT_EQ(points.GetItemCount(), 1);
    EXPECT_EQ(points.GetRecordId(0), p2);
    EXPECT_EQ(Status(p2) & 0x4, 0x4u) << "the remaining point is the best now";
    EXPECT_EQ(Index()->FindPointReference("P"), Index()->FindByRecordId(p2));

    EXPECT_NE(Index()->FindTargetRecord("T"), nullptr);
    Remove(t1);
    EXPECT_EQ(Index()->FindTargetRecord("T"), nullptr) << "a removed target is not offered again";
    EXPECT_EQ(Index()->GetNameSelection().GetItemCount(), 1);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexFollowing, ANewBestPointClearsLaterComputedFlags) {
    Gnss("A");
    const DBID p1 = Gnss("P");
    const DBID line = Line("L", "P", "A");
    const DBID arc = Arc("C");
    const DBID before = Gnss("A");
    auto compute = [&](DBID id) { Index()->EnsureLoaded(Index()->FindByRecordId(id).GetSubscript()); };
    for (DBID id : {p1, line, arc, before}) compute(id);
    dbObject* first = Index()->GetObject(0);
    first->SetFlags(DBOBJECT_HorizontalComputed);
    ASSERT_TRUE(Object(line)->HasFlag(DBOBJECT_HorizontalComputed));

    KeyedIn("P");
    EXPECT_TRUE(first->HasFlag(DBOBJECT_HorizontalComputed)) << "stored before the first point of the name";
    for (DBID id : {p1, line, arc, before})
        EXPECT_FALSE(Object(id)->HasFlag(DBOBJECT_HorizontalComputed)) << id.Value();
    EXPECT_EQ(Status(p1) & 0x4, 0u);
}

TEST_F(JobIndexFollowing, APointThatStopsBeingBestMovesWhatRestsOnIt) {
    // Of two equal keyed-in grid points the older is best; given a locally transformed
    // grid measurement, it loses to the newer one, whose coordinates the line takes.
    const DBID p1 = KeyedIn("P");
    const DBID p2 = KeyedIn("P");
    const DBID line = Line("L", "P", "P");
    for (DBID id : {p2, line}) Object(id)->SetFlags(DBOBJECT_HorizontalComputed);
    ASSERT_EQ(Status(p1) & 0x4, 0x4u);

    db_LocalTransformedGrid grid;
    Access()->ApplyInGroup(p1, &grid);
    EXPECT_EQ(Status(p1) & 0x4C, 0u);
    EXPECT_EQ(Status(p2) & 0x4, 0x4u);
    for (DBID id : {p2, line}) EXPECT_FALSE(Object(id)->HasFlag(DBOBJECT_HorizontalComputed)) << id.Value();
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexFollowing, ABestPointWhoseStatusWasClearedStillMovesWhatRestsOnIt) {
    // A newer point that is not best clears the status flag of every point of the name;
    // the edit that then ends P1's lead must still see that P1 was the best, and clear
    // what follows the name's first point.
    struct Case {
        const char* what;
        const char* name;
        std::function<void(DBID)> edit;
    };
    const Case cases[] = {
        {"a locally transformed grid measurement", "P",
         [&](DBID p1) {
             db_LocalTransformedGrid grid;
             Access()->ApplyInGroup(p1, &grid);
         }},
        {"deleted", "Q", [&](DBID p1) { job.ApplyBoolAction(p1, db_BoolAction::Delete); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DBID p1 = KeyedIn(c.name);
        const DBID later = KeyedIn("Later");
        const DBID line = Line("L", c.name, c.name);
        Object(later)->SetFlags(DBOBJECT_HorizontalComputed);
        const DBID p2 = KeyedIn(c.name);
        Index()->EnsureLoaded(Index()->FindByRecordId(line).GetSubscript());
        ASSERT_EQ(LineObject::Cast(Object(line))->_StartRef, Index()->FindByRecordId(p1));
        ASSERT_TRUE(Object(later)->HasFlag(DBOBJECT_HorizontalComputed)) << "a point that is not best moves nothing";
        for (DBID id : {p1, p2}) Object(id)->ClearFlags(DBOBJECT_StatusComputed);

        c.edit(p1);
        for (DBID id : {later, line}) EXPECT_FALSE(Object(id)->HasFlag(DBOBJECT_HorizontalComputed)) << id.Value();
        Index()->EnsureLoaded(Index()->FindByRecordId(line).GetSubscript());
        EXPECT_EQ(LineObject::Cast(Object(line))->_StartRef, Index()->FindByRecordId(p2));
    }
    ExpectOnlyNoTransformReports();
}

TEST_F(JobIndexFollowing, ARenameThatKeepsItsPlaceRefreshesTheOldName) {
    // P2 outranks P1; renamed "R", it stays after P1 in name order.
    const DBID p1 = Gnss("P");
    const DBID line = Line("L", "P", "P");
    const DBID p2 = KeyedIn("P", db_PointClassification::Construction);
    Index()->EnsureLoaded(Index()->FindByRecordId(line).GetSubscript());
    ASSERT_EQ(LineObject::Cast(Object(line))->_StartRef, Index()->FindByRecordId(p2));
    ASSERT_EQ(Status(p1) & 0x4, 0u);

    job.ApplyStr(p2, "R", 0);
    EXPECT_EQ(Status(p1) & 0x4, 0x4u) << "the only point of P left";
    EXPECT_FALSE(Object(line)->HasFlag(DBOBJECT_HorizontalComputed)) << "stored before the renamed point";
    Index()->EnsureLoaded(Index()->FindByRecordId(line).GetSubscript());
    EXPECT_EQ(LineObject::Cast(Object(line))->_StartRef, Index()->FindByRecordId(p1));
    ExpectOnlyNoTransformReports();
}

TEST_F(JobIndexFollowing, WhatNamesAPointIsClearedWhereverItIsStored) {
    // Stored before any point A: a line on A, a line on Q, and Q measured from A (the
    // name in another case, as positions find it).
    const DBID early = Line("L1", "A", "A");
    const DBID onQ = Line("L2", "Q", "Q");
    db_Polar polar;
    polar.SourcePoint = "a";
    const DBID q = Point("Q", DBENTITY_Coordinates, kNormal, &polar);
    const DBID other = KeyedIn("B");
    for (DBID id : {early, onQ, q, other}) Object(id)->SetFlags(DBOBJECT_HorizontalComputed);

    Gnss("A");
    for (DBID id : {early, onQ, q}) EXPECT_FALSE(Object(id)->HasFlag(DBOBJECT_HorizontalComputed)) << id.Value();
    EXPECT_TRUE(Object(other)->HasFlag(DBOBJECT_HorizontalComputed)) << "rests on no point";
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexFollowing, APointThatIsNeverBestCanChangeWhichPointIs) {
    // Stakeout and Normal rank alike, and a locally transformed grid loses only a tie of
    // equal classifications: with the Stakeout point between them in age, the oldest
    // point of P wins where the newest did.
    KeyedIn("Q", db_PointClassification::Control);
    const DBID oldest = LocalGrid("P");
    const DBID between = KeyedIn("Q", db_PointClassification::Stakeout);
    const DBID newest = KeyedIn("P");
    const DBID line = Line("L", "P", "P");
    Index()->EnsureLoaded(Index()->FindByRecordId(line).GetSubscript());
    ASSERT_EQ(LineObject::Cast(Object(line))->_StartRef, Index()->FindByRecordId(newest));

    job.ApplyStr(between, "P", 0);
    EXPECT_EQ(Status(between) & 0x4, 0u);
    EXPECT_EQ(Status(oldest) & 0x4, 0x4u);
    EXPECT_FALSE(Object(line)->HasFlag(DBOBJECT_HorizontalComputed));
    Index()->EnsureLoaded(Index()->FindByRecordId(line).GetSubscript());
    EXPECT_EQ(LineObject::Cast(Object(line))->_StartRef, Index()->FindByRecordId(oldest));
    ExpectOnlyNoTransformReports();
}

TEST_F(JobIndexFollowing, SeveralActionsOnOnePointInOneTransaction) {
    struct Case {
        const char* what;
        std::function<void(DBID)> actions;
        std::vector<const char*> names;  // of the name selection afterwards
    };
    const Case cases[] = {
        {"renamed twice",
         [&](DBID a) {
             job.ApplyStr(a, "C", 0);
             job.ApplyStr(a, "D", 0);
         },
         {"B", "D"}},
        {"replaced, then removed",
         [&](DBID a) {
             db_Observation point;
             point.PointName = "C";
             dbRecord_ReplaceAt(Access(), a, &point);
             Access()->AddAction(DBMODEL_Remove, a, Access()->GetRecord(a));
         },
         {"B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        job.Close();
        std::filesystem::remove(path);
        ASSERT_TRUE(job.Create(Str(path.c_str()), "Job", true));
        const DBID a = Gnss("A");
        Gnss("B");
        Access()->BeginGroupNested();
        c.actions(a);
        Access()->EndGroupNested();
        dbSelection& names = Index()->GetNameSelection();
        ASSERT_EQ(names.GetItemCount(), static_cast<int>(c.names.size()));
        for (size_t i = 0; i < c.names.size(); ++i) EXPECT_STREQ(names.GetName(static_cast<int>(i)), c.names[i]);
        EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();
    }
}

TEST_F(JobIndexFollowing, TransformationsAndInvalidatingRecordsClearFlags) {
    const DBID p1 = Gnss("P");
    const DBID line = Line("L", "P", "P");
    auto computeAll = [&] {
        for (int i = 0; i < Index()->GetObjectCount(); ++i) Index()->EnsureLoaded(i);
    };
    computeAll();
    ASSERT_TRUE(Object(p1)->HasFlag(DBOBJECT_ElevationComputed));
    db_TotalAtmosphere atmosphere;
    const DBID air = dbRecord_AppendGrouped(Access(), &atmosphere);
    EXPECT_TRUE(Object(p1)->HasFlag(DBOBJECT_ElevationComputed)) << "a new record invalidates nothing before it";
    atmosphere.Pressure = 1000.0;
    dbRecord_ReplaceAtGrouped(Access(), air, &atmosphere);
    EXPECT_FALSE(Object(p1)->HasFlag(DBOBJECT_ElevationComputed));
    EXPECT_TRUE(Object(p1)->HasFlag(DBOBJECT_HorizontalComputed)) << "only flag 16";

    computeAll();
    db_LocalTransformation transformation;
    transformation.TransformationName = "Site";
    dbRecord_AppendGrouped(Access(), &transformation);
    for (DBID id : {p1, line})
        EXPECT_EQ(Object(id)->GetFlags() & (DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed), 0) << id.Value();
}

TEST_F(JobIndexFollowing, EveryActionOnALocalTransformationClearsEveryComputedFlag) {
    constexpr uint16_t kComputed = DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed | DBOBJECT_ElevationComputed;
    const DBID p1 = Gnss("P");
    const DBID line = Line("L", "P", "P");
    db_LocalTransformation transformation;
    transformation.TransformationName = "Site";
    const DBID lt = dbRecord_AppendGrouped(Access(), &transformation);
    // Attached point files: one of locally transformed grid coordinates, one of grid.
    auto attach = [&](coord_Type coordType) {
        auto* file = new TestIndex;
        file->coordType = coordType;
        Index()->AttachIndex(file);
        auto* point = new ObservationObject;
        file->AddObject(point);
        return point;
    };
    ObservationObject* local = attach(COORD_LocalTransformedGridType);
    ObservationObject* grid = attach(COORD_GridType);

    struct Case {
        const char* what;
        std::function<void()> action;
        Reports reports;
    };
    const Case cases[] = {
        {"append", [&] { dbRecord_AppendGrouped(Access(), &transformation); }, {}},
        {"insert before", [&] { dbRecord_InsertBeforeGrouped(Access(), p1, &transformation); },
         {"Index cannot insert objects"}},
        {"replace", [&] { dbRecord_ReplaceAtGrouped(Access(), lt, &transformation); }, {}},
        {"apply", [&] { job.ApplyBoolAction(lt, db_BoolAction::Delete); }, {}},
        {"remove", [&] { Remove(lt); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (dbObject* object : {Object(p1), Object(line), static_cast<dbObject*>(local), static_cast<dbObject*>(grid)})
            object->SetFlags(kComputed);
        env.Clear();
        c.action();
        EXPECT_EQ(env.Expressions(), c.reports);
        for (DBID id : {p1, line}) EXPECT_EQ(Object(id)->GetFlags() & kComputed, 0) << id.Value();
        EXPECT_EQ(local->GetFlags() & kComputed, 0) << "a file of locally transformed grid coordinates";
        EXPECT_EQ(grid->GetFlags() & kComputed, kComputed) << "a file of grid coordinates";
    }
}

TEST_F(JobIndexFollowing, RenamingResortsTheNames) {
    const DBID b = Gnss("B");
    Gnss("C");
    job.ApplyStr(b, "D", 0);
    dbSelection& names = Index()->GetNameSelection();
    ASSERT_EQ(names.GetItemCount(), 2);
    EXPECT_STREQ(names.GetName(0), "C");
    EXPECT_STREQ(names.GetName(1), "D");
    EXPECT_TRUE(names.Search("D", DATABASE_ObservationRecord, 0, nullptr));
}

// ---------------------------------------------------------------- building

TEST_F(JobIndexFollowing, BuildingTwiceAddsNothing) {
    EXPECT_EQ(Index()->GetObjectCount(), 0) << "a job header only";
    EXPECT_TRUE(Index()->GetNameSelection().IsSortedByName());
    const DBID p1 = Gnss("P");
    Index()->EnsureLoaded(0);
    ASSERT_TRUE(Object(p1)->HasFlag(DBOBJECT_StatusComputed));
    EXPECT_TRUE(Index()->Build());
    EXPECT_EQ(Index()->GetObjectCount(), 1);
    EXPECT_EQ(Index()->GetNameSelection().GetItemCount(), 1);
    EXPECT_EQ(Object(p1)->GetFlags() & 0x19, 0);
}

TEST_F(JobIndexFollowing, ObjectsOfEachRecordType) {
    db_Circle circle;
    const DBID resection = Point("R", DBENTITY_ResectionInProgress, kNormal, &circle);
    const DBID line = Line("L", "R", "R");
    const DBID arc = Arc("A");
    db_TotalBackBearing backBearing;
    backBearing.BackSight = "R";
    const DBID bb = dbRecord_AppendGrouped(Access(), &backBearing);
    const DBID station = Station("S");
    db_Traverse traverse;
    traverse.TraverseName = "T1";
    const DBID tr = dbRecord_AppendGrouped(Access(), &traverse);
    const DBID target = Target("T", 0);
    db_LocalTransformation transformation;
    transformation.TransformationName = "Site";
    transformation.Deleted = true;
    const DBID lt = dbRecord_AppendGrouped(Access(), &transformation);
    db_Note note;
    dbRecord_AppendGrouped(Access(), &note);

    struct Case {
        DBID id;
        int type;
        dbFilterTriple triple;
        uint16_t flags;
    };
    const Case cases[] = {
        {resection, DATABASE_ObservationRecord, {3, 1, 0x4000}, 0},
        {line, DATABASE_LineRecord, {5, 5, 0x81}, 0},
        {arc, DATABASE_ArcRecord, {9, 5, 0x81}, 0},
        {bb, DATABASE_BackBearingRecord, {1, 5, 0x81}, 0x9},
        {station, DATABASE_StationRecord, {129, 5, 0x81}, 0x8},
        {tr, DATABASE_TraverseHeaderRecord, {65, 5, 0x81}, 0x9},
        {target, DATABASE_TargetRecord, {1, 1, 1}, 0},
        {lt, DATABASE_LocalTransformationRecord, {17, 3, 0x81}, 0x9},
    };
    ASSERT_EQ(Index()->GetObjectCount(), 8) << "the note makes none";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const dbRecord_Class* record = Access()->GetRecord(c.id);
        std::unique_ptr<dbObject> made(Index()->CreateObject(record));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->GetRecordType(), c.type);
        EXPECT_EQ(made->GetRecordId(), c.id);
        EXPECT_EQ(made->GetFilter(), c.triple);
        EXPECT_EQ(made->GetFlags(), c.flags);
    }
    dbSelection selection;
    EXPECT_TRUE(Index()->SelectByType(DATABASE_StationRecord, selection));
    ASSERT_EQ(selection.GetItemCount(), 1);
    EXPECT_EQ(selection.GetRecordId(0), station);
    EXPECT_FALSE(Index()->SelectByType(DATABASE_NoteRecord, selection));
    EXPECT_EQ(selection.GetItemCount(), 0);
    // Method 50 keeps its factory status; the best-point bits are added to it.
    EXPECT_EQ(Status(resection), 0x4000u | 0x4 | 0x8 | 0x10);
}

TEST_F(JobIndexFollowing, InsertsAreNotFollowedButReopeningFindsThem) {
    const DBID p1 = Gnss("P");
    db_Observation point;
    point.PointName = "I";
    const DBID inserted = dbRecord_InsertBeforeGrouped(Access(), p1, &point);
    EXPECT_EQ(env.Expressions(), Reports{"Index cannot insert objects"});
    EXPECT_TRUE(Index()->FindByRecordId(inserted).IsNull());
    env.Clear();
    job.Close();
    ASSERT_TRUE(job.Open(Str(path.c_str()), true));
    EXPECT_EQ(Index()->FindByRecordId(inserted).GetSubscript(), 0);
    EXPECT_EQ(Index()->FindByRecordId(p1).GetSubscript(), 1);
}

TEST_F(JobIndexFollowing, EndEntityMarksTheObservation) {
    db_Observation point;
    point.PointName = "P";
    const DBID id = job.BeginEntity(&point);
    db_Note note;
    dbRecord_Append(Access(), &note);
    job.EndEntityMarkingObservation();
    EXPECT_TRUE(Object(id)->HasFlag(0x20));
}

TEST_F(JobIndexFollowing, ManyPoints) {
    for (int i = 0; i < 50; ++i) Point("P", DBENTITY_Coordinates);
    EXPECT_FALSE(Index()->HasManyPoints());
    Point("P", DBENTITY_Coordinates);
    EXPECT_TRUE(Index()->HasManyPoints());
}

// ---------------------------------------------------------------- best point of a name

TEST_F(JobIndexFollowing, BestPointCases) {
    // Equal GNSS points: the oldest takes every slot its measurement allows.
    const DBID g1 = Gnss("G");
    const DBID g2 = Gnss("G");
    EXPECT_EQ(Status(g1), 1u | 0x4 | 0x40 | 0x10);
    EXPECT_EQ(Status(g2), 1u);

    // A keyed-in point beats an observed one whatever the classification or order.
    const DBID k1 = KeyedIn("K", db_PointClassification::Check);
    const DBID k2 = Gnss("K", db_PointClassification::Control);
    EXPECT_EQ(Status(k1), 1u | 0x4 | 0x8 | 0x10);
    EXPECT_EQ(Status(k2), 1u | 0x40);
    // Between keyed-in points the classification decides, then the local grid loses.
    const DBID c1 = KeyedIn("C", db_PointClassification::Normal);
    const DBID c2 = KeyedIn("C", db_PointClassification::Control);
    EXPECT_EQ(Status(c2) & 0x4, 0x4u);
    EXPECT_EQ(Status(c1) & 0x4, 0u);
    const DBID l1 = LocalGrid("LG");
    const DBID l2 = KeyedIn("LG");
    EXPECT_EQ(Status(l2), 1u | 0x4 | 0x8 | 0x10);
    EXPECT_EQ(Status(l1), 1u | 0x20);

    // Method 50 fills an empty slot only.
    db_Circle circle;
    const DBID alone = Point("R", DBENTITY_ResectionInProgress, kNormal, &circle);
    EXPECT_EQ(Status(alone), 0x4000u | 0x4 | 0x8 | 0x10);
    const DBID observed = Point("R", DBENTITY_AngleOnly, db_PointClassification::Check, &circle);
    EXPECT_EQ(Status(alone), 0x4000u);
    EXPECT_EQ(Status(observed), 1u | 0x4 | 0x8 | 0x10);

    // Angles only never replace a direct reading, and the reverse always.
    const DBID direct = Point("D", DBENTITY_DirectReading, db_PointClassification::Check, &circle);
    const DBID angles = Point("D", DBENTITY_AngleOnly, db_PointClassification::Control, &circle);
    EXPECT_EQ(Status(direct) & 0x4, 0x4u);
    EXPECT_EQ(Status(angles) & 0x4, 0u);
    const DBID angles2 = Point("E", DBENTITY_AngleOnly, db_PointClassification::Control, &circle);
    const DBID direct2 = Point("E", DBENTITY_DirectReading, db_PointClassification::Check, &circle);
    EXPECT_EQ(Status(direct2) & 0x4, 0x4u);
    EXPECT_EQ(Status(angles2) & 0x4, 0u);

    // A Stakeout point marks every point of the name; a deleted one none.
    const DBID s1 = Gnss("S", db_PointClassification::Stakeout);
    const DBID s2 = KeyedIn("S");
    EXPECT_EQ(Status(s1) & 0x100, 0x100u);
    EXPECT_EQ(Status(s2) & 0x100, 0x100u);
    job.ApplyBoolAction(s1, db_BoolAction::Delete);
    EXPECT_EQ(Status(s2) & 0x100, 0u);
    // Azimuth-only points are never best but still tell of Stakeout.
    db_Azimuth azimuth;
    const DBID az = Point("Z", DBENTITY_AzimuthOnly, db_PointClassification::Stakeout, &azimuth);
    EXPECT_EQ(Status(az), 1u | 0x100);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexFollowing, MeanTurnedAngleScenario) {
    db_MeanTurnedAngle mta;
    mta.MTA.EDMDistance = 10.0;  // amounts to a direct reading
    mta.Station = DBID(90);
    db_Grid grid;
    db_Circle circle;
    circle.Station = DBID(90);
    // Newest first: the mean turned angle is best until an older reading wins the scenario.
    const DBID reading = Point("M", DBENTITY_DirectReading, kNormal, &grid);
    const DBID mean = Point("M", DBENTITY_MeanTurnedAngle, db_PointClassification::MTA, &mta);
    EXPECT_EQ(Status(mean) & 0x4, 0x4u) << "no station between";
    ASSERT_FALSE(env.warnings.empty());
    for (const std::string& warning : env.warnings) EXPECT_EQ(warning, "Unexpected best point scenario");

    env.Clear();
    const DBID reading2 = Point("N", DBENTITY_DirectReading, kNormal, &grid);
    Station("S");
    const DBID mean2 = Point("N", DBENTITY_MeanTurnedAngle, db_PointClassification::MTA, &mta);
    EXPECT_EQ(Status(reading2) & 0x4, 0x4u) << "a station set up between";
    EXPECT_EQ(Status(mean2) & 0x4, 0u);

    env.Clear();
    const DBID fromStation = Point("O", DBENTITY_DirectReading, kNormal, &circle);
    const DBID mean3 = Point("O", DBENTITY_MeanTurnedAngle, db_PointClassification::MTA, &mta);
    EXPECT_EQ(Status(mean3) & 0x4, 0x4u) << "a reading from the station of the mean turned angle";
    circle.Station = DBID(91);
    const DBID otherStation = Point("U", DBENTITY_DirectReading, kNormal, &circle);
    const DBID mean4 = Point("U", DBENTITY_MeanTurnedAngle, db_PointClassification::MTA, &mta);
    EXPECT_EQ(Status(otherStation) & 0x4, 0x4u);
    EXPECT_EQ(Status(mean4) & 0x4, 0u);
    EXPECT_TRUE(env.warnings.empty());
    EXPECT_TRUE(env.assertions.empty());
    (void)reading;
    (void)fromStation;
}

TEST(BestPointRule, Ranks) {
    EXPECT_TRUE(dbJobIndex_IsObservedMethod(11));
    EXPECT_TRUE(dbJobIndex_IsObservedMethod(48));
    EXPECT_TRUE(dbJobIndex_IsObservedMethod(51));
    for (int method : {0, 1, 10, 30, 31, 49, 50, 52}) EXPECT_FALSE(dbJobIndex_IsObservedMethod(method)) << method;
    for (int method : {33, 45, 47}) EXPECT_TRUE(dbJobIndex_IsAngleMethod(method)) << method;
    for (int method : {32, 46, 48}) EXPECT_FALSE(dbJobIndex_IsAngleMethod(method)) << method;
    struct Case {
        int a, b;
        bool weaker;
    };
    const Case cases[] = {{35, 0, true}, {0, 32, true}, {35, 45, true}, {35, 33, true}, {32, 33, false},
                          {34, 33, false}, {35, 34, true}, {33, 35, false}, {13, 35, false}};
    for (const Case& c : cases) EXPECT_EQ(dbJobIndex_IsWeakerMethod(c.a, c.b), c.weaker) << c.a << " " << c.b;
    EXPECT_TRUE(dbJobIndex_PreferOnTie(14, 14));
    EXPECT_TRUE(dbJobIndex_PreferOnTie(13, 11));
    EXPECT_FALSE(dbJobIndex_PreferOnTie(14, 13));
    EXPECT_TRUE(dbJobIndex_HasRankedClassification(Classified(db_PointClassification::Control)));
    EXPECT_FALSE(dbJobIndex_HasRankedClassification(Classified(db_PointClassification::Check)));
    EXPECT_FALSE(dbJobIndex_HasRankedClassification(Classified(db_PointClassification::Construction)));

    dbPointSearchResult empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.MeasurementType, 163);
    dbPointSearchResult candidate;
    candidate.Method = DBENTITY_ResectionInProgress;
    EXPECT_TRUE(dbJobIndex_IsBetterPoint(candidate, empty));
    dbPointSearchResult current = candidate;
    EXPECT_FALSE(dbJobIndex_IsBetterPoint(candidate, current));
    // None looks at the classification alone; empty at the rest as well.
    EXPECT_TRUE(empty.IsNone());
    EXPECT_TRUE(candidate.IsNone());
    EXPECT_FALSE(candidate.IsEmpty());
    candidate.Classification = Classified(db_PointClassification::Normal);
    EXPECT_FALSE(candidate.IsNone());
}

TEST_F(IndexTest, FindBestPointsKeepsFilledSlots) {
    // A table whose overall slot is taken by an earlier search stays as it is.
    dbBestPointTable table;
    table.Results[0].Method = DBENTITY_GpsRTKCtrlPoint;
    table.Results[0].IndexNumber = 7;
    table.Wanted[0] = false;
    dbJobIndex index;
    uint32_t status = 0;
    EXPECT_TRUE(index.FindBestPoints("P", table, status));
    EXPECT_EQ(table.Results[0].IndexNumber, 7);
    EXPECT_FALSE(table.Wanted[0]);
    for (int slot = 1; slot < 5; ++slot) EXPECT_TRUE(table.Wanted[slot]);
    EXPECT_EQ(status, 0u);
}

// ---------------------------------------------------------------- attached indexes

TEST_F(JobIndexFollowing, AnAttachedJobTakesPartThroughItsRoot) {
    const DBID own = Gnss("P");
    auto* other = new JobDatabase;
    ASSERT_TRUE(other->Create(Str((tmp / "b.job").c_str()), "Other", true));
    db_Observation point;
    point.PointName = "P";
    point.Method = DBENTITY_Coordinates;
    point.Classification = Classified(kNormal);
    other->GetAccess()->BeginGroupNested();
    const DBID theirs = dbRecord_Append(other->GetAccess(), &point);
    db_Grid grid;
    other->GetAccess()->AddAction(DBMODEL_Apply, theirs, &grid);
    other->GetAccess()->EndGroupNested();
    dbJobIndex* attached = other->GetJobIndex();
    EXPECT_EQ(Index()->AttachIndex(attached), attached) << "a job index is its own owner";
    EXPECT_EQ(attached->GetRoot(), Index());
    EXPECT_EQ(Index()->GetAttachedIndex(attached->GetIndexNumber()), attached);
    EXPECT_EQ(dbIndex_AsJobIndex(attached), attached);

    // The root's point fills the GNSS slots over all indexes; the attached grid point
    // takes the grid slot there, and every slot of its own index.
    dbObject* object = attached->GetObject(attached->FindByRecordId(theirs).GetSubscript());
    EXPECT_EQ(object->GetStatusBits(), 1u | 0x4 | 0x8 | 0x10 | 0x400);
    EXPECT_EQ(Status(own), 1u | 0x4 | 0x40 | 0x10) << "the root sets no bits of all indexes";

    // Closing the root closes the attached job with it.
    job.Close();
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(IndexTest, ClassChecksAndAttachedSlots) {
    EXPECT_EQ(dbJobIndex_FromIndex(nullptr), nullptr);
    TestIndex file(dbIndex::CommaSeparatedFile);
    EXPECT_EQ(dbJobIndex_FromIndex(&file), nullptr);
    EXPECT_EQ(dbJobIndex_FromDatabaseIndex(&file), nullptr);
    EXPECT_EQ(env.Expressions(), (Reports{"jobIndex != NULL", "ClassName == JobIndex_ClassName",
                                          "(index != NULL) && (index->GetFileType() == dbIndex::DatabaseFile)",
                                          "ClassName == JobIndex_ClassName"}));
    env.Clear();
    dbJobIndex index;
    EXPECT_EQ(dbJobIndex_FromIndex(&index), nullptr) << "not reset yet";
    index.Reset();
    EXPECT_EQ(dbJobIndex_FromIndex(&index), &index);
    EXPECT_EQ(dbIndex_AsJobIndex(&index), nullptr) << "not built";
    env.Clear();

    index.Register();
    auto* points = new TestIndex(dbIndex::CommaSeparatedFile);
    EXPECT_EQ(index.AttachIndex(points), &index) << "a point file is owned by the job index";
    EXPECT_EQ(points->GetRoot(), &index);
    EXPECT_EQ(index.GetAttachedIndex(-1), nullptr);
    EXPECT_EQ(index.GetAttachedIndex(256), nullptr);
    index.CloseAttachedIndex(256);
    EXPECT_EQ(env.Expressions(), Reports{"indexNum < DBINDEX_IndexCount"});
    const int number = points->GetIndexNumber();
    index.CloseAttachedIndex(number);
    EXPECT_EQ(index.GetAttachedIndex(number), nullptr);
    index.Clear();
}

TEST_F(JobIndexTest, AFullRegistryLeavesTheIndexEmpty) {
    job.Close();
    std::vector<std::unique_ptr<TestIndex>> others;
    while (others.size() < DBINDEX_IndexCount) {
        others.push_back(std::make_unique<TestIndex>());
        others.back()->Register();
    }
    env.Clear();
    ASSERT_TRUE(job.Open(Str(path.c_str()), true));
    EXPECT_EQ(env.Expressions(), Reports{"StaticIndexGlobals.NextInIndexList != start"});
    EXPECT_EQ(job.GetJobIndex()->GetIndexNumber(), -1);
    db_Observation point;
    point.PointName = "P";
    EXPECT_NE(dbRecord_AppendGrouped(Access(), &point), NODBID) << "the job works on";
    EXPECT_EQ(job.GetJobIndex()->GetObjectCount(), 0);
    job.Close();
    others.clear();
}

}  // namespace

namespace {

TEST(JobIndexCogoSettings, DefaultMaskFollowsDistancesAndComponents) {
    constexpr uint32_t kDatumAndProjection = 0x2 | 0x4;
    struct Case {
        int distances;  // -1: no corrections
        uint32_t components;
        int32_t projectionKind;
        int32_t mask;
    };
    const Case cases[] = {
        {-1, 0, 0, 0x8A4},
        {COORDSYS_GridDistance, 0, 0, 0x8A4},
        {COORDSYS_EllipsoidDistance, 0, 0, 0x894},
        {COORDSYS_GroundDistance, 0, 0, 0x854},
        {7, 0, 0, 0x8A4},
        {COORDSYS_GridDistance, 0x1 | kDatumAndProjection, 3, 0x4A4},
        {-1, kDatumAndProjection, 3, 0x4A4},
        {COORDSYS_GroundDistance, kDatumAndProjection, 3, 0x454},
        {COORDSYS_GridDistance, kDatumAndProjection | 0x10, 3, 0x8A4},
        {COORDSYS_GridDistance, kDatumAndProjection | 0x40, 3, 0x8A4},
        {COORDSYS_GridDistance, kDatumAndProjection, COORDSYS_ScaleOnly, 0x8A4},
        {COORDSYS_GridDistance, 0x4, 3, 0x8A4},
        {COORDSYS_GridDistance, 0x2, 3, 0x8A4},
    };
    for (const Case& c : cases) {
        coordsys_Corrections corrections;
        corrections.Distances = c.distances;
        const BitMask mask =
            dbJobIndex_DefaultCogoSettings(c.distances < 0 ? nullptr : &corrections, c.components, c.projectionKind);
        EXPECT_EQ(mask.Value(), c.mask) << "distances " << c.distances << ", components " << c.components
                                        << ", projection " << c.projectionKind;
    }
}

}  // namespace

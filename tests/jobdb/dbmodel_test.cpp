#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobdb/dbmodel.h"
#include "records/dbRecordFields.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "records/jobheader.h"
#include "records/lists.h"
#include "support/recording_environment.h"

namespace {

// Test-only records on the record frame, standing in for families not built yet.
class TestPrecision : public dbRecord_Body<TestPrecision> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PrecisionRecord;
    double Horizontal = 0.0;
    using Fields = dbfield_List<dbfield_F64<&TestPrecision::Horizontal>>;
};

class ModelTest : public ::testing::Test {
protected:
    ~ModelTest() override { model.Clear(); }

    // Applies one action the way the access object does: new records take the next id.
    DBID Apply(int operation, DBID target, dbRecord_Class& record) {
        DBID id = target;
        if (operation != DBMODEL_Replace && operation != DBMODEL_Remove) id = model.NextRecordId();
        record.SetRecordId(id);
        model.ApplyAction(dbModel_Action(operation, target, &record));
        return id;
    }
    DBID AppendPrecision(double value, double timeStamp = 100.0) {
        TestPrecision record;
        record.Horizontal = value;
        record.SetTimeStamp(timeStamp);
        return Apply(DBMODEL_Append, NODBID, record);
    }
    std::vector<uint32_t> Chain() const {
        std::vector<uint32_t> ids;
        for (const dbModel_Record* h = model.GetThread().GetFront(); h; h = model.GetThread().GetNextHolder(h))
            ids.push_back(h->DBRecord->GetRecordId().Value());
        return ids;
    }
    std::vector<uint32_t> ChainBackwards() const {
        std::vector<uint32_t> ids;
        for (const dbModel_Record* h = model.GetThread().GetBack(); h; h = model.GetThread().GetPreviousHolder(h))
            ids.insert(ids.begin(), h->DBRecord->GetRecordId().Value());
        return ids;
    }
    double HorizontalOf(DBID id) const {
        const TestPrecision* p = TestPrecision::Cast(model.GetRecord(id));
        return p ? p->Horizontal : -1;
    }

    RecordingEnvironment env;
    dbModel model;
};

TEST_F(ModelTest, AppendAndInsertKeepFileOrderBothWays) {
    AppendPrecision(1);
    AppendPrecision(2);
    AppendPrecision(3);
    TestPrecision front;
    EXPECT_EQ(Apply(DBMODEL_InsertBefore, DBID(1), front), DBID(4));
    TestPrecision middle;
    Apply(DBMODEL_InsertBefore, DBID(3), middle);
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{4, 1, 2, 5, 3}));
    EXPECT_EQ(ChainBackwards(), Chain());
    EXPECT_EQ(model.FindRecord(DBID(5))->DBRecord->GetRecordId(), DBID(5));
    EXPECT_EQ(model.FindRecord(NODBID), nullptr);
    EXPECT_EQ(model.FindRecord(DBID(6)), nullptr);
    EXPECT_EQ(model.FindRecord(DBID(100000)), nullptr);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(ModelTest, SummaryCountsAppendsAndInsertsOnly) {
    db_JobHeader header;
    Apply(DBMODEL_Append, NODBID, header);
    AppendPrecision(1);
    AppendPrecision(2);
    const dbModel_TypeSummary& precision = model.GetTypeSummary(DATABASE_PrecisionRecord);
    EXPECT_EQ(precision.First, DBID(2));
    EXPECT_EQ(precision.Last, DBID(3));
    EXPECT_EQ(precision.Count, 2u);

    // Inserted before the last record of its type: Last stays.
    TestPrecision early;
    Apply(DBMODEL_InsertBefore, DBID(3), early);
    EXPECT_EQ(precision.Last, DBID(3));
    EXPECT_EQ(precision.Count, 3u);
    // Inserted where no record of its type stands at or behind it: Last moves.
    db_JobHeader second;
    Apply(DBMODEL_InsertBefore, DBID(2), second);
    EXPECT_EQ(model.GetTypeSummary(DATABASE_JobHeaderRecord).Last, DBID(5));

    // Removing and replacing change no entry.
    TestPrecision replacement;
    Apply(DBMODEL_Replace, DBID(3), replacement);
    Apply(DBMODEL_Remove, DBID(2), replacement);
    EXPECT_EQ(precision.Count, 3u);
    EXPECT_EQ(precision.First, DBID(2));
    EXPECT_EQ(precision.Last, DBID(3));
    const dbModel_TypeSummary& all = model.GetTypeSummary(DATABASE_AllRecords);
    EXPECT_EQ(all.Count, 5u);
    EXPECT_EQ(all.First, NODBID);
    EXPECT_EQ(all.Last, NODBID);

    EXPECT_EQ(model.GetTypeSummary(163).Count, 0u);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"type >= 0 && type <= DATABASE_AllRecords"}));
}

TEST_F(ModelTest, ReplaceKeepsPlaceIdAndOldTimestamp) {
    AppendPrecision(1);
    AppendPrecision(2, 200.0);
    AppendPrecision(3);
    const dbRecord_Class* old = model.GetRecord(DBID(2));
    TestPrecision update;
    update.Horizontal = 22;
    update.SetTimeStamp(999.0);
    update.SetNotes("new");
    Apply(DBMODEL_Replace, DBID(2), update);

    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 2, 3}));
    const dbRecord_Class* now = model.FindRecord(DBID(2))->DBRecord;
    EXPECT_NE(now, old);
    EXPECT_EQ(HorizontalOf(DBID(2)), 22);
    EXPECT_EQ(now->GetTimeStamp(), 200.0);
    EXPECT_EQ(now->GetNotes(), "new");
    // The superseded record stays readable until the purge, without an id.
    EXPECT_EQ(old->GetRecordId(), NODBID);
    model.PurgeDiscarded();
    EXPECT_EQ(model.FindRecord(DBID(2))->DBRecord, now);
}

TEST_F(ModelTest, ReplaceWithAnotherTypeIsRefused) {
    AppendPrecision(1);
    db_JobHeader header;
    Apply(DBMODEL_Replace, DBID(1), header);
    EXPECT_EQ(HorizontalOf(DBID(1)), 1);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"oldRecord->DBRecord->GetType() == record->GetType()"}));
}

TEST_F(ModelTest, RemovedRecordIsFoundUntilPurgedAndTakesNoFurtherAction) {
    AppendPrecision(1);
    AppendPrecision(2);
    AppendPrecision(3);
    TestPrecision any;
    Apply(DBMODEL_Remove, DBID(2), any);
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(ChainBackwards(), Chain());
    ASSERT_NE(model.FindRecord(DBID(2)), nullptr);
    EXPECT_EQ(model.FindRecord(DBID(2))->DBRecord->GetRecordId(), DBID(2));
    EXPECT_EQ(model.GetRecord(DBID(2)), nullptr);

    // A second remove, a replace, an insert before and an edit through the removed
    // record change nothing and free nothing twice.
    Apply(DBMODEL_Remove, DBID(2), any);
    TestPrecision replacement;
    replacement.Horizontal = 9;
    Apply(DBMODEL_Replace, DBID(2), replacement);
    TestPrecision inserted;
    DBID insertedId = Apply(DBMODEL_InsertBefore, DBID(2), inserted);
    db_Note note;
    note.SetNotes("text");
    Apply(DBMODEL_Apply, DBID(2), note);
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(model.FindRecord(insertedId), nullptr);
    EXPECT_EQ(model.FindRecord(DBID(2))->DBRecord->GetNotes(), "");

    model.PurgeDiscarded();
    EXPECT_EQ(model.FindRecord(DBID(2)), nullptr);
    EXPECT_EQ(model.GetTypeSummary(DATABASE_PrecisionRecord).Count, 3u);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(ModelTest, PurgingSupersededRecordsKeepsRemovedOnesFindable) {
    for (double value : {1, 2, 3, 4}) AppendPrecision(value);
    TestPrecision any;
    TestPrecision replacement;
    replacement.Horizontal = 33;
    // Removed and superseded holders interleave on the free list.
    Apply(DBMODEL_Remove, DBID(2), any);
    Apply(DBMODEL_Replace, DBID(3), replacement);
    Apply(DBMODEL_Remove, DBID(4), any);
    Apply(DBMODEL_Replace, DBID(3), replacement);
    model.PurgeSuperseded();
    model.PurgeSuperseded();
    for (uint32_t id : {2u, 4u}) {
        ASSERT_NE(model.FindRecord(DBID(id)), nullptr);
        EXPECT_EQ(model.FindRecord(DBID(id))->DBRecord->GetRecordId(), DBID(id));
    }
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(HorizontalOf(DBID(3)), 33);
    model.PurgeDiscarded();
    EXPECT_EQ(model.FindRecord(DBID(2)), nullptr);
    EXPECT_EQ(model.FindRecord(DBID(4)), nullptr);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(ModelTest, RemovingFrontAndBackMovesTheEnds) {
    AppendPrecision(1);
    AppendPrecision(2);
    TestPrecision any;
    Apply(DBMODEL_Remove, DBID(1), any);
    EXPECT_EQ(model.GetThread().GetFront()->DBRecord->GetRecordId(), DBID(2));
    Apply(DBMODEL_Remove, DBID(2), any);
    EXPECT_EQ(model.GetThread().GetFront(), nullptr);
    EXPECT_EQ(model.GetThread().GetBack(), nullptr);
    AppendPrecision(3);
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{3}));
}

TEST_F(ModelTest, IdTableBlocks) {
    model.SetNextRecordId(DBID(1018));
    AppendPrecision(1);
    ASSERT_NE(model.FindRecord(DBID(1018)), nullptr);
    dbModel_IdTable table;
    const uint32_t slot = 7;
    table.Set(DBID(1018), slot);
    EXPECT_EQ(table.GetBlockCount(), 2u);
    EXPECT_EQ(table.Blocks[1][0], slot);
    table.Set(DBID(5000), slot);
    EXPECT_EQ(table.GetBlockCount(), 5u);
    EXPECT_EQ(table.Get(DBID(5000)), slot);
    EXPECT_EQ(table.Get(DBID(4999)), 0u);
    EXPECT_EQ(table.Get(DBID(5090)), 0u);
    table.Set(NODBID, slot);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"id > 0"}));
}

TEST_F(ModelTest, ARecordIdIsNeverHeldTwice) {
    AppendPrecision(1);
    TestPrecision twin;
    twin.SetRecordId(DBID(1));
    model.ApplyAction(dbModel_Action(DBMODEL_Append, NODBID, &twin));
    TestPrecision anonymous;
    model.ApplyAction(dbModel_Action(DBMODEL_Append, NODBID, &anonymous));
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"FindRecord(record->GetRecordId()) == NULL",
                                                           "record->GetRecordId() != NODBID"}));
}

TEST_F(ModelTest, NotesEditTheirTargetOrJoinTheChain) {
    AppendPrecision(1);
    db_Note note;
    note.SetNotes("first");
    Apply(DBMODEL_Apply, DBID(1), note);
    EXPECT_EQ(model.GetRecord(DBID(1))->GetNotes(), "first");
    note.SetNotes("second");
    Apply(DBMODEL_Replace, DBID(1), note);
    EXPECT_EQ(model.GetRecord(DBID(1))->GetNotes(), "second");
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1}));

    DBID appended = Apply(DBMODEL_Append, NODBID, note);
    DBID inserted = Apply(DBMODEL_InsertBefore, DBID(1), note);
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{inserted.Value(), 1, appended.Value()}));
    EXPECT_TRUE(env.assertions.empty());

    // Foreign, no-record and remove actions are no way to handle a note.
    for (int operation : {DBMODEL_Foreign, DBMODEL_NoRecord, DBMODEL_Remove})
        model.ApplyAction(dbModel_Action(operation, DBID(1), &note));
    // An ordinary record is not an edit.
    TestPrecision plain;
    Apply(DBMODEL_Apply, DBID(1), plain);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>(4, "!\"Bad action\""));
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{inserted.Value(), 1, appended.Value()}));
}

TEST_F(ModelTest, FeatureCodedRecordsAreUpdatedInPlace) {
    db_Line line;
    line.LineId = "L1";
    line.SetTimeStamp(10);
    Apply(DBMODEL_Append, NODBID, line);
    dbRecord_Class* stored = model.GetRecord(DBID(1));

    db_Line update;
    update.LineId = "L2";
    update.SetTimeStamp(20);
    Apply(DBMODEL_Replace, DBID(1), update);
    EXPECT_EQ(model.GetRecord(DBID(1)), stored);
    EXPECT_EQ(db_Line::Cast(stored)->LineId, "L2");

    // A record of another class never reaches UpdateFrom.
    db_Arc arc;
    arc.ArcName = "A1";
    Apply(DBMODEL_Replace, DBID(1), arc);
    EXPECT_EQ(model.GetRecord(DBID(1)), stored);
    EXPECT_EQ(db_Line::Cast(stored)->LineId, "L2");
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"oldRecord->DBRecord->GetType() == record->GetType()"}));
}

TEST_F(ModelTest, MeasurementReplacesTheObservationsOwn) {
    db_Observation point;
    point.PointName = "P1";
    Apply(DBMODEL_Append, NODBID, point);
    db_Grid grid;
    grid.Grid.North = 100;
    Apply(DBMODEL_Append, DBID(1), grid);
    const db_Observation* stored = db_Observation::Cast(model.GetRecord(DBID(1)));
    ASSERT_NE(stored, nullptr);
    const db_Grid* first = db_Grid::Cast(stored->GetMeasurement());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetRecordId(), DBID(2));
    EXPECT_EQ(first->Grid.North, 100);

    // Whatever the operation, the new one is attached and the old one waits on the
    // free list, still readable, without an id.
    db_Grid second;
    second.Grid.North = 200;
    Apply(DBMODEL_Apply, DBID(1), second);
    const db_Grid* now = db_Grid::Cast(stored->GetMeasurement());
    ASSERT_NE(now, nullptr);
    EXPECT_NE(now, first);
    EXPECT_EQ(now->Grid.North, 200);
    EXPECT_EQ(first->Grid.North, 100);
    EXPECT_EQ(first->GetRecordId(), NODBID);
    model.PurgeDiscarded();

    // Measurements never enter the chain, and need an observation to go to.
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(model.GetTypeSummary(DATABASE_GridRecord).Count, 0u);
    DBID precision = AppendPrecision(5);
    Apply(DBMODEL_Apply, precision, grid);
    Apply(DBMODEL_Apply, DBID(77), grid);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"!\"Bad action\"", "!\"Bad action\""}));
}

TEST_F(ModelTest, EditRecordsChangeTheirTarget) {
    db_Observation point;
    point.PointName = "P1";
    Apply(DBMODEL_Append, NODBID, point);
    db_Circle circle;
    Apply(DBMODEL_Append, DBID(1), circle);
    db_Line line;
    line.LineId = "L1";
    Apply(DBMODEL_Append, NODBID, line);
    db_Observation* stored = db_Observation::Cast(model.GetRecord(DBID(1)));
    db_Line* storedLine = db_Line::Cast(model.GetRecord(DBID(3)));
    ASSERT_NE(stored, nullptr);
    ASSERT_NE(storedLine, nullptr);

    db_BoolAction remove(db_BoolAction::Delete);
    Apply(DBMODEL_Apply, DBID(1), remove);
    EXPECT_TRUE(stored->Deleted);

    db_Str rename("P2", 0);
    Apply(DBMODEL_Apply, DBID(1), rename);
    EXPECT_EQ(stored->PointName, "P2");

    // A record id edit of an observation goes to its measurement; of a line, nowhere.
    db_DBID link(DBID(42));
    Apply(DBMODEL_Apply, DBID(1), link);
    EXPECT_EQ(db_Circle::Cast(stored->GetMeasurement())->Target, DBID(42));
    Apply(DBMODEL_Apply, DBID(3), link);

    db_Descriptions descriptions;
    descriptions.Descriptions.Description1 = "kerb";
    Apply(DBMODEL_Apply, DBID(3), descriptions);
    EXPECT_EQ(storedLine->GetDescriptions().Description1, "kerb");

    // Features: a different set replaces the line's own; an equal one changes nothing.
    db_Features features;
    features.Features.SetFromCodeString("TREE", false);
    Apply(DBMODEL_Apply, DBID(3), features);
    EXPECT_EQ(storedLine->GetFeatureCodes(), "TREE");
    Apply(DBMODEL_Apply, DBID(3), features);
    EXPECT_EQ(storedLine->GetFeatureCodes(), "TREE");

    // Edits aimed at records that do not take them, or at no record, change nothing.
    DBID precision = AppendPrecision(1);
    Apply(DBMODEL_Apply, precision, features);
    Apply(DBMODEL_Apply, precision, descriptions);
    EXPECT_TRUE(env.assertions.empty());
    // A missing target, or an observation without a measurement for a record id edit,
    // is reported as well.
    Apply(DBMODEL_Apply, DBID(999), remove);
    Apply(DBMODEL_Apply, DBID(999), rename);
    db_Observation bare;
    const DBID bareId = Apply(DBMODEL_Append, NODBID, bare);
    Apply(DBMODEL_Apply, bareId, link);
    model.PurgeDiscarded();
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 3, precision.Value(), bareId.Value()}));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"target", "target", "measurement"}));
}

// Points applied to a list join it in order; a point of the other kind, or one applied
// to another record, joins nothing. A replaced point takes the new values in its list
// and keeps its id and timestamp; an unknown id changes nothing.
TEST_F(ModelTest, TunnelPointsJoinTheirListAndAreReplacedInPlace) {
    db_TunnelXSPoints measured;
    measured.TunnelName = "T";
    const DBID list = Apply(DBMODEL_Append, NODBID, measured);
    db_TunnelXSSetoutPoints setout;
    const DBID setoutList = Apply(DBMODEL_Append, NODBID, setout);
    const DBID other = AppendPrecision(1);

    std::vector<DBID> points;
    for (int i = 0; i < 3; ++i) {
        db_TunnelPointDelta p;
        p.Observation = DBID(100 + i);
        p.SetTimeStamp(50.0 + i);
        points.push_back(Apply(DBMODEL_Apply, list, p));
    }
    db_TunnelSetoutPoint wrongKind;
    Apply(DBMODEL_Apply, list, wrongKind);
    db_TunnelPointDelta nowhere;
    Apply(DBMODEL_Apply, other, nowhere);
    Apply(DBMODEL_Apply, setoutList, nowhere);
    db_TunnelSetoutPoint s;
    const DBID setoutPoint = Apply(DBMODEL_Apply, setoutList, s);

    const auto* held = db_TunnelXSPoints::Cast(model.GetRecord(list));
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(held->GetCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(held->GetPoint(i)->GetRecordId(), points[i]);
    EXPECT_EQ(db_TunnelXSSetoutPoints::Cast(model.GetRecord(setoutList))->GetCount(), 1);
    // Points never enter the chain.
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{list.Value(), setoutList.Value(), other.Value()}));
    EXPECT_EQ(model.GetRecord(points[0]), nullptr);

    db_TunnelPointDelta update;
    update.Observation = DBID(7);
    update.Delta = 2.5;
    update.SetTimeStamp(999.0);
    Apply(DBMODEL_Replace, points[1], update);
    const auto* second = db_TunnelPointDelta::Cast(held->GetPoint(1));
    EXPECT_EQ(second->Observation, DBID(7));
    EXPECT_EQ(second->Delta, 2.5);
    EXPECT_EQ(second->GetRecordId(), points[1]);
    EXPECT_EQ(second->GetTimeStamp(), 51.0);
    EXPECT_EQ(db_TunnelPointDelta::Cast(held->GetPoint(0))->Observation, DBID(100));

    // The other kind under a point's id, and ids that name no point, change nothing.
    db_TunnelSetoutPoint otherKind;
    Apply(DBMODEL_Replace, points[2], otherKind);
    Apply(DBMODEL_Replace, setoutPoint, update);
    Apply(DBMODEL_Replace, DBID(5000), update);
    EXPECT_EQ(db_TunnelPointDelta::Cast(held->GetPoint(2))->Observation, DBID(102));
    EXPECT_EQ(db_TunnelSetoutPoint::Cast(db_TunnelXSSetoutPoints::Cast(model.GetRecord(setoutList))->GetPoint(0))
                  ->Observation,
              NODBID);

    // A list replaced by a copy of itself keeps its points where they were.
    db_TunnelXSPoints copy(*held);
    copy.TunnelName = "T2";
    Apply(DBMODEL_Replace, list, copy);
    model.PurgeDiscarded();
    update.Delta = 3.5;
    Apply(DBMODEL_Replace, points[1], update);
    EXPECT_EQ(db_TunnelPointDelta::Cast(db_TunnelXSPoints::Cast(model.GetRecord(list))->GetPoint(1))->Delta, 3.5);
    EXPECT_TRUE(env.Expressions().empty());
}

TEST_F(ModelTest, FailureStopsATransaction) {
    dbTransaction transaction;
    for (int i = 1; i <= 3; ++i) {
        TestPrecision record;
        record.SetRecordId(model.NextRecordId());
        transaction.Append(new dbModel_Action(DBMODEL_Append, NODBID, &record));
    }
    EXPECT_EQ(transaction.Count(), 3);
    EXPECT_FALSE(model.ApplyTransaction(transaction));
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 2, 3}));

    dbTransaction later;
    TestPrecision record;
    record.SetRecordId(model.NextRecordId());
    later.Append(new dbModel_Action(DBMODEL_Append, NODBID, &record));
    model.SetFailed(true);
    EXPECT_TRUE(model.ApplyTransaction(later));
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 2, 3}));
}

TEST_F(ModelTest, ClearLeavesNoIdBehind) {
    AppendPrecision(1);
    AppendPrecision(2);
    TestPrecision any;
    Apply(DBMODEL_Remove, DBID(1), any);
    model.Clear();
    EXPECT_EQ(model.FindRecord(DBID(1)), nullptr);
    EXPECT_EQ(model.FindRecord(DBID(2)), nullptr);
    EXPECT_EQ(model.GetThread().GetFront(), nullptr);
    // The counter goes on: ids are never handed out twice in one model.
    EXPECT_EQ(model.PeekNextRecordId(), DBID(3));
}

// A transaction applied using its records leaves the model as copies would, holding
// the actions' own records; a superseded feature set stays readable where it was until
// the purge.
TEST_F(ModelTest, ATransactionAppliedUsingItsRecordsEqualsOneAppliedByCopies) {
    const auto build = [](dbTransaction& transaction, bool secondFeatures) {
        db_Observation point;
        point.PointName = "P1";
        point.SetRecordId(DBID(1));
        transaction.Append(new dbModel_Action(DBMODEL_Append, NODBID, &point));
        db_Grid grid;
        grid.Grid.North = 100;
        grid.SetRecordId(DBID(2));
        transaction.Append(new dbModel_Action(DBMODEL_Apply, DBID(1), &grid));
        db_Features features;
        features.Features.Append(Feature()).SetCode("KERB");
        features.SetRecordId(DBID(3));
        transaction.Append(new dbModel_Action(DBMODEL_Apply, DBID(1), &features));
        if (secondFeatures) {
            features.Features.GetAt(0).SetCode("TREE");
            features.SetRecordId(DBID(4));
            transaction.Append(new dbModel_Action(DBMODEL_Apply, DBID(1), &features));
        }
        db_Note note;
        note.SetNotes("n");
        note.SetRecordId(DBID(5));
        transaction.Append(new dbModel_Action(DBMODEL_Append, NODBID, &note));
    };
    dbTransaction copied;
    build(copied, true);
    EXPECT_FALSE(model.ApplyTransaction(copied));

    dbModel used;
    dbTransaction own;
    build(own, false);
    const dbRecord_Class* pointRecord = own.GetFirst()->DBRecord;
    const dbRecord_Class* gridRecord = own.GetFirst()->GetNext()->DBRecord;
    EXPECT_FALSE(used.ApplyTransactionUsingRecords(own));
    EXPECT_EQ(used.GetRecord(DBID(1)), pointRecord);
    EXPECT_EQ(own.GetFirst()->DBRecord, nullptr);
    EXPECT_EQ(db_Observation::Cast(used.GetRecord(DBID(1)))->GetMeasurement(), gridRecord);
    EXPECT_EQ(own.GetFirst()->GetNext()->DBRecord, nullptr);
    db_Observation* point = db_Observation::Cast(used.GetRecord(DBID(1)));
    ASSERT_NE(point, nullptr);
    const Feature* kerb = &point->GetFeatures().GetAt(0);
    dbTransaction more;
    db_Features tree;
    tree.Features.Append(Feature()).SetCode("TREE");
    tree.SetRecordId(DBID(6));
    more.Append(new dbModel_Action(DBMODEL_Apply, DBID(1), &tree));
    EXPECT_FALSE(used.ApplyTransactionUsingRecords(more));
    EXPECT_EQ(kerb->GetCode(), "KERB");

    // Both models hold the same records in the same chain.
    for (dbModel* m : {&model, &used}) {
        const db_Observation* stored = db_Observation::Cast(m->GetRecord(DBID(1)));
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(stored->PointName, "P1");
        ASSERT_EQ(stored->GetFeatures().Count(), 1);
        EXPECT_EQ(stored->GetFeatures().GetAt(0).GetCode(), "TREE");
        const db_Grid* grid = db_Grid::Cast(stored->GetMeasurement());
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->Grid.North, 100);
        ASSERT_NE(m->GetRecord(DBID(5)), nullptr);
        EXPECT_EQ(m->GetRecord(DBID(5))->GetNotes(), "n");
        EXPECT_EQ(m->GetTypeSummary(DATABASE_AllRecords).Count, 2u);
    }
    used.PurgeDiscarded();
    used.Clear();
    EXPECT_TRUE(env.Expressions().empty());
}

TEST(Transaction, FlagsMarkTheLastAction) {
    dbTransaction transaction;
    EXPECT_TRUE(transaction.Empty());
    transaction.MarkEnd();
    transaction.MarkAborted();
    EXPECT_FALSE(transaction.IsEnded());
    EXPECT_FALSE(transaction.IsAborted());

    db_Note note;
    transaction.Append(new dbModel_Action(DBMODEL_Append, NODBID, &note));
    transaction.Append(new dbModel_Action(DBMODEL_Append, NODBID, &note));
    transaction.MarkAborted();
    EXPECT_TRUE(transaction.IsAborted());
    EXPECT_FALSE(transaction.IsEnded());
    EXPECT_EQ(transaction.GetFirst()->Flags, 0u);
    EXPECT_EQ(transaction.GetLast()->Flags, 4u);
    transaction.MarkEnd();
    EXPECT_EQ(transaction.GetLast()->Flags, 6u);
    transaction.Clear();
    EXPECT_TRUE(transaction.Empty());
}

TEST(Action, HoldsItsOwnCopies) {
    db_Note note;
    note.SetNotes("a");
    dbModel_Action action(DBMODEL_Apply, DBID(7), &note);
    note.SetNotes("b");
    ASSERT_NE(action.DBRecord, nullptr);
    EXPECT_EQ(action.DBRecord->GetNotes(), "a");
    dbModel_Action copy(action);
    EXPECT_NE(copy.DBRecord, action.DBRecord);
    EXPECT_EQ(copy.Operation, DBMODEL_Apply);
    EXPECT_EQ(copy.Target, DBID(7));
    EXPECT_EQ(copy.GetNext(), nullptr);
    dbModel_Action empty;
    EXPECT_EQ(empty.Operation, DBMODEL_NoOperation);
    EXPECT_EQ(empty.DBRecord, nullptr);
}

}  // namespace

#include "jobdb/dbindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "jobdb/dbJobIndex.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/dbobjects.h"
#include "jobdb/index_fixture.h"
#include "jobdb/job_fixture.h"
#include "records/entities.h"

namespace {

using Reports = std::vector<std::string>;

// ---------------------------------------------------------------- references

TEST_F(IndexTest, ReferencesPackAndResolve) {
    EXPECT_EQ(dbObjectRef(3, 17).Pack(), 0x03000011u);
    EXPECT_EQ(dbObjectRef(0x03000011u), dbObjectRef(3, 17));
    // Null packs to all bits set, which unpacks to a reference that is not null.
    EXPECT_EQ(dbObjectRef().Pack(), 0xFFFFFFFFu);
    EXPECT_FALSE(dbObjectRef(dbObjectRef().Pack()).IsNull());

    TestIndex index;
    const int number = index.Register();
    for (int i = 0; i < 3; ++i) index.AddObject(new ObservationObject);
    EXPECT_EQ(dbObjectRef(number, 0).GetIndex(), &index);
    EXPECT_TRUE(dbObjectRef(number, 2).IsValid());
    EXPECT_FALSE(dbObjectRef(number, 3).IsValid()) << "at the object count";
    EXPECT_FALSE(dbObjectRef(number, -1).IsValid());
    EXPECT_FALSE(dbObjectRef(number + 1, 0).IsValid()) << "an unregistered number";
    for (int outside : {-1, 256, 1000}) EXPECT_EQ(dbObjectRef(outside, 0).GetIndex(), nullptr);
    EXPECT_EQ(dbObjectRef().GetObject(), nullptr);
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- registry

TEST_F(IndexTest, NumbersAreHandedOutRoundRobinFromOne) {
    TestIndex a, b, c, d;
    EXPECT_EQ(a.Register(), 1);
    EXPECT_EQ(b.Register(), 2);
    EXPECT_EQ(a.Register(), 1) << "registering twice";
    EXPECT_EQ(dbIndex::GetHighestIndexNumber(), 2);
    a.Clear();
    EXPECT_EQ(a.GetIndexNumber(), -1);
    EXPECT_EQ(c.Register(), 3) << "a freed number waits until the search comes back to it";
    b.Clear();
    c.Clear();
    EXPECT_EQ(dbIndex::GetHighestIndexNumber(), 1) << "every index cleared";
    EXPECT_EQ(d.Register(), 1);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(IndexTest, NumbersWrapPastTheLastToZeroAndTheRegistryFills) {
    std::vector<std::unique_ptr<TestIndex>> indexes;
    for (int i = 0; i < DBINDEX_IndexCount + 1; ++i) indexes.push_back(std::make_unique<TestIndex>());
    for (int i = 0; i < 255; ++i) ASSERT_EQ(indexes[i]->Register(), i + 1);
    EXPECT_EQ(indexes[255]->Register(), 0);
    EXPECT_EQ(dbIndex::GetHighestIndexNumber(), 255);
    EXPECT_TRUE(env.assertions.empty());

    EXPECT_EQ(indexes[256]->Register(), -1) << "the 257th index";
    EXPECT_EQ(indexes[256]->GetIndexNumber(), -1);
    EXPECT_EQ(env.Expressions(), Reports{"StaticIndexGlobals.NextInIndexList != start"});
    env.Clear();

    // The unpacked null reference names index 255, which exists but holds no such object.
    indexes[254]->AddObject(new ObservationObject);
    EXPECT_EQ(dbObjectRef(0xFFFFFFFFu).GetIndex(), indexes[254].get());
    EXPECT_FALSE(dbObjectRef(0xFFFFFFFFu).IsValid());
    EXPECT_EQ(dbObjectRef(0xFFFFFFFFu).GetObject(), nullptr);
    EXPECT_EQ(env.Expressions(), Reports{"subscript < this->_ObjectCount"});

    indexes[4]->Clear();
    EXPECT_EQ(indexes[256]->Register(), 5) << "the only free number";
}

// ---------------------------------------------------------------- objects

TEST_F(IndexTest, ObjectsFillBlocksOfAThousand) {
    TestIndex index;
    const int number = index.Register();
    dbObjectRef last;
    for (int i = 0; i < 1001; ++i) last = index.AddObject(new LineObject);
    EXPECT_EQ(last, dbObjectRef(number, 1000));
    EXPECT_EQ(index.GetObjectCount(), 1001);
    ASSERT_NE(index.GetObject(1000), nullptr);
    EXPECT_EQ(index.GetObject(1000)->GetReference(), last);
    EXPECT_EQ(index.GetObject(999)->GetReference(), dbObjectRef(number, 999));

    // Replaced in place: the old object is freed, the new one takes its reference.
    dbObject* replacement = new ArcObject;
    index.ReplaceObject(1000, replacement);
    EXPECT_EQ(index.GetObject(1000), replacement);
    EXPECT_EQ(replacement->GetReference(), last);
    EXPECT_EQ(index.GetRecordType(1000), DATABASE_ArcRecord);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(IndexTest, SubscriptsOutsideTheObjectsGiveNoObject) {
    TestIndex index;
    index.Register();
    // An index without blocks.
    EXPECT_EQ(index.GetLoadedObject(0), nullptr);
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(index.GetObject(0), nullptr);
    EXPECT_EQ(env.Expressions(), Reports{"subscript < this->_ObjectCount"});
    env.Clear();

    index.AddObject(new LineObject);
    index.AddObject(new ObservationObject);
    EXPECT_STREQ(index.GetName(-1), "") << "the one subscript that is not reported";
    EXPECT_TRUE(env.assertions.empty());
    for (int subscript : {-7, -1, 2, 999, 1000, 5000}) {
        SCOPED_TRACE(subscript);
        env.Clear();
        EXPECT_EQ(index.GetObject(subscript), nullptr);
        EXPECT_EQ(index.GetLoadedObject(subscript), nullptr);
        EXPECT_FALSE(index.IsLoaded(subscript));
        EXPECT_FALSE(index.EnsureLoaded(subscript));
        EXPECT_EQ(index.GetFlags(subscript), nullptr);
        EXPECT_EQ(index.GetRecordType(subscript), DATABASE_NoRecordType);
        EXPECT_EQ(index.GetRecordId(subscript), NODBID);
        EXPECT_FALSE(index.IsRemoved(subscript));
        EXPECT_EQ(env.Expressions(), Reports(8, "subscript < this->_ObjectCount"));
    }
    EXPECT_EQ(index.computeCalls, 0);

    // A replacement outside the objects is freed, not stored.
    env.Clear();
    index.ReplaceObject(2, new LineObject);
    index.ReplaceObject(1000, new LineObject);
    index.ReplaceObject(-1, new LineObject);
    EXPECT_EQ(env.Expressions(),
              (Reports{"subscript < this->_ObjectCount", "blockNum < _BlockCount", "blockNum < _BlockCount"}));
    EXPECT_EQ(index.GetObjectCount(), 2);
}

TEST_F(IndexTest, PointQueriesOnAnotherObjectAreReported) {
    TestIndex index;
    index.Register();
    index.AddObject(new LineObject);
    EXPECT_EQ(index.GetMethod(0), 0);
    EXPECT_EQ(index.GetMeasurementType(0), DATABASE_NoRecordType);
    EXPECT_EQ(index.GetMeasurement(0), nullptr);
    EXPECT_EQ(index.GetClassification(0).value, db_PointClassification::None);
    EXPECT_EQ(index.GetUnderlyingMethod(0), 0);
    EXPECT_EQ(env.Expressions(), Reports(5, "object->_RecordType == DATABASE_ObservationRecord"));
}

TEST_F(IndexTest, ObjectBeyondWhatAReferenceCanNameIsRefused) {
    TestIndex index;
    index.Register();
    index.SetObjectCount(DBINDEX_MaxObjects);
    EXPECT_TRUE(index.AddObject(new ObservationObject).IsNull());
    EXPECT_EQ(index.GetObjectCount(), DBINDEX_MaxObjects);
    EXPECT_EQ(env.Expressions(), Reports{"_ObjectCount < DBINDEX_MaxObjects"});
    index.SetObjectCount(0);
}

TEST_F(IndexTest, ClearingComputedFlagsKeepsTheEndAndRemovedFlags) {
    TestIndex index;
    index.Register();
    for (int i = 0; i < 1200; ++i) index.AddObject(new LineObject);
    for (int i : {0, 1199}) *index.GetFlags(i) = 0x3F;
    EXPECT_TRUE(index.ClearComputedFlags());
    for (int i : {0, 1199}) EXPECT_EQ(*index.GetFlags(i), 0x26);
    EXPECT_TRUE(index.IsRemoved(0));
}

TEST_F(IndexTest, StatusBitsAreAskedForOnlyWhileNotComputed) {
    TestIndex index;
    index.Register();
    auto* computed = new LineObject;
    computed->SetFilter(dbFilterTriple{5, 5, 0x81});
    computed->SetFlags(DBOBJECT_StatusComputed);
    index.AddObject(computed);
    auto* point = new ObservationObject;
    index.AddObject(point);

    EXPECT_EQ(computed->GetStatusBits(), 0x81u);
    EXPECT_TRUE(index.IsBestInIndex(0)) << "0x80 counts as best";
    EXPECT_EQ(index.statusCalls, 0);

    index.statusCalls = 0;
    EXPECT_EQ(point->GetStatusBits(), 0x5u);
    EXPECT_EQ(point->GetStatusBits(), 0x5u);
    EXPECT_EQ(index.statusCalls, 1);
    EXPECT_TRUE(index.IsBestInIndex(1));
    EXPECT_FALSE(index.IsBestInIndexGrid(1));

    // An object outside any index keeps what it has.
    LineObject loose;
    EXPECT_EQ(loose.GetStatusBits(), 1u);
}

TEST_F(IndexTest, CoordinatesNotComputedStayNullAndAreAskedForAgain) {
    TestIndex index;
    index.Register();
    auto* point = new ObservationObject;
    index.AddObject(point);
    EXPECT_FALSE(point->HasHorizontal());
    EXPECT_TRUE(point->GetCoordinates().IsNull());
    EXPECT_EQ(index.computeCalls, 2);

    // Horizontal only: the elevation is asked for again.
    index.coordinates = coord_CorrectedGrid(100.0, 200.0, 5.0);
    index.complete = false;
    EXPECT_TRUE(point->HasHorizontal());
    EXPECT_EQ(point->GetHorizontalCoordinates().East, 200.0);
    EXPECT_EQ(index.computeCalls, 3);
    EXPECT_TRUE(point->HasFlag(DBOBJECT_HorizontalComputed));
    EXPECT_FALSE(point->HasFlag(DBOBJECT_ElevationComputed));
    index.complete = true;
    EXPECT_TRUE(point->HasVertical());
    EXPECT_EQ(index.computeCalls, 4);
    EXPECT_EQ(point->GetCoordinates().North, 100.0);
    EXPECT_EQ(index.computeCalls, 4);

    // A completed coordinate followed by an incomplete one leaves 0x1 and clears 0x10.
    point->SetCoordinates(coord_CorrectedGrid(1.0, 2.0, MATHS_Null), false);
    EXPECT_EQ(point->GetFlags() & 0x11, 0x1);
}

TEST_F(IndexTest, AReferenceGivesOtherObjectsOnlyOnceComputed) {
    TestIndex index;
    const int number = index.Register();
    index.AddObject(new ObservationObject);
    index.AddObject(new LineObject);
    EXPECT_NE(dbObjectRef(number, 0).GetObject(), nullptr) << "points come as they are";
    EXPECT_EQ(dbObjectRef(number, 1).GetObject(), nullptr);
    EXPECT_EQ(index.computeCalls, 1);
    index.coordinates = coord_CorrectedGrid(0.0, 0.0, 0.0);
    EXPECT_EQ(dbObjectRef(number, 1).GetObject(), index.GetObject(1));
    EXPECT_TRUE(index.IsLoaded(1));
    EXPECT_TRUE(index.EnsureLoaded(1));
    EXPECT_EQ(index.computeCalls, 2);
}

// ---------------------------------------------------------------- record ids

TEST_F(JobIndexTest, RecordIdsAreFoundWhateverTheChainOrder) {
    db_Observation point;
    point.PointName = "P1";
    dbRecord_AppendGrouped(Access(), &point);  // 2
    db_Line line;
    line.LineId = "L1";
    dbRecord_AppendGrouped(Access(), &line);  // 3
    point.PointName = "P2";
    dbRecord_AppendGrouped(Access(), &point);  // 4
    db_Note note;
    dbRecord_AppendGrouped(Access(), &note);  // 5
    point.PointName = "P3";
    ASSERT_EQ(dbRecord_InsertBeforeGrouped(Access(), DBID(4), &point), DBID(6));
    // The open index cannot take it; the reopened one builds it in chain order.
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"Index cannot insert objects"});
    env.Clear();
    db_Arc arc;
    arc.ArcName = "A1";
    dbRecord_AppendGrouped(Access(), &arc);  // 7
    job.Close();
    ASSERT_TRUE(job.Open(Str(path.c_str()), true));

    dbJobIndex* index = job.GetJobIndex();
    ASSERT_NE(index->GetIndexNumber(), -1) << "the job's index is registered while the job is open";
    ASSERT_EQ(index->GetObjectCount(), 5);
    EXPECT_EQ(index->GetRecordId(2), DBID(6)) << "objects stay in chain order";
    for (uint32_t id : {2u, 3u, 6u, 4u, 7u}) {
        const dbObjectRef reference = index->FindByRecordId(DBID(id));
        ASSERT_FALSE(reference.IsNull()) << id;
        EXPECT_EQ(reference.GetIndexNumber(), index->GetIndexNumber());
        EXPECT_EQ(index->GetRecordId(reference.GetSubscript()), DBID(id));
    }
    for (uint32_t id : {0u, 1u, 5u, 8u}) EXPECT_TRUE(index->FindByRecordId(DBID(id)).IsNull()) << id;
    EXPECT_STREQ(index->GetName(2), "P3");

    // A replacement keeps the table right.
    auto* replacement = new ObservationObject;
    replacement->SetRecordId(DBID(6));
    replacement->SetRemoved(true);
    index->ReplaceObject(2, replacement);
    EXPECT_EQ(index->FindByRecordId(DBID(6)), dbObjectRef(index->GetIndexNumber(), 2));
    EXPECT_TRUE(index->IsRemoved(2));

    // Only a job index answers.
    TestIndex points(dbIndex::CommaSeparatedFile);
    points.Register();
    auto* filePoint = new CSVPointObject;
    filePoint->SetRecordId(DBID(2));
    points.AddObject(filePoint);
    EXPECT_TRUE(points.FindByRecordId(DBID(2)).IsNull());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexTest, TheJobIndexNamesItsFile) {
    dbJobIndex* index = job.GetJobIndex();
    // File paths are built with backslashes.
    std::string expected = path;
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(std::string(index->GetFullPath().Data()), expected);
    EXPECT_EQ(std::string(index->GetFileName().Data()), "a.job");
    EXPECT_EQ(&Access()->GetJobFile(), &Access()->GetJournal().GetFile());
}

}  // namespace

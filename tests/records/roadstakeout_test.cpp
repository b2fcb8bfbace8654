#include <gtest/gtest.h>

#include <memory>

#include "records/roadstakeout.h"
#include "records/stakeoutdesign.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

Bytes Body(const dbRecord_Class& r) {
    Bytes all = Written(r);
    return Bytes(all.begin() + 15, all.end());
}

// The header every nested record of these tests carries.
constexpr uint32_t kId = 7;
constexpr double kTime = 1000.5;

db_CrossSectionNode Node(const char* code, double offset, double elevation) {
    db_CrossSectionNode n;
    FixHeader(n);
    n.Code = code;
    n.Offset = offset;
    n.Elevation = elevation;
    return n;
}

db_CrossSectionSide SideWithBatterAndTwoNodes() {
    db_CrossSectionSide side;
    FixHeader(side);
    db_CrossSectionBatter& batter = side.Batter.Create();
    FixHeader(batter);
    batter.Code = "B";
    batter.CutGrade = 0.5;
    batter.DitchWidth = 1.5;
    side.Nodes.push_back(Node("N1", -3.5, 10.0));
    side.Nodes.push_back(Node("N2", -7.0, 9.5));
    return side;
}

TEST(RoadSettingsRecords, AvailableStationsDefaultsResetAndPersistence) {
    db_RoadAvailableStations s;
    FixHeader(s);
    EXPECT_EQ(Body(s), Builder().U8(1).U8(1).U8(1).U8(0).U8(0).b);
    s.RegularSections = false;
    s.SuperWiden = true;
    s.Reset();
    EXPECT_TRUE(s.RegularSections);
    EXPECT_FALSE(s.SuperWiden);
    EXPECT_EQ(s.GetRecordId(), DBID(kId));  // the header stays
    EXPECT_TRUE(s.IsPersisted());
    EXPECT_FALSE(db_RoadConstructionOffsets().IsPersisted());
    EXPECT_FALSE(db_CrossSectionReport().IsPersisted());
}

TEST(RoadSettingsRecords, ConstructionOffsetFlagsInDiskOrder) {
    db_RoadConstructionOffsets r;
    FixHeader(r);
    EXPECT_EQ(Body(r).size(), 145u);
    r.quorvelSAOApplyOnSlopePrevious = true;
    r.stringSASApplyOnSlopePrevious = true;
    r.landxmlSAOApplyOnSlopePrevious = true;
    r.quorvelNROVertical = 2.5;
    r.stringSASVertical = -1.0;
    Builder expected;
    for (int i = 0; i < 6; ++i) expected.F64(0);
    expected.F64(2.5);
    // The three ApplyOnSlopeNext flags, then the quorvel SAO ApplyOnSlopePrevious: the 11th field.
    for (int flag : {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}) expected.U8(flag);
    expected.F64(0).F64(0).F64(0).F64(0).F64(0).F64(-1.0);
    for (int flag : {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}) expected.U8(flag);
    expected.F64(0).F64(0).U8(0).U8(1).U8(0);
    EXPECT_EQ(Body(r), expected.b);
    db_RoadConstructionOffsets back;
    ASSERT_TRUE(ReadWhole(back, Written(r)));
    EXPECT_TRUE(back.IsEqual(r));
    EXPECT_TRUE(back.landxmlSAOApplyOnSlopePrevious);
}

TEST(CrossSectionRecords, DefaultReportIsTheFlagsAndTheCentreRecord) {
    db_CrossSectionReport report;
    FixHeader(report);
    FixHeader(report.Center);
    const Bytes centre = Builder().Header(104, kId, kTime).Text("").F64(0).F64(Null).I32(-1).F64(0).F64(0).F64(0).F64(0).b;
    EXPECT_EQ(centre.size(), 68u);
    Builder expected;
    expected.U8(0).U8(0);
    expected.b.insert(expected.b.end(), centre.begin(), centre.end());
    EXPECT_EQ(Body(report), expected.b);
    EXPECT_EQ(Body(report).size(), 70u);

    db_CrossSectionReport back;
    ASSERT_TRUE(ReadWhole(back, Written(report)));
    EXPECT_FALSE(back.LeftSide);
    EXPECT_FALSE(back.RightSide);
    EXPECT_TRUE(back.IsEqual(report));
}

TEST(CrossSectionRecords, CentreGridIsWrittenEastNorthElevation) {
    db_CrossSectionCenterNode centre;
    FixHeader(centre);
    centre.Code = "CL";
    centre.Station = 250.0;
    centre.EquatedRoadStation = EquatedStation(1250.0, 2);
    centre.RightAzimuth = 1.25;
    centre.Grid = coord_CorrectedGrid(2000.0, 1000.0, 50.0);  // north, east, elevation
    EXPECT_EQ(Body(centre), Builder().Text("CL").F64(250).F64(1250).I32(2).F64(1.25).F64(1000).F64(2000).F64(50).b);
    db_CrossSectionCenterNode back;
    ASSERT_TRUE(ReadWhole(back, Written(centre)));
    EXPECT_EQ(back.Grid.East, 1000.0);
    EXPECT_EQ(back.Grid.North, 2000.0);
    EXPECT_TRUE(back.IsEqual(centre));
}

TEST(CrossSectionRecords, SideWritesItsBatterThenItsNodesEachWhole) {
    const db_CrossSectionSide side = SideWithBatterAndTwoNodes();
    Builder expected;
    expected.U8(1).I32(2);
    expected.Header(102, kId, kTime).Text("B").F64(0.5).F64(Null).F64(1.5);
    expected.Header(101, kId, kTime).Text("N1").F64(-3.5).F64(10.0);
    expected.Header(101, kId, kTime).Text("N2").F64(-7.0).F64(9.5);
    EXPECT_EQ(Body(side), expected.b);

    db_CrossSectionSide back;
    ASSERT_TRUE(ReadWhole(back, Written(side)));
    EXPECT_TRUE(back.IsEqual(side));
    ASSERT_EQ(back.GetNumberOfNodes(), 2);
    EXPECT_EQ(back.Nodes[1].Code, "N2");
    EXPECT_EQ(back.Nodes[1].GetRecordId(), DBID(kId));
    EXPECT_EQ(back.Batter->DitchWidth, 1.5);
}

TEST(CrossSectionRecords, CopiesAreDeepAndBatterPresenceDecidesEquality) {
    const db_CrossSectionSide source = SideWithBatterAndTwoNodes();
    db_CrossSectionSide copy;
    copy = source;
    EXPECT_TRUE(copy.IsEqual(source));
    EXPECT_NE(copy.Batter.Get(), source.Batter.Get());
    copy.Batter->DitchWidth = 2.0;
    EXPECT_FALSE(copy.IsEqual(source));
    EXPECT_EQ(source.Batter->DitchWidth, 1.5);

    // With and without a batter: never equal, whatever the nodes.
    db_CrossSectionSide bare = source;
    bare.Batter.Reset();
    EXPECT_FALSE(bare.IsEqual(source));
    EXPECT_FALSE(source.IsEqual(bare));
    db_CrossSectionSide empty;
    db_CrossSectionSide emptyWithBatter;
    emptyWithBatter.Batter.Create();
    EXPECT_FALSE(empty.IsEqual(emptyWithBatter));
    EXPECT_TRUE(empty.IsEqual(db_CrossSectionSide()));

    db_CrossSectionReport report;
    FixHeader(report);
    report.LeftSide.Create() = source;
    report.RightSide.Create() = bare;
    std::unique_ptr<dbRecord_Class> clone(report.Clone());
    auto* cloned = db_CrossSectionReport::Cast(clone.get());
    ASSERT_NE(cloned, nullptr);
    EXPECT_TRUE(cloned->IsEqual(report));
    EXPECT_EQ(Written(*cloned), Written(report));
    cloned->LeftSide->Nodes[0].Elevation = 11.0;
    EXPECT_FALSE(cloned->IsEqual(report));
    EXPECT_EQ(report.LeftSide->Nodes[0].Elevation, 10.0);
    cloned->LeftSide->Nodes[0].Elevation = 10.0;
    cloned->RightSide.Reset();
    EXPECT_FALSE(cloned->IsEqual(report));

    db_CrossSectionReport back;
    ASSERT_TRUE(ReadWhole(back, Written(report)));
    EXPECT_TRUE(back.IsEqual(report));
    EXPECT_FALSE(back.RightSide->Batter);
    EXPECT_EQ(back.LeftSide->GetNumberOfNodes(), 2);
}

TEST(CrossSectionRecords, TypeMismatchInEqualityIsReportedWithoutABlank) {
    RecordingEnvironment env;
    db_CrossSectionNode node;
    db_CrossSectionBatter batter;
    db_CrossSectionSide side;
    db_CrossSectionCenterNode centre;
    db_CrossSectionReport report;
    const dbRecord_Class* records[] = {&node, &batter, &side, &centre, &report};
    db_DTMDeltas other;
    for (const dbRecord_Class* r : records) EXPECT_FALSE(r->IsEqual(other));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>(5, "this->GetType() == record.GetType()"));
    for (const AssertionReport& r : env.assertions) EXPECT_EQ(r.module, "Library/dbRecord");
}

TEST(CrossSectionRecords, NestedRecordOfAnotherTypeIsDamage) {
    // A side whose first node is written as a batter: reported, and the side is
    // damaged instead of reading the batter's bytes as a node.
    Builder bytes;
    bytes.Header(103, 1, 0.0).U8(0).I32(1);
    bytes.Header(102, 1, 0.0).Text("B").F64(0.5).F64(0.5).F64(0.5);
    RecordingEnvironment env;
    db_CrossSectionSide side;
    EXPECT_FALSE(ReadInto(side, bytes.b));
    EXPECT_EQ(env.Expressions(),
              std::vector<std::string>{"this->GetType() == (database_RecordType) buffer.GetUInt16 (byteOffset)"});

    // The same for the report's centre node.
    Builder centre;
    centre.Header(105, 1, 0.0).U8(0).U8(0).Header(101, 1, 0.0).Text("").F64(0).F64(0);
    env.Clear();
    db_CrossSectionReport report;
    EXPECT_FALSE(ReadInto(report, centre.b));
    EXPECT_EQ(env.Expressions().size(), 1u);
}

TEST(CrossSectionRecords, NodeCountIsBoundedByTheBytesLeft) {
    struct Case {
        int32_t count;
        bool whole;
        int nodes;
    };
    const Case cases[] = {{0, true, 0}, {-5, true, 0}, {1, true, 1}, {2, false, 0}, {0x7FFFFFFF, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        Builder bytes;
        bytes.Header(103, 1, 0.0).U8(0).I32(c.count).Header(101, 1, 0.0).Text("").F64(1).F64(2);
        if (c.count <= 0) bytes.b.resize(bytes.b.size() - 32);  // no node follows
        db_CrossSectionSide side;
        int end = 0;
        EXPECT_EQ(ReadInto(side, bytes.b, &end), c.whole);
        EXPECT_EQ(side.GetNumberOfNodes(), c.nodes);
        if (c.whole) {
            EXPECT_EQ(end, static_cast<int>(bytes.b.size()));
        }
    }
}

}  // namespace

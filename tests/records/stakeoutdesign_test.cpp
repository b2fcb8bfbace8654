#include <gtest/gtest.h>

#include <memory>

#include "records/stakeoutdesign.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

// The bytes after the common header of a record with a fixed header and no notes.
Bytes Body(const dbRecord_Class& r) {
    Bytes all = Written(r);
    return Bytes(all.begin() + 15, all.end());
}

dbrecord_ExtraDesignElevation Entry(int index, double design, double offset, double cutFill, const char* desc) {
    dbrecord_ExtraDesignElevation e;
    e.Index = index;
    e.EditElevDesignElev = design;
    e.EditElevVertOffset = offset;
    e.EditElevCutFill = cutFill;
    e.EditElevDesc = desc;
    return e;
}

TEST(StakeoutDesignRecords, DefaultLayouts) {
    struct Case {
        std::unique_ptr<dbRecord_Class> record;
        Bytes body;
    };
    Case cases[] = {
        {std::make_unique<db_PointDesign>(), Builder().Text("").I16(0).Text("").F64(Null).U8(0).F64(Null).F64(Null).b},
        {std::make_unique<db_ExtraPointDesignElevations>(), Builder().I16(0).b},
        // EntityType 1, the equated station null with zone -1, staked from the start point.
        {std::make_unique<db_LinearDesign>(), Builder()
                                                  .I16(1).I16(0).Text("").F64(0).F64(Null).I32(-1).U32(0)
                                                  .F64(0).F64(0).F64(0).U8(0).F64(Null).U8(1).F64(Null)
                                                  .Text("").Text("").b},
        {std::make_unique<db_DTMDesign>(), Builder().Text("").F64(0).b},
        {std::make_unique<db_DTMDeltas>(), Builder().F64(0).b},
        {std::make_unique<db_RelativeDTMDeltas>(), Builder().Text("").F64(0).F64(Null).b},
        {std::make_unique<db_SlopeDesign>(), Builder().I16(0).F64(0).F64(0).F64(0).F64(0).I16(0).F64(0).F64(0).F64(0).F64(0).b},
        {std::make_unique<db_RoadDeltas>(), Builder().F64(0).F64(0).F64(0).F64(0).F64(0).F64(0).U8(0).F64(Null).b},
        {std::make_unique<db_SecondaryRoadDeltas>(), Builder().Text("").Text("").F64(Null).F64(Null).F64(Null).F64(Null).F64(Null).F64(Null).b},
        {std::make_unique<db_RoadCatchDeltas>(), Builder().Text("").F64(0).F64(0).b},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.record->GetType());
        FixHeader(*c.record);
        EXPECT_EQ(Body(*c.record), c.body);
        EXPECT_EQ(c.record->GetName(), "");
        EXPECT_FALSE(c.record->InvalidatesPositions());
        EXPECT_FALSE(c.record->IsPersisted());
    }
    EXPECT_EQ(Body(db_LinearDesign()).size(), 73u);
    EXPECT_EQ(Body(db_RoadDesign()).size(), 116u);
}

TEST(StakeoutDesignRecords, RoadDesignLayoutAndItsOneByteRoadType) {
    db_RoadDesign r;
    FixHeader(r);
    r.BatterIsFill = true;
    r.BatterGrade = 0.5;
    r.ApplyConstructionHOffsetOnSlopeNext = true;
    r.ApplyConstructionVOffsetOnPerpendicular = true;
    r.ConstructionHOffset = 1.0;
    r.DitchOffset = 2.0;
    r.SSFAHingeMethod = 2;
    r.SSFAHingeSlope = 0.25;
    r.SubgradeDepth = 0.3;
    r.RoadType = 258;
    r.StakingSubgradeIntersection = true;
    const Bytes expected = Builder()
                               .U8(1).F64(0.5).U8(0).U8(1).U8(0).U8(0).U8(1).F64(1.0).F64(0).F64(0).F64(2.0)
                               .U8(0).F64(Null).U8(0).I16(2).F64(Null).F64(Null).F64(0.25).F64(Null)
                               .F64(Null).F64(Null).F64(0.3).U8(2).U8(1)
                               .b;
    EXPECT_EQ(Body(r), expected);
    db_RoadDesign back;
    ASSERT_TRUE(ReadWhole(back, Written(r)));
    EXPECT_EQ(back.RoadType, 2);
    EXPECT_FALSE(back.IsEqual(r));
    r.RoadType = 2;
    EXPECT_TRUE(back.IsEqual(r));
}

TEST(StakeoutDesignRecords, DiskOrderDiffersFromMemoryOrder) {
    db_SecondaryRoadDeltas s;
    FixHeader(s);
    s.RoadName = "R2";
    s.Offset = 5.0;
    s.Chainage = 100.0;
    EXPECT_EQ(Body(s), Builder().Text("R2").Text("").F64(Null).F64(Null).F64(5.0).F64(100.0).F64(Null).F64(Null).b);
    db_SecondaryRoadDeltas sBack;
    ASSERT_TRUE(ReadWhole(sBack, Written(s)));
    EXPECT_EQ(sBack.Offset, 5.0);
    EXPECT_EQ(sBack.Chainage, 100.0);

    db_RoadCatchDeltas c;
    FixHeader(c);
    c.Offset = 1.5;
    c.Height = 2.5;
    c.Code = "CP";
    EXPECT_EQ(Body(c), Builder().Text("CP").F64(1.5).F64(2.5).b);

    db_LinearDesign l;
    FixHeader(l);
    l.EquatedRoadStation = EquatedStation(120.0, 3);
    l.ChainageClass = DBID(0x2A);
    db_LinearDesign lBack;
    ASSERT_TRUE(ReadWhole(lBack, Written(l)));
    EXPECT_EQ(lBack.EquatedRoadStation, EquatedStation(120.0, 3));
    EXPECT_EQ(lBack.ChainageClass, DBID(0x2A));

    db_SlopeDesign slope;
    FixHeader(slope);
    slope.SlopeL = {1, 2.0, 3.0, 4.0, 5.0};
    slope.SlopeR.Type = 2;
    slope.SlopeR.Grade = -0.5;
    EXPECT_EQ(Body(slope), Builder().I16(1).F64(2).F64(3).F64(4).F64(5).I16(2).F64(0).F64(0).F64(0).F64(-0.5).b);
    db_SlopeDesign slopeBack;
    ASSERT_TRUE(ReadWhole(slopeBack, Written(slope)));
    EXPECT_TRUE(slopeBack.IsEqual(slope));
    slopeBack.SlopeR.HDist = 1e-9;
    EXPECT_FALSE(slopeBack.IsEqual(slope));
}

TEST(StakeoutDesignRecords, RelativeDTMDeltasCompareTheElevationDifferenceAlone) {
    db_RelativeDTMDeltas a, b;
    a.DTMName = "Ground";
    a.VerticalOffset = 0.5;
    b.DTMName = "ground";
    EXPECT_TRUE(a.IsEqual(b));
    a.DeltaElevation = 0.25;
    EXPECT_FALSE(a.IsEqual(b));
    b.DeltaElevation = 0.25;
    EXPECT_TRUE(a.IsEqual(b));
}

TEST(StakeoutDesignRecords, ExtraElevationsLayoutEqualityAndRead) {
    db_ExtraPointDesignElevations r;
    FixHeader(r);
    r.ExtraDesignElevations.Add(Entry(1, 10.5, 0.2, -0.1, "top"));
    r.ExtraDesignElevations.Add(Entry(-2, Null, Null, Null, ""));
    // The design elevation is written before the vertical offset.
    EXPECT_EQ(Body(r), Builder().I16(2).I16(1).F64(10.5).F64(0.2).F64(-0.1).Text("top").I16(-2).F64(Null).F64(Null).F64(Null).Text("").b);

    db_ExtraPointDesignElevations other;
    other.ExtraDesignElevations.Add(Entry(1, 10.5, 0.2, -0.1, "top"));
    other.ExtraDesignElevations.Add(Entry(-2, Null, Null, Null, ""));
    EXPECT_TRUE(r.IsEqual(other));
    other.ExtraDesignElevations.Get(0)->EditElevDesc = "Top";
    EXPECT_FALSE(r.IsEqual(other));

    db_ExtraPointDesignElevations back;
    ASSERT_TRUE(ReadWhole(back, Written(r)));
    EXPECT_TRUE(back.IsEqual(r));
    EXPECT_EQ(back.ExtraDesignElevations.Get(1)->Index, -2);

    std::unique_ptr<dbRecord_Class> clone(r.Clone());
    r.ExtraDesignElevations.Get(0)->EditElevCutFill = 9.0;
    EXPECT_EQ(static_cast<db_ExtraPointDesignElevations*>(clone.get())->ExtraDesignElevations.Get(0)->EditElevCutFill, -0.1);

    db_ExtraPointDesignElevations empty;
    ASSERT_TRUE(ReadWhole(empty, Written(db_ExtraPointDesignElevations())));
    EXPECT_EQ(empty.ExtraDesignElevations.Count(), 0);
}

TEST(StakeoutDesignRecords, ExtraElevationCountsThatDoNotFit) {
    // A negative count reads as none; a count the bytes cannot hold is damage.
    Builder negative;
    negative.Header(91, 1, 0.0).I16(-1);
    db_ExtraPointDesignElevations none;
    EXPECT_TRUE(ReadWhole(none, negative.b));
    EXPECT_EQ(none.ExtraDesignElevations.Count(), 0);

    Builder tooMany;
    tooMany.Header(91, 1, 0.0).I16(30000).I16(1).F64(1).F64(2).F64(3).Text("x");
    db_ExtraPointDesignElevations damaged;
    EXPECT_FALSE(ReadInto(damaged, tooMany.b));
    EXPECT_EQ(damaged.ExtraDesignElevations.Count(), 0);
}

TEST(StakeoutDesignRecords, ExtraElevationListGrowth) {
    dbrecord_ExtraDesignElevations list;
    EXPECT_EQ(list.Allocated(), 0);
    const int expected[] = {4, 4, 4, 4, 12, 12, 12, 12, 12, 12, 12, 12, 28};
    for (int i = 0; i < 13; ++i) {
        list.Add(Entry(i, i, 0, 0, ""));
        EXPECT_EQ(list.Allocated(), expected[i]) << i + 1;
    }
    dbrecord_ExtraDesignElevations copy = list;
    EXPECT_EQ(copy.Count(), 13);
    EXPECT_EQ(copy.Allocated(), 28);
    EXPECT_TRUE(copy.IsEqual(list));
    copy.Clear();
    EXPECT_EQ(copy.Allocated(), 0);
    EXPECT_EQ(list.Count(), 13);

    RecordingEnvironment env;
    dbrecord_ExtraDesignElevation out = Entry(7, 0, 0, 0, "keep");
    EXPECT_EQ(list.Get(13), nullptr);
    EXPECT_FALSE(list.Get(-1, out));
    EXPECT_EQ(out.EditElevDesc, "keep");
    EXPECT_TRUE(list.Get(12, out));
    EXPECT_EQ(out.Index, 12);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"Index < _Count", "Index < _Count"}));
}

TEST(StakeoutDesignRecords, MoreElevationsThanTheCountCanHoldAreCutAndReported) {
    RecordingEnvironment env;
    db_ExtraPointDesignElevations r;
    for (int i = 0; i < dbrecord_ExtraDesignElevations::MaxWritten + 3; ++i) r.ExtraDesignElevations.Add(Entry(i, i, 0, 0, ""));
    const Bytes bytes = Written(r);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"ExtraDesignElevations.Count() <= 32767"});
    db_ExtraPointDesignElevations back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    ASSERT_EQ(back.ExtraDesignElevations.Count(), 32767);
    EXPECT_EQ(back.ExtraDesignElevations.Get(32766)->EditElevDesignElev, 32766.0);
}

}  // namespace

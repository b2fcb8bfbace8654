#include <gtest/gtest.h>

#include "records/traverse.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

dbrecord_TraverseLeg Leg(const char* from, const char* to, double az, double h, double v) {
    dbrecord_TraverseLeg leg;
    leg.FromPt = from;
    leg.ToPt = to;
    leg.Polar = coord_Polar(az, h, v);
    return leg;
}

TEST(TraverseRecords, MeanTurnedAngleResidualsLayoutAndEquality) {
    db_MeanTurnedAngleResiduals r;
    FixHeader(r);
    EXPECT_EQ(Written(r), Builder().Header(20, 7, 1000.5).Text("").F64(Null).F64(Null).F64(Null).I16(0).U32(0).U32(0).b);

    r.PointName = "P1";
    r.HorzAngResidual = 0.001;
    r.Round = -2;
    r.Observation = DBID(9);
    r.MeanTurnedAngle = DBID(10);
    db_MeanTurnedAngleResiduals back;
    ASSERT_TRUE(ReadInto(back, Written(r)));
    EXPECT_EQ(back.Round, -2);
    EXPECT_EQ(Written(back), Written(r));

    db_MeanTurnedAngleResiduals other = r;
    other.PointName = "P2";
    other.MeanTurnedAngle = DBID(99);
    EXPECT_TRUE(r.IsEqual(other));
    other.Observation = DBID(8);
    EXPECT_FALSE(r.IsEqual(other));
}

TEST(TraverseRecords, StationingAndResectErrorsLayouts) {
    db_Stationing s;
    FixHeader(s);
    EXPECT_EQ(Written(s), Builder().Header(87, 7, 1000.5).F64(0.0).F64(Null).b);
    db_ResectErrors e;
    FixHeader(e);
    e.Deltas = coord_GridDeltas(1.0, 2.0, 3.0);
    EXPECT_EQ(Written(e), Builder().Header(112, 7, 1000.5).F64(1.0).F64(2.0).F64(3.0).b);
    db_TraverseAdjustment a;
    FixHeader(a);
    a.Angle = -1;
    EXPECT_EQ(Written(a), Builder().Header(115, 7, 1000.5).I16(0).I16(-1).I16(0).b);
    EXPECT_TRUE(a.IsPersisted());
    EXPECT_FALSE(e.IsPersisted());
}

TEST(TraverseRecords, StationSetupResidualsLayout) {
    db_StationSetupResiduals r;
    FixHeader(r);
    Builder expected;
    expected.Header(111, 7, 1000.5).U16(0x2020).Text("").I16(0).F64(Null).F64(Null).F64(Null);
    for (int i = 0; i < 6; ++i) expected.F64(0.0);
    expected.I16(0);
    for (int i = 0; i < 4; ++i) expected.F64(0.0);
    expected.I16(0).U8(0).U32(0).U32(0);
    EXPECT_EQ(Written(r), expected.b);

    r.PointName = "BS";
    r.Grid = coord_CorrectedGrid(10.0, 20.0, 30.0);  // N, E, Elev
    r.AngleResidual.Face = COORD_Face2;
    r.Backsight = true;
    const Bytes bytes = Written(r);
    Builder head;
    head.Header(111, 7, 1000.5).U16(0x2020).Text("BS").I16(0).F64(10.0).F64(20.0).F64(30.0);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + head.b.size()), head.b);
    db_StationSetupResiduals back;
    ASSERT_TRUE(ReadInto(back, bytes));
    EXPECT_EQ(back.Grid.North, 10.0);
    EXPECT_EQ(back.Grid.East, 20.0);
    EXPECT_EQ(back.AngleResidual.Face, COORD_Face2);
    EXPECT_TRUE(back.IsEqual(r));
    back.MeanTurnedAngle = DBID(4);  // not compared
    EXPECT_TRUE(back.IsEqual(r));
    back.Dimension = 2;
    EXPECT_FALSE(back.IsEqual(r));
}

TEST(TraverseRecords, TraverseWritesItsStationsAndAnEmptyEnd) {
    db_Traverse t;
    FixHeader(t);
    t.TraverseName = "T1";
    t.ListOfStations.Add("A");
    t.ListOfStations.Add("B");
    const Bytes bytes = Written(t);
    EXPECT_EQ(bytes, Builder()
                         .Header(113, 7, 1000.5)
                         .Text("T1")
                         .U16(0x5654)
                         .U8(0)
                         .Text("")
                         .F64(0.0)
                         .U8(0)
                         .Text("")
                         .F64(0.0)
                         .U8(0)
                         .Text("A")
                         .Text("B")
                         .Text("")
                         .b);
    db_Traverse back;
    int end = 0;
    ASSERT_TRUE(ReadInto(back, bytes, &end));
    EXPECT_EQ(end, static_cast<int>(bytes.size()));
    ASSERT_EQ(back.ListOfStations.Count(), 2);
    EXPECT_EQ(back.ListOfStations[1], "B");
    EXPECT_EQ(back.GetName(), "T1");
}

TEST(TraverseRecords, TraverseNeverEqualsAndAnswersItsDeletedFlag) {
    RecordingEnvironment env;
    db_Traverse t;
    t.TraverseName = "T";
    db_Traverse copy = t;
    EXPECT_FALSE(t.IsEqual(copy));
    EXPECT_FALSE(t.IsEqual(t));
    EXPECT_TRUE(env.Expressions().empty());
    EXPECT_FALSE(t.IsDeleted());
    t.Deleted = true;
    EXPECT_TRUE(t.IsDeleted());
}

TEST(TraverseRecords, UnnamedTraverseIsReportedAndWritten) {
    RecordingEnvironment env;
    db_Traverse t;
    const Bytes bytes = Written(t);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->TraverseName.Length() > 0"});
    db_Traverse back;
    EXPECT_TRUE(ReadInto(back, bytes));
}

TEST(TraverseRecords, EmptyStationNameIsSkippedSoLaterNamesSurvive) {
    RecordingEnvironment env;
    db_Traverse t;
    t.TraverseName = "T";
    t.ListOfStations.Add("A");
    t.ListOfStations.Add("");
    t.ListOfStations.Add("C");
    const Bytes bytes = Written(t);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"ListOfStations[i].Length() > 0"});
    db_Traverse back;
    ASSERT_TRUE(ReadInto(back, bytes));
    ASSERT_EQ(back.ListOfStations.Count(), 2);
    EXPECT_EQ(back.ListOfStations[0], "A");
    EXPECT_EQ(back.ListOfStations[1], "C");
}

TEST(TraverseRecords, StationListWithoutItsEndIsDamage) {
    db_Traverse t;
    t.TraverseName = "T";
    t.ListOfStations.Add("A");
    Bytes bytes = Written(t);
    bytes.pop_back();  // the closing empty string
    RecordingEnvironment env;
    db_Traverse back;
    EXPECT_FALSE(ReadInto(back, bytes));
    EXPECT_EQ(back.ListOfStations.Count(), 1);
}

TEST(TraverseRecords, ClosureLayoutAndLegEquality) {
    db_TraverseClosure c;
    FixHeader(c);
    c.TraversePtr = DBID(3);
    c.Results = 2;
    c.TraverseLegs.Add(Leg("A", "B", 1.0, 2.0, 3.0));
    Builder expected;
    expected.Header(114, 7, 1000.5).U32(3);
    for (int i = 0; i < 7; ++i) expected.F64(0.0);
    expected.I16(2).I16(1).Text("A").Text("B").F64(1.0).F64(2.0).F64(3.0);
    EXPECT_EQ(Written(c), expected.b);

    db_TraverseClosure other;
    other.TraversePtr = DBID(3);
    other.Results = 2;
    other.TraverseLegs.Add(Leg("A", "B", 1.0, 2.0, 3.0));
    EXPECT_TRUE(c.IsEqual(other));
    other.TraverseLegs.GetAt(0)->ToPt = "b";
    EXPECT_FALSE(c.IsEqual(other));

    db_TraverseClosure back;
    ASSERT_TRUE(ReadInto(back, expected.b));
    EXPECT_TRUE(back.IsEqual(c));
}

TEST(TraverseRecords, NegativeLegCountReadsNoLegs) {
    Builder bytes;
    bytes.Header(114, 1, 0.0).U32(0);
    for (int i = 0; i < 7; ++i) bytes.F64(0.0);
    bytes.I16(0).U16(0xFFFF);
    db_TraverseClosure back;
    back.TraverseLegs.Add(Leg("x", "y", 0, 0, 0));
    int end = 0;
    EXPECT_TRUE(ReadInto(back, bytes.b, &end));
    EXPECT_EQ(back.TraverseLegs.Count(), 0);
    EXPECT_EQ(end, static_cast<int>(bytes.b.size()));
}

TEST(TraverseRecords, LegCountBeyondTheBytesIsDamage) {
    Builder bytes;
    bytes.Header(114, 1, 0.0).U32(0);
    for (int i = 0; i < 7; ++i) bytes.F64(0.0);
    bytes.I16(0).I16(30000).Text("A").Text("B").F64(1).F64(2).F64(3);
    db_TraverseClosure back;
    EXPECT_FALSE(ReadInto(back, bytes.b));
    EXPECT_EQ(back.TraverseLegs.Count(), 0);
}

TEST(TraverseRecords, LegListGrowth) {
    dbrecord_TraverseLegs legs;
    EXPECT_EQ(legs.Allocated(), 0);
    legs.Add(Leg("A", "B", 0, 0, 0));
    EXPECT_EQ(legs.Allocated(), 12);
    for (int i = 1; i < 12; ++i) legs.Add(Leg("A", "B", i, 0, 0));
    EXPECT_EQ(legs.Allocated(), 12);
    legs.Add(Leg("A", "B", 12, 0, 0));
    EXPECT_EQ(legs.Allocated(), 36);  // 2 * 13 + 10

    dbrecord_TraverseLegs copy = legs;
    EXPECT_EQ(copy.Count(), 13);
    EXPECT_EQ(copy.Allocated(), 36);
    EXPECT_TRUE(copy.IsEqual(legs));
    copy.Clear();
    EXPECT_EQ(copy.Count(), 0);
    EXPECT_EQ(copy.Allocated(), 0);
    EXPECT_EQ(legs.Count(), 13);  // deep copy
}

TEST(TraverseRecords, LegOutsideTheListIsReported) {
    RecordingEnvironment env;
    dbrecord_TraverseLegs legs;
    legs.Add(Leg("A", "B", 0, 0, 0));
    dbrecord_TraverseLeg out = Leg("keep", "me", 0, 0, 0);
    EXPECT_EQ(legs.GetAt(1), nullptr);
    EXPECT_FALSE(legs.GetAt(-1, out));
    EXPECT_EQ(out.FromPt, "keep");
    EXPECT_TRUE(legs.GetAt(0, out));
    EXPECT_EQ(out.FromPt, "A");
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"Index < _Count", "Index < _Count"}));
}

TEST(TraverseRecords, NewLegIsNull) {
    dbrecord_TraverseLeg leg;
    EXPECT_EQ(leg.FromPt, "");
    EXPECT_TRUE(leg.Polar.IsNull());
}

TEST(TraverseRecords, MoreLegsThanTheCountCanHoldAreCutAndReported) {
    RecordingEnvironment env;
    db_TraverseClosure c;
    for (int i = 0; i < dbrecord_TraverseLegs::MaxWritten + 2; ++i) c.TraverseLegs.Add(Leg("", "", i, 0, 0));
    const Bytes bytes = Written(c);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"TraverseLegs.Count() <= 32767"});
    db_TraverseClosure back;
    ASSERT_TRUE(ReadInto(back, bytes));
    ASSERT_EQ(back.TraverseLegs.Count(), 32767);
    EXPECT_EQ(back.TraverseLegs.GetAt(32766)->Polar.Azimuth, 32766.0);
}

}  // namespace

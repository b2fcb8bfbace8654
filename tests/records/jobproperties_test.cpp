#include <gtest/gtest.h>

#include "records/editactions.h"
#include "records/jobheader.h"
#include "records/jobproperties.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using recbytes::Builder;
using recbytes::ReadWhole;
using recbytes::Written;

template <class R>
R Stamped() {
    R r;
    r.SetRecordId(3);
    r.SetTimeStamp(10.0);
    return r;
}

TEST(JobPropertiesRecords, DefaultStationOffsetBytes) {
    auto r = Stamped<db_StationOffset>();
    const auto expected = Builder()
                              .Header(121, 3, 10.0)
                              .U16(1)
                              .Text("")
                              .F64(0.0)
                              .F64(1e308)
                              .I32(-1)
                              .F64(0.0)
                              .F64(0.0)
                              .Text("")
                              .b;
    EXPECT_EQ(Written(r), expected);
}

TEST(JobPropertiesRecords, StationOffsetComparesEveryFieldAndReadsBack) {
    auto a = Stamped<db_StationOffset>();
    a.EntityType = 5;
    a.EntityName = "Road 1";
    a.Station = 12.5;
    a.EquatedRoadStation = EquatedStation(112.5, 2);
    a.Offset = -1.5;
    a.VDist = 0.25;
    a.Code = "CL";
    db_StationOffset b;
    ASSERT_TRUE(ReadWhole(b, Written(a)));
    EXPECT_TRUE(b.IsEqual(a));
    EXPECT_EQ(b.EquatedRoadStation.Zone, 2);
    b.EquatedRoadStation.Zone = 3;
    EXPECT_FALSE(b.IsEqual(a));
}

TEST(JobPropertiesRecords, JobPropertiesBytesAndEquality) {
    auto a = Stamped<db_JobProperties>();
    a.Reference = "R";
    a.Description = "D";
    a.Operator = "O";
    a.Notes = "N";
    a.SetNotes("header");
    EXPECT_EQ(Written(a),
              Builder().Header(120, 3, 10.0, "header").Text("R").Text("D").Text("O").Text("N").b);
    EXPECT_TRUE(a.IsPersisted());

    RecordingEnvironment env;
    db_JobProperties b = a;
    b.SetNotes("other");
    EXPECT_TRUE(b.IsEqual(a));
    b.Operator = "o";
    EXPECT_FALSE(b.IsEqual(a));
    db_Note note;
    EXPECT_FALSE(a.IsEqual(note));
    EXPECT_TRUE(env.assertions.empty());
}

TEST(JobPropertiesRecords, RoundMarkers) {
    auto start = Stamped<db_StartRound>();
    start.Round = 65535;
    EXPECT_EQ(Written(start), Builder().Header(123, 3, 10.0).U16(65535).b);
    db_StartRound other;
    EXPECT_FALSE(other.IsEqual(start));
    ASSERT_TRUE(ReadWhole(other, Written(start)));
    EXPECT_EQ(other.Round, 65535);

    // The three markers are the header alone and always compare equal after "0".
    RecordingEnvironment env;
    auto end = Stamped<db_EndRound>();
    EXPECT_EQ(Written(end), Builder().Header(124, 3, 10.0).b);
    db_StartRounds s;
    db_EndRounds e;
    EXPECT_TRUE(s.IsEqual(end));
    EXPECT_TRUE(e.IsEqual(e));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0", "0"}));
}

TEST(JobPropertiesRecords, SurfaceScanAlwaysComparesEqual) {
    auto a = Stamped<db_SurfaceScan>();
    a.SurfaceScanMethod = -2;
    a.LineMethod = 1;
    a.PointA = "A";
    a.PointsScanned = 40;
    a.TimeTaken = 2.5;
    const auto expected = Builder()
                              .Header(126, 3, 10.0)
                              .U16(0xFFFE)
                              .U16(1)
                              .Text("A")
                              .Text("")
                              .Text("")
                              .F64(1e308).F64(1e308).F64(1e308).F64(1e308).F64(1e308).F64(1e308).F64(1e308)
                              .I32(40)
                              .I32(0)
                              .F64(2.5)
                              .b;
    EXPECT_EQ(Written(a), expected);
    db_SurfaceScan b;
    ASSERT_TRUE(ReadWhole(b, expected));
    EXPECT_EQ(b.SurfaceScanMethod, -2);

    RecordingEnvironment env;
    db_SurfaceScan c;
    EXPECT_TRUE(c.IsEqual(a));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"0"});
}

TEST(JobPropertiesRecords, DefaultCogoTransformationBytes) {
    auto a = Stamped<db_CogoTransformation>();
    Builder expected;
    expected.Header(130, 3, 10.0).U8(0).F64(1e308).Text("").F64(0).F64(0).F64(0);
    expected.U8(0).F64(1e308).Text("").F64(0).F64(0).F64(0);
    expected.U8(0).U16(1).F64(0).F64(0).F64(0).Text("").Text("").I32(0);
    EXPECT_EQ(Written(a), expected.b);
}

TEST(JobPropertiesRecords, CogoTransformationGridsAreWrittenNorthFirst) {
    db_CogoTransformation a;
    a.rotationOriginGrid = coord_CorrectedGrid(1, 2, 3);
    a.translation = coord_GridDeltas(4, 5, 6);
    db_CogoTransformation b;
    ASSERT_TRUE(ReadWhole(b, Written(a)));
    EXPECT_EQ(b.rotationOriginGrid, coord_CorrectedGrid(1, 2, 3));
    EXPECT_EQ(b.translation.dEast, 5.0);
    const auto bytes = Written(a);
    const size_t grid = 15 + 1 + 8 + 1;  // header, Rotated, rotationAngle, empty origin
    double north;
    std::memcpy(&north, bytes.data() + grid, 8);
    EXPECT_EQ(north, 1.0);
}

}  // namespace

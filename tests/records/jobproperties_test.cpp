#include <gtest/gtest.h>

#include "records/editactions.h"
#include "records/jobheader.h"
#include "records/jobproperties.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

template <class R>
R Stamped() {
    R r;
    r.SetRecordId(3);
    r.SetTimeStamp(10.0);
    return r;
}

TEST(JobPropertiesRecords, DefaultStationOffsetBytes) {
    auto r = Stamped<db_StationOffset>();
    const auto expected = RecordBytes()
                              .header(121, 3, 10.0)
                              .u16(1)
                              .str("")
                              .f64(0.0)
                              .f64(1e308)
                              .i32(-1)
                              .f64(0.0)
                              .f64(0.0)
                              .str("")
                              .v;
    EXPECT_EQ(WrittenBytes(r), expected);
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
    ASSERT_TRUE(ReadBytes(b, WrittenBytes(a)));
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
    EXPECT_EQ(WrittenBytes(a),
              RecordBytes().header(120, 3, 10.0, "header").str("R").str("D").str("O").str("N").v);
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
    EXPECT_EQ(WrittenBytes(start), RecordBytes().header(123, 3, 10.0).u16(65535).v);
    db_StartRound other;
    EXPECT_FALSE(other.IsEqual(start));
    ASSERT_TRUE(ReadBytes(other, WrittenBytes(start)));
    EXPECT_EQ(other.Round, 65535);

    // The three markers are the header alone and always compare equal after "0".
    RecordingEnvironment env;
    auto end = Stamped<db_EndRound>();
    EXPECT_EQ(WrittenBytes(end), RecordBytes().header(124, 3, 10.0).v);
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
    const auto expected = RecordBytes()
                              .header(126, 3, 10.0)
                              .u16(0xFFFE)
                              .u16(1)
                              .str("A")
                              .str("")
                              .str("")
                              .f64(1e308).f64(1e308).f64(1e308).f64(1e308).f64(1e308).f64(1e308).f64(1e308)
                              .i32(40)
                              .i32(0)
                              .f64(2.5)
                              .v;
    EXPECT_EQ(WrittenBytes(a), expected);
    db_SurfaceScan b;
    ASSERT_TRUE(ReadBytes(b, expected));
    EXPECT_EQ(b.SurfaceScanMethod, -2);

    RecordingEnvironment env;
    db_SurfaceScan c;
    EXPECT_TRUE(c.IsEqual(a));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"0"});
}

TEST(JobPropertiesRecords, DefaultCogoTransformationBytes) {
    auto a = Stamped<db_CogoTransformation>();
    RecordBytes expected;
    expected.header(130, 3, 10.0).u8(0).f64(1e308).str("").f64(0).f64(0).f64(0);
    expected.u8(0).f64(1e308).str("").f64(0).f64(0).f64(0);
    expected.u8(0).u16(1).f64(0).f64(0).f64(0).str("").str("").i32(0);
    EXPECT_EQ(WrittenBytes(a), expected.v);
}

TEST(JobPropertiesRecords, CogoTransformationGridsAreWrittenNorthFirst) {
    db_CogoTransformation a;
    a.rotationOriginGrid = coord_CorrectedGrid(1, 2, 3);
    a.translation = coord_GridDeltas(4, 5, 6);
    db_CogoTransformation b;
    ASSERT_TRUE(ReadBytes(b, WrittenBytes(a)));
    EXPECT_EQ(b.rotationOriginGrid, coord_CorrectedGrid(1, 2, 3));
    EXPECT_EQ(b.translation.dEast, 5.0);
    const auto bytes = WrittenBytes(a);
    const size_t grid = 15 + 1 + 8 + 1;  // header, Rotated, rotationAngle, empty origin
    double north;
    std::memcpy(&north, bytes.data() + grid, 8);
    EXPECT_EQ(north, 1.0);
}

}  // namespace

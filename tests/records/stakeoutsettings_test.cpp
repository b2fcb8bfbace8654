#include <gtest/gtest.h>

#include "records/precisioncoding.h"
#include "records/stakeoutsettings.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

TEST(MarkerRecords, EndEntityIsTheHeaderAlone) {
    db_EndEntity e;
    FixHeader(e, 3, 2.0);
    EXPECT_EQ(Written(e), Builder().Header(27, 3, 2.0).b);
    EXPECT_EQ(Written(e).size(), 15u);
    e.SetNotes("ab");
    db_EndEntity back;
    int end = 0;
    ASSERT_TRUE(ReadInto(back, Written(e), &end));
    EXPECT_EQ(end, 17);
    EXPECT_EQ(back.GetNotes(), "ab");
}

TEST(MarkerRecords, ComparingReportsAndAnswersTrue) {
    RecordingEnvironment env;
    db_EndEntity a, b;
    b.SetNotes("different");
    EXPECT_TRUE(a.IsEqual(b));
    db_Coding other;
    EXPECT_TRUE(a.IsEqual(other));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0", "0"}));
}

TEST(PointKeyinRecord, DefaultLayout) {
    db_PointKeyin k;
    FixHeader(k);
    Builder expected;
    expected.Header(85, 7, 1000.5).I16(0).Text("").Text("").Text("").Text("");
    for (int i = 0; i < 6; ++i) expected.F64(Null);
    expected.I16(1).U16(0).I16(0).U32(0).U32(0).Circle(Null, Null, Null, 0, Null, Null, Null, 7);
    EXPECT_EQ(Written(k), expected.b);
}

TEST(PointKeyinRecord, RoundTripAndEquality) {
    db_PointKeyin k;
    FixHeader(k);
    k.Method = 12;
    k.PointTwo = "P2";
    k.DistanceTwo = 4.5;
    k.BearingDistanceAzimuthType = -3;
    k.CreatedView = coordsys_CogoSettings(0x1800);
    k.DirectionAlongLine = 1;
    k.VerticalPlaneIntersectionStation = DBID(0x80000001u);
    k.VerticalPlaneIntersectionRay.HorzCircle = 1.0;
    k.VerticalPlaneIntersectionRay.Face = COORD_Face1;
    db_PointKeyin back;
    const Bytes bytes = Written(k);
    ASSERT_TRUE(ReadInto(back, bytes));
    EXPECT_EQ(back.BearingDistanceAzimuthType, -3);
    EXPECT_EQ(back.VerticalPlaneIntersectionStation, DBID(0x80000001u));
    EXPECT_EQ(back.VerticalPlaneIntersectionRay.HorzCircle, 1.0);
    EXPECT_TRUE(back.IsEqual(k));
    EXPECT_EQ(Written(back), bytes);
    back.VerticalPlaneIntersectionRay.Face = COORD_Face2;
    EXPECT_FALSE(back.IsEqual(k));
}

TEST(CodingRecord, LayoutAndRoundTrip) {
    db_Coding c;
    FixHeader(c);
    c.Comment = "c";
    c.Filename = "lib.fxl";
    c.CheckSum = 0xABCD;
    c.UseAttributesOfBaseCode = true;
    const Bytes bytes = Written(c);
    EXPECT_EQ(bytes, Builder().Header(50, 7, 1000.5).Text("c").Text("lib.fxl").Text("").U16(0xABCD).U8(0).U8(1).b);
    db_Coding back;
    ASSERT_TRUE(ReadInto(back, bytes));
    EXPECT_EQ(back.CheckSum, 0xABCD);
    EXPECT_TRUE(back.IsEqual(c));
    EXPECT_TRUE(back.IsPersisted());
    EXPECT_TRUE(back.IsDefaultRequired());
}

TEST(CodingRecord, TextsCompareWithoutCase) {
    db_Coding a, b;
    a.Filename = "Library.FXL";
    b.Filename = "library.fxl";
    a.Comment = "Roads";
    b.Comment = "ROADS";
    EXPECT_TRUE(a.IsEqual(b));
    b.DDFFilename = "x";
    EXPECT_FALSE(a.IsEqual(b));
    b.DDFFilename = "";
    b.AttributesActive = true;
    EXPECT_FALSE(a.IsEqual(b));
}

}  // namespace

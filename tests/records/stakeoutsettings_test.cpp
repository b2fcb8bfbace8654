#include <gtest/gtest.h>

#include <memory>

#include "records/dbRecordTypes.h"
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

TEST(MarkerRecords, EveryMarkerIsItsHeaderWithNotes) {
    for (int type : {21, 27, 66, 73, 74, 75, 110}) {
        std::unique_ptr<dbRecord_Class> r(dbRecord_GetTypeInfo(type).create());
        ASSERT_NE(r, nullptr) << type;
        FixHeader(*r, 9, 4.5);
        r->SetNotes("xyz");
        EXPECT_EQ(Written(*r), Builder().Header(type, 9, 4.5, "xyz").b) << type;
        EXPECT_EQ(Written(*r).size(), 14u + 4u) << type;
        EXPECT_FALSE(r->IsPersisted()) << type;
    }
}

constexpr int kHeader = 15;  // type, id, timestamp and empty notes

Bytes Body(const dbRecord_Class& r) {
    const Bytes all = Written(r);
    return Bytes(all.begin() + kHeader, all.end());
}

TEST(StakeOutSettingsRecords, DefaultLayouts) {
    Builder stakeOut;
    stakeOut.I16(0).I16(5).U8(0).Text("").F64(0.0).I16(1).I16(0).I16(1).F64(5.0).U16(3).F64(0.015).F64(0.02)
        .U8(1).I16(0).I16(0).U8(1).I16(4).I16(5).I16(0).I16(5).F64(0.0001454441043328608).F64(0.02)
        .I16(0).I16(0).U8(1).F64(0.0).F64(0.0).F64(4.84813681109536e-05).F64(9.69627362219072e-05).F64(0.02)
        .U16(1).U8(1);
    for (int i = 0; i < 6; ++i) stakeOut.Text("");
    stakeOut.U8(1);
    EXPECT_EQ(Body(db_StakeOut()), stakeOut.b);

    EXPECT_EQ(Body(db_ContinuousPoints()), Builder().I16(1).F64(0.05).F64(0.08).U8(1).U8(1).U8(1).b);
    EXPECT_EQ(Body(db_CheckShot()), Builder().U16(3).F64(5.0).F64(0.015).F64(0.02).U8(0).I16(1).U8(1).b);
    db_QuickMark quick;
    quick.QualityControl = 3;
    quick.AutoPrecisions = false;
    EXPECT_EQ(Body(quick), Builder().F64(0.2).F64(0.25).I16(3).U8(0).U8(1).b);
    EXPECT_EQ(Body(db_RTKControl()), Builder().U8(0).I16(2).U8(0).F64(600.0).F64(480.0).F64(300.0).U16(180)
                                         .F64(0.015).F64(0.02).U8(1).U8(1).b);
    db_PolarDeltas polar;
    EXPECT_EQ(Body(polar), Builder().F64(0.0).F64(0.0).F64(0.0).b);
    polar.Polar.HDist = 2.5;
    EXPECT_EQ(Body(polar), Builder().F64(0.0).F64(2.5).F64(0.0).b);
}

TEST(StakeOutSettingsRecords, EveryFieldRoundTripsAndCompares) {
    db_StakeOut s;
    FixHeader(s);
    s.DistanceType = -2;
    s.TerrainModel = "ground.dtm";
    s.Measurements = 0xFFFF;
    s.GPSDeltasOther = 0x12345;
    s.Tolerance.VertAngle = 0.5;
    s.AutoPointIncr = 40000;
    s.RoadStakeoutStyleSheet = "road.sss";
    s.RemovePointFromList = false;
    db_StakeOut back;
    const Bytes bytes = Written(s);
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_EQ(back.DistanceType, -2);
    EXPECT_EQ(back.Measurements, 0xFFFF);
    EXPECT_EQ(back.GPSDeltasOther, 0x2345);  // only the low 16 bits are written
    EXPECT_EQ(back.Tolerance.VertAngle, 0.5);
    EXPECT_EQ(back.AutoPointIncr, 40000);
    EXPECT_EQ(back.RoadStakeoutStyleSheet, "road.sss");
    EXPECT_FALSE(back.RemovePointFromList);
    EXPECT_EQ(Written(back), bytes);
    back.GPSDeltasOther = s.GPSDeltasOther;
    EXPECT_TRUE(back.IsEqual(s));
    back.Tolerance.SlopeDistance = 0.021;
    EXPECT_FALSE(back.IsEqual(s));
    back.Tolerance.SlopeDistance = s.Tolerance.SlopeDistance;
    back.TerrainModel = "Ground.dtm";
    EXPECT_FALSE(back.IsEqual(s));

    db_RTKControl r;
    r.PPTimes = db_InitTimes(true, MATHS_Null, 1.0, 2.0);
    r.QualityControl = -1;
    db_RTKControl rback;
    ASSERT_TRUE(ReadWhole(rback, Written(r)));
    EXPECT_TRUE(rback.IsEqual(r));
    EXPECT_EQ(rback.QualityControl, -1);
    rback.PPTimes.RequireL2 = false;
    EXPECT_FALSE(rback.IsEqual(r));
}

TEST(StakeOutSettingsRecords, OnlyTheStakeOutIsPersistedAndCastsByType) {
    for (int type : {67, 69, 70, 71, 72, 86}) {
        std::unique_ptr<dbRecord_Class> r(dbRecord_GetTypeInfo(type).create());
        ASSERT_NE(r, nullptr) << type;
        EXPECT_EQ(r->IsPersisted(), type == 69) << type;
        EXPECT_FALSE(r->InvalidatesPositions()) << type;
        EXPECT_EQ(r->GetName(), "") << type;
    }
    db_QuickMark quick;
    db_CheckShot check;
    EXPECT_EQ(db_QuickMark::Cast(&quick), &quick);
    EXPECT_EQ(db_QuickMark::Cast(&check), nullptr);
    EXPECT_EQ(db_PolarDeltas::Cast(&check), nullptr);
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

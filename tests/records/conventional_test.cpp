#include "records/conventional.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record_bytes.h"
#include "records/laserecho.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

constexpr double kTwoSeconds = 9.69627362219072e-06;

// The 52 bytes of a default circle reading.
Builder& NullCircle(Builder& b) { return b.Circle(Null, Null, Null, 0, Null, Null, Null, 7); }

size_t BodyLength(const dbRecord_Class& r) {
    return Written(r).size() - Builder().Header(0, 7, 1000.5).b.size();
}

TEST(ConventionalRecords, DefaultInstrumentBytes) {
    db_TotalInstrument r;
    FixHeader(r);
    const Bytes bytes = Written(r);
    Builder b;
    b.Header(24, 7, 1000.5).I16(38).F64(270.0).F64(79.167).U8(1).U8(1).I16(0).I16(0).I16(2);
    b.U32(9600).I16(8).I16(1).I16(0).I16(0).F64(2.0).U8(0);
    b.F64(kTwoSeconds).F64(kTwoSeconds).F64(0.002).F64(2.0).F64(0.002);
    b.I32(0).I32(-1).I32(-1).U32(3).U8(0).U8(1).U8(1).U8(0).U8(0);
    b.Text("").Text("").Text("").U32(0).F64(Null).F64(Null).F64(Null).Text("");
    b.F64(Null).F64(Null).F64(Null).I16(0);
    EXPECT_EQ(bytes, b.b);
    EXPECT_EQ(BodyLength(r), 166u);

    r.Type = 34;
    r.PortParam.BaudRate = 115200;
    r.Precisions.EDMppm = 1.5;
    r.Model = "M";
    r.OffsetUserPerspective = 2;
    db_TotalInstrument back;
    ASSERT_TRUE(ReadWhole(back, Written(r)));
    EXPECT_TRUE(back.IsEqual(r));
    EXPECT_EQ(Written(back), Written(r));
    back.Precisions.EDMppm = 2.0;
    EXPECT_FALSE(back.IsEqual(r));

    // The settings go back to the defaults in one call.
    r.SetDefaultSettings();
    FixHeader(r);
    EXPECT_EQ(Written(r), bytes);
}

TEST(ConventionalRecords, InstrumentTypesWithFixedPrecisions) {
    db_TotalInstrument r;
    for (int32_t type = 0; type <= 40; ++type) {
        r.Type = type;
        EXPECT_EQ(r.IsCorvaneType(), type == 0 || type == 4 || type == 6) << type;
    }
}

TEST(ConventionalRecords, DefaultTargetBytesAndPrismTolerance) {
    db_Target r;
    FixHeader(r);
    const Bytes bytes = Written(r);
    EXPECT_EQ(bytes, Builder()
                         .Header(127, 7, 1000.5)
                         .Text("Unnamed").U8(0).F64(0.0).I16(0).F64(0.0).F64(0.0)
                         .I32(-1).F64(0.0).I32(0).I32(0).U8(0)
                         .b);
    EXPECT_EQ(BodyLength(r), 56u);
    EXPECT_EQ(r.GetName(), Str("Unnamed"));

    r.Name = "P";
    r.IsDR = true;
    r.Target.TargetHeightData.Height = 1.5;
    r.Target.TargetHeightData.SetMeasurementMethod(1);
    r.Target.Prism.PrismType = 3;
    r.Target.Prism.PrismConstant = -0.0344;
    r.Target.RMTID = 5;
    r.Target.CorvaneCheckTargetID = 2;
    r.IsDualPrism = true;
    const Bytes set = Written(r);
    EXPECT_EQ(set, Builder()
                       .Header(127, 7, 1000.5)
                       .Text("P").U8(1).F64(1.5).I16(1).F64(0.091).F64(0.158)
                       .I32(3).F64(-0.0344).I32(5).I32(2).U8(1)
                       .b);
    db_Target back;
    ASSERT_TRUE(ReadWhole(back, set));
    EXPECT_EQ(Written(back), set);
    EXPECT_TRUE(back.IsEqual(r));

    struct Case {
        int32_t type;
        double constant;
        bool equal;
    } cases[] = {
        {3, -0.0344 + 0.000009, true},
        {3, -0.0344 - 0.000009, true},
        {3, -0.0344 + 0.00002, false},
        {-1, -0.0344, false},
        {0, -0.0344, false},
    };
    for (const Case& c : cases) {
        db_Target other = r;
        other.Target.Prism.PrismType = c.type;
        other.Target.Prism.PrismConstant = c.constant;
        EXPECT_EQ(other.IsEqual(r), c.equal) << c.type << " " << c.constant;
    }
    db_Target minus1;
    db_Target zero;
    zero.Target.Prism.PrismType = 0;
    EXPECT_FALSE(minus1.IsEqual(zero));
}

TEST(ConventionalRecords, StationNameIsCheckedAndWrittenWhole) {
    db_TotalStation r;
    FixHeader(r);
    RecordingEnvironment env;
    const Bytes bytes = Written(r);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->StationName.Length() > 0"});
    EXPECT_EQ(bytes, Builder()
                         .Header(25, 7, 1000.5)
                         .Text("").F64(Null).I16(0).F64(0.0).F64(0.0).U32(0).U32(0).U32(0).U32(0)
                         .I16(0).F64(1.0).F64(Null).I16(0)
                         .b);

    env.Clear();
    r.StationName = "S1";
    r.TheodoliteHeight.Height = 1.62;
    r.TheodoliteHeight.SetMeasurementMethod(1);
    r.Instrument = DBID(4);
    r.Atmosphere = DBID(3);
    r.NumberOfBacksightObservations = 2;
    r.NumberOfUniqueBacksights = 1;
    r.ScaleType = 1;
    r.ScaleFactor = 0.9996;
    r.StationType = 3;
    const Bytes set = Written(r);
    EXPECT_TRUE(env.Expressions().empty());
    EXPECT_EQ(set, Builder()
                       .Header(25, 7, 1000.5)
                       .Text("S1").F64(1.62).I16(1).F64(0.091).F64(0.158).U32(4).U32(3).U32(2).U32(1)
                       .I16(1).F64(0.9996).F64(Null).I16(3)
                       .b);
    db_TotalStation back;
    ASSERT_TRUE(ReadWhole(back, set));
    EXPECT_TRUE(back.IsEqual(r));
    EXPECT_EQ(back.GetName(), Str("S1"));
    // References compare as ids.
    back.Instrument = DBID(5);
    EXPECT_FALSE(back.IsEqual(r));
}

TEST(ConventionalRecords, AtmosphereAndBackBearing) {
    db_TotalAtmosphere a;
    FixHeader(a);
    EXPECT_EQ(Written(a), Builder()
                              .Header(22, 7, 1000.5)
                              .F64(Null).F64(Null).F64(0.0).U8(1).U8(1).F64(0.142).I16(0)
                              .b);
    a.Pressure = 1013.25;
    a.PressureInputMethod = 1;
    db_TotalAtmosphere aBack;
    ASSERT_TRUE(ReadWhole(aBack, Written(a)));
    EXPECT_TRUE(aBack.IsEqual(a));

    db_TotalBackBearing bb;
    FixHeader(bb);
    bb.Station = "S1";
    bb.BackSight = "BS";
    EXPECT_EQ(Written(bb), Builder()
                               .Header(23, 7, 1000.5)
                               .Text("S1").Text("BS").F64(0.0).F64(0.0).F64(Null)
                               .b);
    EXPECT_EQ(bb.GetName(), Str("BS"));
    db_TotalBackBearing bbBack;
    ASSERT_TRUE(ReadWhole(bbBack, Written(bb)));
    EXPECT_TRUE(bbBack.IsEqual(bb));
    bbBack.BackSight = "bs";
    EXPECT_FALSE(bbBack.IsEqual(bb));
}

TEST(ConventionalRecords, CircleReadingRecords) {
    db_DualPrismOffset dual;
    FixHeader(dual);
    Builder expected;
    expected.Header(26, 7, 1000.5);
    NullCircle(expected);
    NullCircle(expected);
    expected.F64(Null).F64(Null).F64(Null).F64(Null).F64(0.003).F64(Null);
    EXPECT_EQ(Written(dual), expected.b);
    EXPECT_EQ(BodyLength(dual), 152u);

    db_AngleOffset angle;
    FixHeader(angle);
    angle.FirstRawObservationTarget = DBID(9);
    angle.SecondRawObservation.HorzCircle = 1.25;
    angle.SecondRawObservation.Face = 2;
    angle.SecondRawObservation.Flag = true;
    Builder a;
    a.Header(135, 7, 1000.5).U32(9);
    NullCircle(a);
    a.Circle(1.25, Null, Null, 2, Null, Null, Null, 7);
    const Bytes angleBytes = Written(angle);
    EXPECT_EQ(angleBytes, a.b);
    EXPECT_EQ(BodyLength(angle), 108u);
    // The flag is not stored: a new record reads it false and still compares equal.
    db_AngleOffset back;
    ASSERT_TRUE(ReadWhole(back, angleBytes));
    EXPECT_FALSE(back.SecondRawObservation.Flag);
    EXPECT_TRUE(back.IsEqual(angle));
    back.FirstRawObservationTarget = DBID(8);
    EXPECT_FALSE(back.IsEqual(angle));

    dual.Constants.ToleranceAB = 0.02;
    dual.PrismBObservation.EDMDistance = 12.5;
    db_DualPrismOffset dualBack;
    ASSERT_TRUE(ReadWhole(dualBack, Written(dual)));
    EXPECT_TRUE(dualBack.IsEqual(dual));
    dualBack.Constants.CalculatedDistanceAB = 1.0;
    EXPECT_FALSE(dualBack.IsEqual(dual));

    db_CircularObject circular;
    FixHeader(circular);
    circular.Radius = 0.4;
    Builder c;
    c.Header(128, 7, 1000.5);
    NullCircle(c);
    NullCircle(c);
    c.F64(0.4);
    EXPECT_EQ(Written(circular), c.b);

    db_RemoteObject remote;
    FixHeader(remote);
    remote.ObjectHeight = 12.0;
    remote.ROBasePointName = "B";
    remote.ROBasePointID = DBID(6);
    Builder r;
    r.Header(129, 7, 1000.5);
    NullCircle(r);
    r.F64(12.0).F64(Null).Text("B").U32(6);
    EXPECT_EQ(Written(remote), r.b);
    db_RemoteObject remoteBack;
    ASSERT_TRUE(ReadWhole(remoteBack, r.b));
    EXPECT_TRUE(remoteBack.IsEqual(remote));
}

TEST(LaserRecords, ConfigBytesAndTheSmallRecords) {
    db_LaserConfig config;
    FixHeader(config);
    EXPECT_EQ(Written(config), Builder()
                                   .Header(109, 7, 1000.5)
                                   .I16(0).U8(0).U32(4800).I32(8).I32(1).I16(0).U32(0).U8(0).U8(0).U8(0)
                                   .F64(Null).F64(Null).F64(Null)
                                   .b);
    config.LaserType = 3;
    config.Port = 11;
    config.Features = 0x5;
    config.AutoStore = true;
    config.AzimuthPrecision = 0.001;
    const Bytes bytes = Written(config);
    EXPECT_EQ(bytes, Builder()
                         .Header(109, 7, 1000.5)
                         .I16(3).U8(11).U32(4800).I32(8).I32(1).I16(0).U32(5).U8(0).U8(1).U8(0)
                         .F64(Null).F64(0.001).F64(Null)
                         .b);
    db_LaserConfig back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_TRUE(back.IsEqual(config));

    db_LaserBasePoint base;
    FixHeader(base);
    base.TheName = "LB";
    EXPECT_EQ(Written(base), Builder().Header(106, 7, 1000.5).Text("LB").b);
    EXPECT_EQ(base.GetName(), Str("LB"));
    db_LaserHeight height;
    FixHeader(height);
    EXPECT_EQ(Written(height), Builder().Header(107, 7, 1000.5).F64(0.0).b);
    db_LaserTargetHeight target;
    FixHeader(target);
    target.Height = 1.8;
    EXPECT_EQ(Written(target), Builder().Header(108, 7, 1000.5).F64(1.8).b);
    EXPECT_TRUE(target.InvalidatesPositions());
    EXPECT_FALSE(height.InvalidatesPositions());
}

}  // namespace

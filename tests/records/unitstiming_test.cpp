#include <gtest/gtest.h>

#include <memory>

#include "records/precisioncoding.h"
#include "records/unitstiming.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

constexpr int kHeader = 15;  // type, id, timestamp and empty notes

Bytes Body(const dbRecord_Class& r) {
    const Bytes all = Written(r);
    return Bytes(all.begin() + kHeader, all.end());
}

TEST(UnitsRecords, DefaultUnitsAreEighteenI16) {
    db_Units u;
    FixHeader(u);
    Builder e;
    e.Header(47, 7, 1000.5);
    for (int v : {0, 0, 14, 14, 20, 0, 28, 30, 26, 36, 2, 0, 0, 1, 1, 2, 2, 0}) e.I16(v);
    EXPECT_EQ(Written(u), e.b);
    EXPECT_EQ(Body(u).size(), 36u);
}

TEST(UnitsRecords, SelectorsSignExtendAndLoseWhatA16BitValueCannotHold) {
    db_Units u;
    u.Grade = -3;
    u.AzimuthFormat = 0x12345;
    db_Units back;
    ASSERT_TRUE(ReadWhole(back, Written(u)));
    EXPECT_EQ(back.Grade, -3);
    EXPECT_EQ(back.AzimuthFormat, 0x2345);
}

// A units record with every selector that FillUnsetFrom completes unset.
db_Units AllUnset() {
    db_Units u;
    u.VerticalUnits = u.HorizontalUnits = u.AngleUnits = u.LatLongUnits = u.VelocityUnits = 47;
    u.TemperatureUnits = u.PressureUnits = u.Grade = u.AreaUnits = 47;
    u.Stationing = 3;
    u.LaserVA = u.GPSTimeDisplay = u.DMSAngleDisplay = 2;
    return u;
}

TEST(UnitsRecords, FillUnsetFromCompletesOnlyTheUnsetSelectors) {
    struct Case {
        const char* what;
        db_Units mine;
        db_Units from;
        bool changes;
    };
    db_Units feetAndNormal;
    feetAndNormal.HorizontalUnits = 1;  // UNITS_Foot
    feetAndNormal.Stationing = 0;       // DBCONFIG_StationingNormal
    db_Units twoUnset;
    twoUnset.HorizontalUnits = 47;
    twoUnset.Stationing = 3;
    db_Units keptFormats;  // the selectors never taken over, at odd values
    keptFormats.CoordOrder = 47;
    keptFormats.DecAngleDisplay = 2;
    keptFormats.DistanceDisplay = 47;
    keptFormats.CoordinateDisplay = 3;
    keptFormats.AzimuthFormat = 2;
    Case cases[] = {
        {"nothing unset", db_Units(), AllUnset(), false},
        {"two unset, other values", twoUnset, feetAndNormal, true},
        {"two unset, unset there too", twoUnset, twoUnset, false},
        {"all unset", AllUnset(), db_Units(), true},
        {"display formats are never taken", keptFormats, db_Units(), false},
    };
    for (Case& c : cases) {
        RecordingEnvironment env;
        c.mine.SetRecordId(DBID(12));
        c.mine.SetTimeStamp(55.0);
        c.mine.SetNotes("n");
        std::unique_ptr<dbRecord_Class> filled(c.mine.FillUnsetFrom(c.from));
        EXPECT_EQ(filled != nullptr, c.changes) << c.what;
        EXPECT_TRUE(env.Expressions().empty()) << c.what;
    }

    std::unique_ptr<dbRecord_Class> filled(twoUnset.FillUnsetFrom(feetAndNormal));
    const db_Units* units = db_Units::Cast(filled.get());
    ASSERT_NE(units, nullptr);
    db_Units expected = twoUnset;
    expected.HorizontalUnits = 1;
    expected.Stationing = 0;
    EXPECT_TRUE(units->IsEqual(expected));
    EXPECT_EQ(units->GetRecordId(), twoUnset.GetRecordId());
    EXPECT_EQ(units->GetTimeStamp(), twoUnset.GetTimeStamp());

    std::unique_ptr<dbRecord_Class> all(AllUnset().FillUnsetFrom(db_Units()));
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(Body(*all), Body(db_Units()));
}

TEST(UnitsRecords, FillUnsetFromAnotherTypeIsReportedAndGivesNull) {
    RecordingEnvironment env;
    db_Coding coding;
    EXPECT_EQ(AllUnset().FillUnsetFrom(coding), nullptr);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"fromUnits"});
}

TEST(TimingRecords, OccupationTimesDefaults) {
    const uint8_t nullBytes[8] = {0xA0, 0xC8, 0xEB, 0x85, 0xF3, 0xCC, 0xE1, 0x7F};
    db_L2OTFTimes l2;
    const Bytes body = Body(l2);
    ASSERT_EQ(body.size(), 25u);
    EXPECT_EQ(body[0], 1);
    EXPECT_EQ(Bytes(body.begin() + 1, body.begin() + 9), Bytes(nullBytes, nullBytes + 8));
    db_L2OTFTimes back;
    ASSERT_TRUE(ReadWhole(back, Written(l2)));
    EXPECT_EQ(back.times.TimeFor4SVs, MATHS_Null);
    EXPECT_TRUE(back.IsEqual(db_L2OTFTimes()));

    struct Case {
        std::unique_ptr<dbRecord_Class> record;
        Builder body;
    };
    Case cases[6];
    cases[0].record = std::make_unique<db_L2OTFTimes>();
    cases[0].body.U8(1).F64(Null).F64(900.0).F64(480.0);
    cases[1].record = std::make_unique<db_L1StaticTimes>();
    cases[1].body.U8(0).F64(1800.0).F64(1500.0).F64(1200.0);
    cases[2].record = std::make_unique<db_ControlTimes>();
    cases[2].body.U8(1).F64(1200.0).F64(900.0).F64(480.0);
    cases[3].record = std::make_unique<db_FSL1Times>();
    cases[3].body.U8(0).F64(0).F64(0).F64(0);
    cases[4].record = std::make_unique<db_FSL2Times>();
    cases[4].body.U8(0).F64(0).F64(0).F64(0);
    cases[5].record = std::make_unique<db_NewPtTimes>();
    cases[5].body.U8(1).F64(1200.0).F64(900.0).F64(480.0);
    for (Case& c : cases) EXPECT_EQ(Body(*c.record), c.body.b) << c.record->GetType();
    // FSL1 and FSL2 differ only in the type code.
    FixHeader(*cases[3].record);
    FixHeader(*cases[4].record);
    Bytes fsl1 = Written(*cases[3].record);
    const Bytes fsl2 = Written(*cases[4].record);
    EXPECT_EQ(fsl1[0], 59);
    EXPECT_EQ(fsl2[0], 60);
    fsl1[0] = 60;
    EXPECT_EQ(fsl1, fsl2);
}

TEST(TimingRecords, InitTimesValue) {
    const db_InitTimes a(true, 1.0, MATHS_Null, 3.0);
    WriteBuffer out(ENDIAN_Little);
    a.Write(out);
    EXPECT_EQ(Bytes(out.Data(), out.Data() + out.Length()), Builder().U8(1).F64(1.0).F64(Null).F64(3.0).b);
    db_InitTimes back;
    ReadBuffer in(out.Length(), ENDIAN_Little, out.Data());
    int offset = 0;
    back.Read(in, offset);
    EXPECT_EQ(offset, 25);
    EXPECT_TRUE(back.IsEqual(a));
    back.TimeFor6SVs = 3.0000001;
    EXPECT_FALSE(back.IsEqual(a));
    EXPECT_TRUE(db_InitTimes().IsEqual(db_InitTimes(false, 0.0, 0.0, 0.0)));
}

TEST(SettingsRecords, BodySizesAndLayouts) {
    db_GPSReading gps;
    EXPECT_EQ(Body(gps).size(), 38u);
    EXPECT_EQ(Body(gps), Builder().U16(3).F64(5.0).F64(0.015).F64(0.02).U8(0).Text("").I16(1).I16(1).I16(2).I16(1).U8(1).U8(1).b);
    gps.AutoPointName = "ABCDEFGHIJ";
    EXPECT_EQ(Body(gps).size(), 48u);

    db_Tolerance tolerance;
    EXPECT_EQ(Body(tolerance).size(), 73u);
    EXPECT_EQ(Body(tolerance), Builder()
                                   .F64(0.0).F64(0.0).F64(4.84813681109536e-05).F64(9.69627362219072e-05)
                                   .F64(4.84813681109536e-05).F64(9.69627362219072e-05).F64(0.02).U8(0)
                                   .F64(0.01).F64(0.015).b);

    db_FastStatic fastStatic;
    EXPECT_EQ(Body(fastStatic).size(), 51u);
    EXPECT_EQ(Body(fastStatic), Builder()
                                    .U8(0).U8(0).F64(1800.0).F64(1500.0).F64(1200.0)
                                    .U8(1).F64(1200.0).F64(900.0).F64(480.0).b);

    EXPECT_EQ(Body(db_CoordViewType()), Builder().I16(4).Text("").b);
    EXPECT_EQ(Body(db_Tracking()), Builder().I16(7).I16(7).b);
    EXPECT_EQ(Body(db_TSReading()), Builder().U8(1).I16(1).I16(14).b);
}

TEST(SettingsRecords, SignedAndUnsignedSixteenBitFields) {
    db_GPSReading gps;
    gps.Measurements = 0xFFFF;
    gps.AutoPointIncr = -1;
    gps.DisplayPointType = -5;
    db_GPSReading back;
    ASSERT_TRUE(ReadWhole(back, Written(gps)));
    EXPECT_EQ(back.Measurements, 0xFFFF);
    EXPECT_EQ(back.AutoPointIncr, -1);
    EXPECT_EQ(back.DisplayPointType, -5);
    EXPECT_TRUE(back.IsEqual(gps));
}

TEST(SettingsRecords, OnlyUnitsIsAPersistedSetting) {
    for (int type : {47, 48, 49, 52, 53, 56, 57, 58, 59, 60, 61, 68, 80}) {
        std::unique_ptr<dbRecord_Class> r(dbRecord_GetTypeInfo(type).create());
        ASSERT_NE(r, nullptr) << type;
        EXPECT_EQ(r->IsPersisted(), type == 47) << type;
        EXPECT_EQ(r->IsDefaultRequired(), type == 47) << type;
        EXPECT_FALSE(r->InvalidatesPositions()) << type;
    }
}

}  // namespace

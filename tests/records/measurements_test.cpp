#include <gtest/gtest.h>

#include <memory>

#include "records/dbRecordFactory.h"
#include "records/editactions.h"
#include "records/measurements.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using recbytes::Builder;
using recbytes::ReadWhole;
using recbytes::Written;

template <class R>
R Stamped() {
    R r;
    r.SetRecordId(0x0A);
    r.SetTimeStamp(3.0);
    return r;
}

// Writes the record, compares with the expected bytes, reads them into a fresh record
// and checks that it writes the same bytes and compares equal.
template <class R>
void ExpectLayout(const R& record, const Builder& expected) {
    EXPECT_EQ(Written(record), expected.b);
    R back;
    ASSERT_TRUE(ReadWhole(back, expected.b));
    EXPECT_EQ(Written(back), expected.b);
    EXPECT_TRUE(back.IsEqual(record));
}

TEST(MeasurementRecords, CoordinateKinds) {
    const int kinds[][2] = {{8, 8},  {9, 6},   {10, 7},  {11, 1},  {12, 2},  {13, 4},
                            {14, 19}, {15, 9}, {16, 16}, {17, 13}, {18, 0},  {19, 18}};
    for (const auto& k : kinds) {
        std::unique_ptr<dbRecord_Class> record(dbRecord_Create(k[0]));
        const db_Measurement* m = db_Measurement::Cast(record.get());
        ASSERT_NE(m, nullptr) << k[0];
        EXPECT_EQ(m->GetCoordType(), k[1]) << k[0];
        EXPECT_TRUE(m->IsMeasurement());
        EXPECT_FALSE(m->IsPersisted() || m->IsDefaultRequired() || m->InvalidatesPositions() ||
                     m->IsDeleted());
        EXPECT_STREQ(m->GetName().Data(), "");
    }
}

TEST(MeasurementRecords, EarthCentredLayouts) {
    auto d = Stamped<db_ECEFDeltas>();
    d.ECEFDeltas = coord_ECEFDeltas(1, 2, 3);
    d.Reference = 0x11;
    d.Antenna = 0x22;
    ExpectLayout(d, Builder().Header(8, 0x0A, 3.0).F64(1).F64(2).F64(3).U32(0x11).U32(0x22));

    auto e = Stamped<db_ECEF>();
    e.ECEF = coord_ECEF(4, 5, 6);
    e.Antenna = 0x33;
    ExpectLayout(e, Builder().Header(9, 0x0A, 3.0).F64(4).F64(5).F64(6).U32(0x33));

    auto g = Stamped<db_ECEFGround>();
    g.ECEFGround = coord_ECEFGround(7, 8, 9);
    ExpectLayout(g, Builder().Header(10, 0x0A, 3.0).F64(7).F64(8).F64(9));
}

TEST(MeasurementRecords, GeodeticAndGridLayouts) {
    // Defaults are zeros, not nulls.
    auto w = Stamped<db_WGS84>();
    ExpectLayout(w, Builder().Header(11, 0x0A, 3.0).F64(0).F64(0).F64(0));
    w.WGS84 = coord_WGS84(0.5, -1.5, 100);
    ExpectLayout(w, Builder().Header(11, 0x0A, 3.0).F64(0.5).F64(-1.5).F64(100));

    auto l = Stamped<db_Local>();
    l.Local = coord_Local(0.25, 0.75, 1e308);
    ExpectLayout(l, Builder().Header(12, 0x0A, 3.0).F64(0.25).F64(0.75).F64(1e308));

    // North, east, elevation on disk whatever the order in memory.
    auto grid = Stamped<db_Grid>();
    grid.Grid = coord_CorrectedGrid(1, 2, 3);
    ExpectLayout(grid, Builder().Header(13, 0x0A, 3.0).F64(1).F64(2).F64(3));

    auto ltg = Stamped<db_LocalTransformedGrid>();
    ltg.LocalTransformedGrid = coord_LocalTransformedGrid(4, 5, 6);
    ltg.ReferenceTransformation = "Site";
    ExpectLayout(ltg, Builder().Header(14, 0x0A, 3.0).F64(4).F64(5).F64(6).Text("Site"));
}

TEST(MeasurementRecords, CogoLayouts) {
    auto p = Stamped<db_Polar>();
    p.SourcePoint = "S";
    p.Polar = coord_Polar(1, 2, 3);
    p.CreatedView = BitMask(0x12345);  // only the low 16 bits are stored
    EXPECT_EQ(Written(p),
              Builder().Header(15, 0x0A, 3.0).Text("S").F64(1).F64(2).F64(3).U16(0x2345).b);
    db_Polar back;
    ASSERT_TRUE(ReadWhole(back, Written(p)));
    EXPECT_EQ(back.CreatedView.Value(), 0x2345);
    EXPECT_FALSE(back.IsEqual(p));
    p.CreatedView = BitMask(0xFFFF);
    ExpectLayout(p, Builder().Header(15, 0x0A, 3.0).Text("S").F64(1).F64(2).F64(3).U16(0xFFFF));

    auto a = Stamped<db_Azimuth>();
    a.SourcePoint = "B";
    a.Azimuth = 1.25;
    a.CreatedView = BitMask(3);
    ExpectLayout(a, Builder().Header(18, 0x0A, 3.0).Text("B").F64(1.25).U16(3));

    auto lo = Stamped<db_LaserOffset>();
    lo.BasePoint = 1;
    lo.LaserOffset = coord_LaserOffset(0.5, 0.25, 30);
    lo.LaserHeight = 2;
    lo.TargetHeight = 3;
    lo.MagneticDeclination = 4;
    lo.CreatedView = BitMask(1);
    ExpectLayout(lo, Builder()
                         .Header(16, 0x0A, 3.0)
                         .U32(1)
                         .F64(0.5)
                         .F64(0.25)
                         .F64(30)
                         .U32(2)
                         .U32(3)
                         .U32(4)
                         .U16(1));
}

TEST(MeasurementRecords, CircleLayoutAndDefaults) {
    auto c = Stamped<db_Circle>();
    ExpectLayout(c, Builder()
                        .Header(17, 0x0A, 3.0)
                        .F64(0)
                        .F64(0)
                        .F64(0)
                        .U16(0)
                        .F64(1e308)
                        .F64(1e308)
                        .F64(1e308)
                        .U16(7)
                        .U32(0)
                        .U32(0)
                        .U32(0)
                        .U16(0));
    c.Circle.HorzCircle = 1;
    c.Circle.VertCircle = 2;
    c.Circle.EDMDistance = 3;
    c.Circle.Face = COORD_Face2;
    c.Circle.HorzCircleStdErr = 4;
    c.Circle.VertCircleStdErr = 5;
    c.Circle.EDMDistanceStdErr = 6;
    c.Circle.EDMMeasurementMode = -1;
    c.Circle.Flag = true;  // never stored
    c.Station = 7;
    c.Target = 8;
    c.BackBearing = 9;
    c.CreatedView = BitMask(10);
    Builder expected;
    expected.Header(17, 0x0A, 3.0).F64(1).F64(2).F64(3).U16(2).F64(4).F64(5).F64(6).U16(0xFFFF);
    expected.U32(7).U32(8).U32(9).U16(10);
    ExpectLayout(c, expected);
    EXPECT_EQ(expected.b.size(), 15u + 52 + 14);

    // The flag takes no part in equality; the notes neither.
    db_Circle d = c;
    d.Circle.Flag = false;
    d.SetNotes("other");
    EXPECT_TRUE(d.IsEqual(c));
    d.Circle.EDMMeasurementMode = 7;
    EXPECT_FALSE(d.IsEqual(c));
}

TEST(MeasurementRecords, MeanTurnedAngleKeepsItsNulls) {
    auto m = Stamped<db_MeanTurnedAngle>();
    Builder expected;
    expected.Header(19, 0x0A, 3.0);
    for (int i = 0; i < 6; ++i) expected.F64(1e308);
    expected.I32(0).I32(0).I32(0).U32(0).U32(0).U32(0).U16(0);
    ExpectLayout(m, expected);

    m.MTA.HorzCircle = 1;
    m.MTA.EDMDistanceStdErr = 6;
    m.MTA.NumberOfHAngles = 4;
    m.MTA.NumberOfDistances = -2;
    m.Station = 1;
    m.Target = 2;
    m.BackBearing = 3;
    m.CreatedView = BitMask(5);
    Builder set;
    set.Header(19, 0x0A, 3.0).F64(1).F64(1e308).F64(1e308).F64(1e308).F64(1e308).F64(6);
    set.I32(4).I32(0).I32(-2).U32(1).U32(2).U32(3).U16(5);
    ExpectLayout(m, set);
}

TEST(MeasurementRecords, RecordIdActions) {
    db_ECEFDeltas d;
    db_ECEF e;
    db_Circle c;
    db_MeanTurnedAngle m;
    const db_DBID action(DBID(42));
    d.ApplyDBIDAction(action);
    e.ApplyDBIDAction(action);
    c.ApplyDBIDAction(action);
    m.ApplyDBIDAction(action);
    EXPECT_EQ(d.Antenna, 42);
    EXPECT_EQ(d.Reference, 0);
    EXPECT_EQ(e.Antenna, 42);
    EXPECT_EQ(c.Target, 42);
    EXPECT_EQ(c.Station, 0);
    EXPECT_EQ(m.Target, 42);

    RecordingEnvironment env;
    db_Polar p;
    const auto before = Written(p);
    p.ApplyDBIDAction(action);
    p.ApplyBoolAction(db_BoolAction(0));
    p.ApplyStrAction(db_Str("x", 0));
    EXPECT_EQ(Written(p), before);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0", "0", "0"}));
}

TEST(MeasurementRecords, EqualityAcrossTypesReports) {
    RecordingEnvironment env;
    db_WGS84 w;
    db_Local l;
    EXPECT_FALSE(w.IsEqual(l));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType() == record.GetType ()"});
}

TEST(MeasurementRecords, ShortRecordIsDamaged) {
    db_Circle c;
    auto bytes = Written(c);
    bytes.resize(bytes.size() - 3);
    db_Circle back;
    ReadBuffer in(static_cast<int>(bytes.size()), ENDIAN_Little, bytes.data());
    int offset = 0;
    RecordingEnvironment env;
    EXPECT_FALSE(back.ReadChecked(in, offset));
}

}  // namespace

#include <gtest/gtest.h>

#include <memory>

#include "records/coordsysdefs.h"
#include "records/precisioncoding.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

TEST(CoordSysRecords, DefaultProjectionLayout) {
    db_Projection p;
    FixHeader(p);
    Builder e;
    e.Header(34, 7, 1000.5).U16(0x494B).I16(1);
    for (int i = 0; i < 6; ++i) e.F64(Null);  // local and grid origin
    e.F64(1.0).I16(0).F64(Null).F64(Null).I16(0).I16(0).U8(0).I16(0);
    e.Text("").Text("").Text("").Text("");
    e.I16(0).F64(1.0).F64(Null).F64(Null).F64(Null).F64(0).F64(0).F64(0).F64(0);
    EXPECT_EQ(Written(p), e.b);
}

TEST(CoordSysRecords, GridOriginWrittenNorthFirst) {
    db_Projection p;
    FixHeader(p);
    p.Projection.OriginGrid = coord_CorrectedGrid(1.0, 2.0, 3.0);  // N, E, Elev
    const Bytes bytes = Written(p);
    Builder head;
    head.Header(34, 7, 1000.5).U16(0x494B).I16(1).F64(Null).F64(Null).F64(Null).F64(1.0).F64(2.0).F64(3.0);
    ASSERT_GT(bytes.size(), head.b.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + head.b.size()), head.b);
}

TEST(CoordSysRecords, DefaultLayoutsOfTheOtherFive) {
    struct Case {
        std::unique_ptr<dbRecord_Class> record;
        Builder body;
    };
    Case cases[5];
    cases[0].record = std::make_unique<db_Ellipsoid>();
    cases[0].body.U16(0x494B).F64(Null).F64(Null);
    cases[1].record = std::make_unique<db_Datum>();
    cases[1].body.U16(0x494B).I16(0).F64(0).F64(0).F64(0).F64(0).F64(0).F64(0).F64(1.0).Text("");
    cases[2].record = std::make_unique<db_Plane>();
    cases[2].body.U16(0x494B).I16(0);
    for (int i = 0; i < 6; ++i) cases[2].body.F64(Null);
    cases[3].record = std::make_unique<db_Height>();
    cases[3].body.U16(0x494B).I16(0);
    for (int i = 0; i < 5; ++i) cases[3].body.F64(Null);
    cases[3].body.Text("");
    cases[4].record = std::make_unique<db_Corrections>();
    cases[4].body.U32(1023).U8(0).I16(0).F64(0.0).I16(2).I16(0).U8(0).I16(0).I16(0).U8(1).U8(0);
    for (Case& c : cases) {
        FixHeader(*c.record);
        Builder expected;
        expected.Header(c.record->GetType(), 7, 1000.5);
        expected.b.insert(expected.b.end(), c.body.b.begin(), c.body.b.end());
        EXPECT_EQ(Written(*c.record), expected.b) << c.record->GetType();
    }
}

TEST(CoordSysRecords, SettingsQueries) {
    db_Ellipsoid ellipsoid;
    db_Plane plane;
    db_Corrections corrections;
    for (const dbRecord_Class* r : {static_cast<const dbRecord_Class*>(&ellipsoid),
                                    static_cast<const dbRecord_Class*>(&plane),
                                    static_cast<const dbRecord_Class*>(&corrections)}) {
        EXPECT_TRUE(r->IsPersisted());
        EXPECT_TRUE(r->IsDefaultRequired());
        EXPECT_EQ(r->GetName(), "");
    }
    EXPECT_TRUE(ellipsoid.InvalidatesPositions());
    EXPECT_FALSE(plane.InvalidatesPositions());
    EXPECT_TRUE(corrections.InvalidatesPositions());
}

TEST(CoordSysRecords, DatumRoundTrip) {
    db_Datum d;
    FixHeader(d);
    d.Datum.DatumType = COORDSYS_SevenParameter;
    d.Datum.RotationZ = 1e-6;
    d.Datum.TranslationX = -87.5;
    d.Datum.GridName = "grid.dgf";
    db_Datum back;
    int end = 0;
    const Bytes bytes = Written(d);
    ASSERT_TRUE(ReadInto(back, bytes, &end));
    EXPECT_EQ(end, static_cast<int>(bytes.size()));
    EXPECT_TRUE(back.IsEqual(d));
    EXPECT_EQ(Written(back), bytes);

    db_Datum plain, plainBack;
    ASSERT_TRUE(ReadInto(plainBack, Written(plain)));
    EXPECT_EQ(plainBack.Datum.GridName, "");
    EXPECT_EQ(plainBack.Datum.Scale, 1.0);
}

TEST(CoordSysRecords, EnumsSignExtendAndFlagsReadAsOne) {
    db_Corrections c;
    FixHeader(c);
    Builder bytes;
    bytes.Header(37, 7, 1000.5).U32(0xFFFF).U8(5).I16(-1).F64(0.25).I16(0x8001).I16(0).U8(9).I16(0).I16(0).U8(0).U8(2);
    db_Corrections back;
    ASSERT_TRUE(ReadInto(back, bytes.b));
    EXPECT_EQ(back.Corrections.ValuesPresent, 0xFFFF);
    EXPECT_TRUE(back.Corrections.SouthAzimuth);
    EXPECT_EQ(back.Corrections.GridOrientation, -1);
    EXPECT_EQ(back.Corrections.Distances, -32767);
    EXPECT_TRUE(back.Corrections.NeighbourhoodAdjustment);
    EXPECT_FALSE(back.Corrections.ApplySeaLevelCorrectionOnStandardProjection);
    EXPECT_TRUE(back.Corrections.ApplySeaLevelCorrectionOnScaleOnlyProjection);
    // Written back, a flag is one byte 0 or 1.
    const Bytes again = Written(back);
    EXPECT_EQ(again[bytes.b.size() - 1], 1);
}

TEST(CoordSysRecords, ProjectionEqualityIgnoresTheGroundDeltas) {
    db_Projection a, b;
    b.Projection.GroundScale.EastingDelta = 12.0;
    b.Projection.GroundScale.NorthingDelta = -3.0;
    EXPECT_TRUE(a.IsEqual(b));
    b.Projection.GroundScale.EastingOffset = 0.001;
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(CoordSysRecords, EllipsoidEqualityTakesTheDerivation) {
    db_Ellipsoid a, b;
    EXPECT_TRUE(a.IsEqual(b));  // two null ellipsoids, same code
    a.Ellipsoid = coordsys_WGS84Ellipsoid;
    b.Ellipsoid = coordsys_WGS84Ellipsoid;
    b.Derivation = 0x2020;
    EXPECT_FALSE(a.IsEqual(b));
    b.Derivation = a.Derivation;
    EXPECT_TRUE(a.IsEqual(b));
}

TEST(CoordSysRecords, DerivationWithAHighSecondCharacterSurvivesARoundTrip) {
    db_Height h;
    h.Derivation = 0xC041;
    db_Height back;
    ASSERT_TRUE(ReadInto(back, Written(h)));
    EXPECT_EQ(back.Derivation, 0xC041);
    EXPECT_TRUE(back.IsEqual(h));
}

TEST(CoordSysRecords, EqualityWithAnotherTypeIsReported) {
    RecordingEnvironment env;
    db_Plane plane;
    db_Height height;
    EXPECT_FALSE(plane.IsEqual(height));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType() == record.GetType ()"});
}

TEST(CoordSysRecords, ProjectionCopiedOntoItselfReportsNothing) {
    RecordingEnvironment env;
    db_Projection p;
    p.Projection.ShiftGridFile = "shift.sgf";
    db_Projection& same = p;
    p = same;
    EXPECT_TRUE(p.AssignFrom(p));
    EXPECT_EQ(p.Projection.ShiftGridFile, "shift.sgf");
    EXPECT_TRUE(env.Expressions().empty());
}

// A corrections record whose ten parts all differ from the defaults.
db_Corrections OtherCorrections() {
    db_Corrections c;
    c.Corrections.SouthAzimuth = true;
    c.Corrections.GridOrientation = COORDSYS_IncreasingSouthWest;
    c.Corrections.MagneticDeclination = 0.1;
    c.Corrections.Distances = COORDSYS_GridDistance;
    c.Corrections.SubDivideCode = COORDSYS_UseCode;
    c.Corrections.NeighbourhoodAdjustment = true;
    c.Corrections.WeightExponent = COORDSYS_WeightExponentTwoPointZero;
    c.Corrections.CrossSectionInterpolationMethod = XSInterpolate_CrossSlope;
    c.Corrections.ApplySeaLevelCorrectionOnStandardProjection = false;
    c.Corrections.ApplySeaLevelCorrectionOnScaleOnlyProjection = true;
    return c;
}

TEST(CoordSysRecords, FillUnsetFromWithEveryPartPresentGivesNull) {
    RecordingEnvironment env;
    db_Corrections mine;
    EXPECT_EQ(mine.FillUnsetFrom(OtherCorrections()), nullptr);
    mine.Corrections.ValuesPresent = 0xFFFF;  // bits above the ten play no part
    EXPECT_EQ(mine.FillUnsetFrom(OtherCorrections()), nullptr);
    EXPECT_TRUE(env.Expressions().empty());
}

TEST(CoordSysRecords, FillUnsetFromWithNoPartPresentTakesAllTen) {
    db_Corrections mine;
    mine.SetRecordId(DBID(12));
    mine.SetTimeStamp(55.0);
    mine.SetNotes("n");
    mine.Corrections.ValuesPresent = 0;
    const db_Corrections other = OtherCorrections();
    std::unique_ptr<dbRecord_Class> filled(mine.FillUnsetFrom(other));
    ASSERT_NE(filled, nullptr);
    const db_Corrections* c = db_Corrections::Cast(filled.get());
    ASSERT_NE(c, nullptr);
    db_Corrections expected = other;
    expected.Corrections.ValuesPresent = 1023;
    EXPECT_TRUE(c->IsEqual(expected));
    EXPECT_EQ(c->Corrections.ValuesPresent, 1023);
    // The header is this record's.
    EXPECT_EQ(c->GetRecordId(), DBID(12));
    EXPECT_EQ(c->GetTimeStamp(), 55.0);
    EXPECT_EQ(c->GetNotes(), "n");
}

TEST(CoordSysRecords, FillUnsetFromTakesOnlyTheMissingParts) {
    db_Corrections mine;
    mine.Corrections.ValuesPresent = 0x3FE;  // south azimuth missing
    std::unique_ptr<dbRecord_Class> filled(mine.FillUnsetFrom(OtherCorrections()));
    ASSERT_NE(filled, nullptr);
    db_Corrections expected;
    expected.Corrections.SouthAzimuth = true;
    EXPECT_TRUE(filled->IsEqual(expected));

    // A missing part whose value happens to match still sets its bit: not null.
    db_Corrections same;
    same.Corrections.ValuesPresent = 0x3FB;  // magnetic declination missing
    std::unique_ptr<dbRecord_Class> again(same.FillUnsetFrom(db_Corrections()));
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->IsEqual(db_Corrections()));
}

TEST(CoordSysRecords, FillUnsetFromAnotherTypeIsReportedAndGivesNull) {
    RecordingEnvironment env;
    db_Corrections mine;
    mine.Corrections.ValuesPresent = 0;
    db_Coding other;
    EXPECT_EQ(mine.FillUnsetFrom(other), nullptr);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"fromCorrns"});
}

TEST(CoordSysRecords, OtherDefinitionsFillNothing) {
    db_Datum d;
    EXPECT_EQ(d.FillUnsetFrom(db_Datum()), nullptr);
}

}  // namespace

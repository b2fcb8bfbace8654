#include "foundation/coords/coordsys.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "support/recording_environment.h"

namespace {

TEST(CoordsysEllipsoid, WGS84HasTheExactFlattening) {
    EXPECT_EQ(coordsys_WGS84Ellipsoid.EarthRadius, 6378137.0);
    EXPECT_EQ(std::bit_cast<uint64_t>(coordsys_WGS84Ellipsoid.Flattening), 0x3F6B775A85ED1BBEull);
    EXPECT_EQ(coordsys_WGS84Ellipsoid.InverseFlattening(), 298.2572229328696);
    EXPECT_EQ(coordsys_WGS84Ellipsoid.EccentricitySquared(), 0.006694380004260837);
    // Not the ellipsoid of the published inverse flattening.
    EXPECT_FALSE(coordsys_WGS84Ellipsoid == coordsys_Ellipsoid(6378137.0, 1 / 298.257223563));
    EXPECT_TRUE(coordsys_WGS84Ellipsoid == coordsys_Ellipsoid(6378137.0, 0.0033528106718309905));
}

TEST(CoordsysEllipsoid, DerivedQuantities) {
    const coordsys_Ellipsoid e(6378137.0, 0.0033528106718309905);
    const double e2 = 2 * e.Flattening - e.Flattening * e.Flattening;
    EXPECT_EQ(e.OneMinusE2(), 1 - e2);
    EXPECT_DOUBLE_EQ(e.SecondE2(), e2 / (1 - e2));
    EXPECT_DOUBLE_EQ(e.OnePlusSecondE2(), 1 + e2 / (1 - e2));
    EXPECT_DOUBLE_EQ(e.HalfSecondE2(), e2 / (1 - e2) / 2);
    EXPECT_DOUBLE_EQ(e.SecondEccentricity(), std::sqrt(e2 / (1 - e2)));

    // A null flattening makes every derived quantity null.
    coordsys_Ellipsoid n(6378137.0, 1.0);
    n.SetNull();
    EXPECT_TRUE(maths_IsNull(n.EarthRadius));
    for (double v : {n.EccentricitySquared(), n.OneMinusE2(), n.SecondE2(), n.OnePlusSecondE2(), n.HalfSecondE2(),
                     n.SecondEccentricity(), n.InverseFlattening()})
        EXPECT_TRUE(maths_IsNull(v));
    EXPECT_TRUE(n == coordsys_Ellipsoid());
    EXPECT_TRUE(maths_IsNull(coordsys_Ellipsoid(6378137.0, 0.0).InverseFlattening()));
    // InverseFlattening refuses only the exact null value.
    const double nearNull = std::nextafter(MATHS_Null, 0.0);
    ASSERT_TRUE(maths_IsNull(nearNull));
    EXPECT_EQ(coordsys_Ellipsoid(1.0, nearNull).InverseFlattening(), 1.0 / nearNull);
    // A sphere has no eccentricity.
    EXPECT_EQ(coordsys_Ellipsoid(6371000.0, 0.0).SecondE2(), 0.0);
}

TEST(CoordsysDefaults, EveryValueType) {
    const coordsys_Datum d;
    EXPECT_EQ(d.DatumType, COORDSYS_NoDatum);
    EXPECT_EQ(d.RotationX + d.RotationY + d.RotationZ + d.TranslationX + d.TranslationY + d.TranslationZ, 0.0);
    EXPECT_FALSE(maths_IsNull(d.RotationX));
    EXPECT_EQ(d.Scale, 1.0);
    EXPECT_TRUE(d.GridName.IsEmpty());

    const coordsys_Projection p;
    EXPECT_EQ(p.ProjectionType, 0);
    EXPECT_TRUE(p.OriginLocal.IsNull());
    EXPECT_TRUE(p.OriginGrid.IsNull());
    EXPECT_TRUE(maths_IsNull(p.Scale));
    EXPECT_TRUE(maths_IsNull(p.Orientation1));
    EXPECT_TRUE(maths_IsNull(p.Orientation2));
    EXPECT_EQ(p.GridElevation + p.AzimuthFormat + p.OriginCenter, 0);
    EXPECT_FALSE(p.Rectify);
    EXPECT_EQ(p.Area, COORDSYS_AreaJutland);
    EXPECT_TRUE(p.UKNorthGridFile.IsEmpty() && p.UKEastGridFile.IsEmpty() && p.ProjectionGridFile.IsEmpty() &&
                p.ShiftGridFile.IsEmpty());
    EXPECT_EQ(p.GroundScale.Type, COORDSYS_GridScaleFactor);
    EXPECT_EQ(p.GroundScale.Factor, 1.0);
    EXPECT_TRUE(p.GroundScale.ProjectLocation.IsNull());
    EXPECT_EQ(p.GroundScale.NorthingOffset + p.GroundScale.EastingOffset + p.GroundScale.NorthingDelta +
                  p.GroundScale.EastingDelta,
              0.0);

    const coordsys_Plane pl;
    EXPECT_EQ(pl.PlaneType, 0);
    for (double v : {pl.OriginNorth, pl.OriginEast, pl.TranslationNorth, pl.TranslationEast, pl.Rotation,
                     pl.ScaleFactor})
        EXPECT_TRUE(maths_IsNull(v));

    const coordsys_Height h;
    EXPECT_EQ(h.HeightType, 0);
    for (double v : {h.OriginNorth, h.OriginEast, h.NorthAdjustment, h.EastAdjustment, h.ElevAdjustment})
        EXPECT_TRUE(maths_IsNull(v));
    EXPECT_TRUE(h.GeoidFilename.IsEmpty());

    const coordsys_Corrections c;
    EXPECT_EQ(c.ValuesPresent, 1023);
    EXPECT_FALSE(c.SouthAzimuth);
    EXPECT_EQ(c.GridOrientation, 0);
    EXPECT_TRUE(maths_IsNull(c.MagneticDeclination));
    EXPECT_EQ(c.Distances, COORDSYS_GroundDistance);
    EXPECT_EQ(c.SubDivideCode + c.WeightExponent + c.CrossSectionInterpolationMethod, 0);
    EXPECT_FALSE(c.NeighbourhoodAdjustment);
    EXPECT_TRUE(c.ApplySeaLevelCorrectionOnStandardProjection);
    EXPECT_FALSE(c.ApplySeaLevelCorrectionOnScaleOnlyProjection);
    EXPECT_FALSE(c.SeaLevelFlag(COORDSYS_ScaleOnly));
    EXPECT_TRUE(c.SeaLevelFlag(COORDSYS_TransverseMercator));
    EXPECT_TRUE(c.SeaLevelFlag(COORDSYS_NoProjection));
}

TEST(CoordsysProjection, AssignmentCopiesEveryMemberAndReportsSelfAssignment) {
    coordsys_Projection p;
    p.ProjectionType = COORDSYS_Krovak;
    p.OriginLocal = coord_Local(0.1, 0.2, 3);
    p.OriginGrid = coord_CorrectedGrid(10, 20, 30);
    p.Scale = 0.9996;
    p.GridElevation = 1;
    p.Orientation1 = 0.5;
    p.Orientation2 = 0.25;
    p.AzimuthFormat = 1;
    p.OriginCenter = 1;
    p.Rectify = true;
    p.Area = COORDSYS_AreaBornholm;
    p.UKNorthGridFile = "n.pgf";
    p.UKEastGridFile = "e.pgf";
    p.ProjectionGridFile = "p.pgf";
    p.ShiftGridFile = "s.ggf";
    p.GroundScale.Type = 2;
    p.GroundScale.Factor = 1.0001;
    p.GroundScale.ProjectLocation = coord_Local(0.3, 0.4, 500);
    p.GroundScale.EastingDelta = 7;

    RecordingEnvironment env;
    coordsys_Projection q;
    q = p;
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(q.ProjectionType, COORDSYS_Krovak);
    EXPECT_EQ(q.OriginLocal.Height, 3);
    EXPECT_EQ(q.OriginGrid, p.OriginGrid);
    EXPECT_EQ(q.Scale, 0.9996);
    EXPECT_EQ(q.GridElevation + q.AzimuthFormat + q.OriginCenter, 3);
    EXPECT_EQ(q.Orientation1 + q.Orientation2, 0.75);
    EXPECT_TRUE(q.Rectify);
    EXPECT_EQ(q.Area, COORDSYS_AreaBornholm);
    EXPECT_TRUE(q.UKNorthGridFile == "n.pgf" && q.UKEastGridFile == "e.pgf" && q.ProjectionGridFile == "p.pgf" &&
                q.ShiftGridFile == "s.ggf");
    EXPECT_EQ(q.GroundScale.Type, 2);
    EXPECT_EQ(q.GroundScale.Factor, 1.0001);
    EXPECT_EQ(q.GroundScale.ProjectLocation.Lat, 0.3);
    EXPECT_EQ(q.GroundScale.EastingDelta, 7);
    p.ShiftGridFile = "other";
    EXPECT_TRUE(q.ShiftGridFile == "s.ggf");  // deep

    coordsys_Projection& alias = q;
    q = alias;
    ASSERT_EQ(env.assertions.size(), 1u);
    EXPECT_EQ(env.assertions[0].expression, "&proj != this");
    EXPECT_EQ(env.assertions[0].module, "Library/coordsys");
    EXPECT_TRUE(q.ProjectionGridFile == "p.pgf");
}

TEST(CoordsysCorrections, AzimuthOffset) {
    struct Case {
        bool south;
        int orientation;
        double offset;
    };
    const Case cases[] = {{true, 0, CONSTANT_Pi}, {false, 0, 0.0}, {false, 3, CONSTANT_Pi}, {false, 1, CONSTANT_Pi},
                          {true, 2, CONSTANT_Pi}, {true, 1, 0.0},  {true, 3, 0.0},         {false, 2, 0.0}};
    for (const Case& c : cases) {
        coordsys_Corrections k;
        k.SouthAzimuth = c.south;
        k.GridOrientation = c.orientation;
        EXPECT_EQ(k.AzimuthOffset(), c.offset) << c.south << " " << c.orientation;
        EXPECT_EQ(k.IsNorthAzimuth(), !c.south);
        EXPECT_EQ(k.IsNorthIncreasing(), c.orientation == 0 || c.orientation == 2);
        EXPECT_EQ(k.IsSouthIncreasing(), c.orientation == 1 || c.orientation == 3);
    }
    coordsys_Corrections k;
    k.SouthAzimuth = true;
    EXPECT_DOUBLE_EQ(k.ApplyAzimuthOffset(CONSTANT_Pi * 1.5), CONSTANT_PiOverTwo);
    EXPECT_DOUBLE_EQ(k.ApplyAzimuthOffset(0.25), 0.25 + CONSTANT_Pi);
    EXPECT_TRUE(maths_IsNull(k.ApplyAzimuthOffset(MATHS_Null)));
    k.SouthAzimuth = false;
    EXPECT_EQ(k.ApplyAzimuthOffset(-0.5), CONSTANT_TwoPi - 0.5);
}

TEST(CoordsysCorrections, WeightExponents) {
    const double values[] = {0.5, 1.0, 1.5, 2.0};
    RecordingEnvironment env;
    for (int code = 0; code < 4; ++code) {
        EXPECT_EQ(coordsys_WeightExponentValue(code), values[code]);
        EXPECT_EQ(coordsys_WeightExponentCode(values[code]), code);
    }
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(coordsys_WeightExponentValue(7), 0.5);
    EXPECT_EQ(coordsys_WeightExponentValue(-1), 0.5);
    EXPECT_EQ(coordsys_WeightExponentCode(1.25), 0);
    EXPECT_EQ(coordsys_WeightExponentCode(MATHS_Null), 0);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>(4, "false"));
    EXPECT_EQ(env.assertions[0].module, "Library/coordsys");
}

TEST(CoordsysMasks, BitMaskAndComponents) {
    BitMask m(0x3);
    EXPECT_EQ(m.Clear(0x1), 0x2);
    EXPECT_EQ(m.Value(), 0x2);
    EXPECT_FALSE(m.IsNull());
    EXPECT_TRUE(m.IsNotNull());
    m.Set(COORDSYS_CogoAzimuthGrid | COORDSYS_CogoOrthoHeights);
    EXPECT_EQ(m.Value(), 0x806);
    m.Clear(0x806);
    EXPECT_TRUE(m.IsNull());
    EXPECT_TRUE(BitMask().IsNull());
    const coordsys_CogoSettings road = 0x8A4;
    EXPECT_EQ(road.Value(), COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid | COORDSYS_CogoEllipsoidDistances |
                                COORDSYS_CogoOrthoHeights);
    EXPECT_TRUE(road == BitMask(0x8A4));

    EXPECT_TRUE(coordsys_IsComplete(7));
    EXPECT_TRUE(coordsys_IsComplete(0x3F));
    EXPECT_FALSE(coordsys_IsComplete(5));
    EXPECT_FALSE(coordsys_IsComplete(COORDSYS_SetHorzAdjustment));
}

}  // namespace

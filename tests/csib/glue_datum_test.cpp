// The glue's datum builders and its estimation entry. Reference numbers: PROJ 9 cct
// pipelines of cart, helmert (+exact +convention=coordinate_frame; +inv for the
// local-to-WGS84 direction of a job datum), cart +inv and tmerc.
#include <cmath>

#include <gtest/gtest.h>

#include "csib/datum.h"
#include "csib/geodesy.h"
#include "csib/glue.h"
#include "csib/pipeline.h"
#include "csib_fixtures.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kArcSecond = kDeg / 3600.0;

// A job datum, WGS84 to Bessel: -598.1, -73.7, -418.2 m; -0.202", -0.045", 2.455";
// -6.7 ppm.
coordsys_Datum JobDatum() {
    coordsys_Datum d;
    d.DatumType = COORDSYS_SevenParameter;
    d.TranslationX = -598.1;
    d.TranslationY = -73.7;
    d.TranslationZ = -418.2;
    d.RotationX = -0.202 * kArcSecond;
    d.RotationY = -0.045 * kArcSecond;
    d.RotationZ = 2.455 * kArcSecond;
    d.Scale = 1.0 - 6.7e-6;
    return d;
}

struct Build {
    csibtest::BlockHolder held;
    coordsys_Ellipsoid ellipsoid{6377397.155, 1.0 / 299.1528128};
    coordsys_Projection projection;
    bool Run(const coordsys_Datum& datum, int32_t components) {
        int32_t error = -1;
        const bool built = csibglue_BuildCsib(&held.block, components, ellipsoid, projection, datum, coordsys_Plane(),
                                              coordsys_Height(), coordsys_Corrections(), 0, &error);
        EXPECT_EQ(COORDSYS_NoError, error);
        return built;
    }
};

TEST(GlueDatum, SevenParametersOfAJobDatumAreHeldInverted) {
    struct Case {
        double lat, lon, h;  // Bessel
        double wgs84[3];
    };
    const Case cases[] = {
        {47.0, 8.0, 500.0, {46.999201796035, 8.000608139163, 555.110437707976}},
        {46.2, 6.1, 372.5, {46.199294549073, 6.100867114241, 428.791767268442}},
        {52.5, 13.4, 40.0, {52.498593577591, 13.399771043908, 80.967305275612}},
    };
    Build b;
    ASSERT_TRUE(b.Run(JobDatum(), CSIBGLUE_Ellipsoid | CSIBGLUE_Datum));
    csib_Block* block = b.held.block;
    ASSERT_EQ(3, block->datumKind);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        const csib_GeodeticPoint local{c.lat * kDeg, c.lon * kDeg, c.h, 0.0, 1, 0};
        csib_GeodeticPoint wgs84{}, back{};
        ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &local, &wgs84));
        EXPECT_NEAR(c.wgs84[0], wgs84.latitude / kDeg, 1e-9);
        EXPECT_NEAR(c.wgs84[1], wgs84.longitude / kDeg, 1e-9);
        EXPECT_NEAR(c.wgs84[2], wgs84.ellipsoidHeight, 1e-4);
        ASSERT_EQ(CSIB_Ok, block->datum.FromWGS84(block, &wgs84, &back));
        EXPECT_NEAR(local.latitude, back.latitude, 1e-11);
        EXPECT_NEAR(local.longitude, back.longitude, 1e-11);
        EXPECT_NEAR(local.ellipsoidHeight, back.ellipsoidHeight, 1e-4);
    }
}

TEST(GlueDatum, InvertingTwiceGivesTheParametersBack) {
    const coordsys_Datum d = JobDatum();
    double p[7] = {d.TranslationX, d.TranslationY, d.TranslationZ, d.RotationX, d.RotationY, d.RotationZ, d.Scale};
    const double original[7] = {p[0], p[1], p[2], p[3], p[4], p[5], p[6]};
    ASSERT_EQ(CSIB_Ok, csibglue_InvertRotation(p));
    EXPECT_NEAR(1.0 / original[6], p[6], 1e-15);
    ASSERT_EQ(CSIB_Ok, csibglue_InvertRotation(p));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(original[k], p[k], 1e-9);
    for (int k = 3; k < 7; ++k) EXPECT_NEAR(original[k], p[k], 1e-15);
}

TEST(GlueDatum, ThreeParametersAreNegated) {
    coordsys_Datum d;
    d.DatumType = COORDSYS_ThreeParameter;
    d.TranslationX = 100.0;
    d.TranslationY = 200.0;
    d.TranslationZ = 300.0;
    Build b;
    ASSERT_TRUE(b.Run(d, CSIBGLUE_Ellipsoid | CSIBGLUE_Datum));
    ASSERT_EQ(1, b.held.block->datumKind);
    const auto* record = static_cast<const csib_MolodenskyParameters*>(b.held.block->datumParameters);
    EXPECT_EQ(-100.0, record->dX);
    EXPECT_EQ(-200.0, record->dY);
    EXPECT_EQ(-300.0, record->dZ);
    EXPECT_NEAR(6378137.0 - 6377397.155, record->da, 1e-9);
    EXPECT_NEAR(0.003352810664747 - 1.0 / 299.1528128, record->df, 1e-15);
}

TEST(GlueDatum, WGS84PointsReachTheGridOfABesselTransverseMercator) {
    struct Case {
        double lat, lon, h;  // WGS84
        double north, east;  // with the false easting
    };
    const Case cases[] = {
        {47.0, 8.0, 500.0, 5205208.907157, 423938.813572},
        {46.2, 6.1, 372.5, 5119918.339239, 276223.708283},
        {52.5, 13.4, 40.0, 5825313.379565, 798578.984231},
    };
    Build b;
    b.projection.ProjectionType = COORDSYS_TransverseMercator;
    b.projection.OriginLocal = coord_Local(0.0, 9.0 * kDeg, 0.0);
    b.projection.OriginGrid = coord_CorrectedGrid(0.0, 500000.0, 0.0);
    b.projection.Scale = 0.9996;
    ASSERT_TRUE(b.Run(JobDatum(), CSIBGLUE_Ellipsoid | CSIBGLUE_Datum | CSIBGLUE_Projection));
    csib_Block* block = b.held.block;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        csib_GeodeticPoint wgs84{c.lat * kDeg, c.lon * kDeg, c.h, 0.0, 1, 0}, local{};
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, csib_WGS84ToLocal(block, &wgs84, &local));
        ASSERT_EQ(CSIB_Ok, csib_GeodeticToGrid(block, &local, &grid));
        EXPECT_NEAR(c.north, grid.north + block->falseNorthing, 1e-3);
        EXPECT_NEAR(c.east, grid.east + block->falseEasting, 1e-3);
    }
}

TEST(GlueDatum, EstimationTakesPointsAndParametersInTheJobArrangement) {
    // Target = T + s R source in earth-centred axes; the values are given as
    // (y, x, z) and the parameters as rotations, translations, scale.
    const double rotation[3] = {1.5 * kArcSecond, -0.8 * kArcSecond, 2.2 * kArcSecond};
    const double translation[3] = {-120.5, 35.25, 88.0};
    const double scale = 1.0 + 3.5e-6;
    csib_HelmertParameters truth{};
    const double values[7] = {translation[0], translation[1], translation[2], rotation[0], rotation[1], rotation[2],
                              scale};
    for (int k = 0; k < 7; ++k) truth.values[k] = values[k];
    csib_HelmertRotation(&truth);
    double source[6][3], target[6][3], residuals[6][3];
    for (int i = 0; i < 6; ++i) {
        const csib_GeodeticPoint p{(50.0 + 0.4 * (i % 3)) * kDeg, (10.0 + 0.7 * (i / 3)) * kDeg, 100.0 * i, 0.0, 1, 0};
        double x[3], y[3];
        csib_GeodeticToECEF(6378137.0, 6356752.3142, &p, &x[0], &x[1], &x[2]);
        csib_HelmertForward(&truth, x, y);
        const double xs[3] = {x[1], x[0], x[2]}, ys[3] = {y[1], y[0], y[2]};
        for (int e = 0; e < 3; ++e) {
            source[i][e] = xs[e];
            target[i][e] = ys[e];
        }
    }
    double parameters[7] = {0, 0, 0, 0, 0, 0, 1};
    ASSERT_TRUE(csibglue_EstimateHelmert(source, target, 6, parameters, residuals, 1e-6, 20));
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(rotation[k], parameters[k], 1e-12);
        EXPECT_NEAR(translation[k], parameters[3 + k], 1e-6);
    }
    EXPECT_NEAR(scale, parameters[6], 1e-12);
    for (const auto& r : residuals)
        for (double v : r) EXPECT_LT(std::fabs(v), 1e-6);

    // A negative limit is taken as 0: one step, then the limit.
    double again[7] = {0, 0, 0, 0, 0, 0, 1};
    EXPECT_FALSE(csibglue_EstimateHelmert(source, target, 6, again, residuals, 0.0, -5));
    EXPECT_NE(0.0, again[3]);
}

}  // namespace

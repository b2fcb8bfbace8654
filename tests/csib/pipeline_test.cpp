// The conversion pipeline: heights through the geoid separation, grid and geodetic
// with the ground scale factor, the numeric scale and convergence fallbacks, ground
// offsets and false origins. Stage slots that a case needs are replaced by small
// stand-ins on an otherwise real block.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/kinds.h"
#include "csib/pipeline.h"
#include "csib/projection_tm.h"
#include "csib_fixtures.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kPi = 3.141592653589793;
constexpr double kN = 30.0;  // the constant separation of the tests

csib_Block* WGS84Block(csibtest::BlockHolder& holder) {
    EXPECT_EQ(CSIB_Ok, csib_Create(&holder.block, 1, 6378137.0, 6356752.3142));
    holder.block->groundScaleFactor = 1.0;
    return holder.block;
}

void SetConstantSeparation(csib_Block* block) {
    const std::vector<uint8_t> part = csibtest::Saved(&kN, 1);
    ASSERT_EQ(CSIB_Ok, csib_SetVertical(block, 3, part.data()));
}

// A UTM zone 32 projection on the block.
void SetUTM32(csib_Block* block) {
    block->originLatitude = 0.0;
    block->originLongitude = 9.0 * kDeg;
    block->scaleFactor = 0.9996;
    block->falseEasting = 500000.0;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(block, CSIB_TransverseMercator, nullptr));
}

csib_GeodeticPoint Point(double latDeg, double lonDeg, double h, bool hasH, double H, bool hasOrthometric) {
    return {latDeg * kDeg, lonDeg * kDeg, h, H, uint8_t(hasH ? 1 : 0), uint8_t(hasOrthometric ? 1 : 0)};
}

TEST(Pipeline, HeightsWithoutAVerticalModel) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);

    csib_GeodeticPoint w = Point(47, 8, 512.5, true, 0, false), l{};
    ASSERT_EQ(CSIB_Ok, csib_WGS84ToLocal(block, &w, &l));
    EXPECT_EQ(1, l.hasOrthometricHeight);
    EXPECT_EQ(512.5, l.orthometricHeight);

    w = Point(47, 8, 0, false, 488.0, true);
    ASSERT_EQ(CSIB_Ok, csib_WGS84ToLocal(block, &w, &l));
    EXPECT_EQ(0, l.hasEllipsoidHeight);
    EXPECT_EQ(488.0, l.orthometricHeight);

    const csib_GeodeticPoint orthometricOnly = Point(47, 8, 0, false, 488.0, true);
    csib_GeodeticPoint out{};
    ASSERT_EQ(CSIB_Ok, csib_LocalToWGS84(block, &orthometricOnly, &out));
    EXPECT_EQ(1, out.hasEllipsoidHeight);
    EXPECT_EQ(0, out.hasOrthometricHeight);
    EXPECT_EQ(488.0, out.ellipsoidHeight);

    csib_GeodeticPoint p = orthometricOnly;
    ASSERT_EQ(CSIB_Ok, csib_OrthometricToEllipsoid(block, &p));
    EXPECT_EQ(488.0, p.ellipsoidHeight);

    const csib_GeodeticPoint noHeight = Point(47, 8, 0, false, 0, false);
    EXPECT_EQ(CSIB_LocalToWGS84NoHeight, csib_LocalToWGS84(block, &noHeight, &out));
    EXPECT_EQ(CSIB_NoGeoidSeparationSlot, csib_AddGeoidSeparation(block, &w));
    EXPECT_EQ(CSIB_NoGeoidSeparationSlot, csib_EllipsoidToOrthometric(block, &w));
}

TEST(Pipeline, HeightsThroughAConstantSeparation) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    SetConstantSeparation(block);

    // Only H: the WGS84 point is completed with h = H + N before the datum.
    csib_GeodeticPoint w = Point(47, 8, 0, false, 470.0, true), l{};
    ASSERT_EQ(CSIB_Ok, csib_WGS84ToLocal(block, &w, &l));
    EXPECT_EQ(500.0, w.ellipsoidHeight);
    EXPECT_EQ(500.0, l.ellipsoidHeight);
    EXPECT_EQ(470.0, l.orthometricHeight);

    // Only h: H = h - N at the WGS84 position.
    w = Point(47, 8, 500.0, true, 0, false);
    ASSERT_EQ(CSIB_Ok, csib_WGS84ToLocal(block, &w, &l));
    EXPECT_EQ(1, l.hasOrthometricHeight);
    EXPECT_EQ(470.0, l.orthometricHeight);

    const csib_GeodeticPoint orthometricOnly = Point(47, 8, 0, false, 470.0, true);
    csib_GeodeticPoint out{};
    ASSERT_EQ(CSIB_Ok, csib_LocalToWGS84(block, &orthometricOnly, &out));
    EXPECT_EQ(1, out.hasEllipsoidHeight);
    EXPECT_EQ(500.0, out.ellipsoidHeight);

    csib_GeodeticPoint p = orthometricOnly;
    ASSERT_EQ(CSIB_Ok, csib_OrthometricToEllipsoid(block, &p));
    EXPECT_EQ(1, p.hasEllipsoidHeight);
    EXPECT_NEAR(500.0, p.ellipsoidHeight, 1e-6);
}

// A datum that, like the RTCM kind, sets only the position and ellipsoid height of its
// WGS84 output and leaves the orthometric height as it was.
csib_Status ToWGS84KeepingOrthometric(csib_Block*, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    out->latitude = in->latitude;
    out->longitude = in->longitude;
    out->ellipsoidHeight = in->ellipsoidHeight + 2.0;
    out->hasEllipsoidHeight = 1;
    return CSIB_Ok;
}

TEST(Pipeline, OrthometricToWGS84DoesNotReadTheDatumsOrthometricOutput) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    SetConstantSeparation(block);
    block->datum.ToWGS84 = ToWGS84KeepingOrthometric;

    const csib_GeodeticPoint l = Point(47, 8, 0, false, 470.0, true);
    csib_GeodeticPoint w{};
    w.orthometricHeight = -1e6;  // what the datum leaves there
    ASSERT_EQ(CSIB_Ok, csib_LocalToWGS84(block, &l, &w));
    EXPECT_EQ(500.0, w.ellipsoidHeight);
}

TEST(Pipeline, GridAndGeodeticWithTheGroundScaleFactor) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    const csib_GeodeticPoint p = Point(48, 11.5, 0, false, 0, false);
    csib_GridPoint g{};
    EXPECT_EQ(CSIB_NoProjection, csib_GeodeticToGrid(block, &p, &g));
    EXPECT_EQ(CSIB_NoProjection, csib_GridToGeodetic(block, &g, nullptr));

    SetUTM32(block);
    csib_GridPoint plain{};
    ASSERT_EQ(CSIB_Ok, csib_GeodeticToGrid(block, &p, &plain));
    block->groundScaleFactor = 1.0002;
    ASSERT_EQ(CSIB_Ok, csib_GeodeticToGrid(block, &p, &g));
    EXPECT_DOUBLE_EQ(plain.north * 1.0002, g.north);
    EXPECT_DOUBLE_EQ(plain.east * 1.0002, g.east);

    csib_GeodeticPoint back{};
    ASSERT_EQ(CSIB_Ok, csib_GridToGeodetic(block, &g, &back));
    EXPECT_DOUBLE_EQ(plain.north, g.north) << "divided by k in place";
    EXPECT_NEAR(p.latitude, back.latitude, 1e-11);
    EXPECT_NEAR(p.longitude, back.longitude, 1e-11);
}

// An inverse that returns a fixed position.
double fixedLatitude = 0.0, fixedLongitude = 0.0;
csib_Status FixedInverse(csib_Block*, csib_GridPoint*, csib_GeodeticPoint* out) {
    out->latitude = fixedLatitude;
    out->longitude = fixedLongitude;
    return CSIB_Ok;
}

TEST(Pipeline, GridToGeodeticWrapsTheLongitudeAndRefusesLatitudesBeyondThePole) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    block->projection.Inverse = FixedInverse;
    struct Case {
        double latitude, longitude;
        csib_Status status;
        double wrapped;
    };
    const Case cases[] = {
        {0.5, 3.5, CSIB_Ok, 3.5 - 2.0 * kPi},
        {0.5, -3.5, CSIB_Ok, -3.5 + 2.0 * kPi},
        {0.5, kPi, CSIB_Ok, kPi},
        {1.6, 0.2, CSIB_LatitudeBeyondPole, 0.2},
        {-1.6, 0.2, CSIB_LatitudeBeyondPole, 0.2},
    };
    for (const Case& c : cases) {
        fixedLatitude = c.latitude;
        fixedLongitude = c.longitude;
        csib_GridPoint g{};
        csib_GeodeticPoint out{};
        EXPECT_EQ(c.status, csib_GridToGeodetic(block, &g, &out));
        EXPECT_EQ(c.wrapped, out.longitude);
    }
}

csib_Status NoScale(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_NoScaleFactor; }
csib_Status CassiniScale(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_CassiniNoScaleFactor; }
csib_Status NoConvergence(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_NoConvergence; }
csib_Status CassiniConvergence(csib_Block*, const csib_GeodeticPoint*, double*) {
    return CSIB_CassiniNoConvergence;
}

TEST(Pipeline, NumericScaleAndConvergenceAgreeWithTheTransverseMercatorFormulae) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    SetUTM32(block);
    const csib_GeodeticPoint points[] = {Point(48, 11.5, 0, false, 0, false), Point(-33.9, 10.4, 0, false, 0, false),
                                         Point(60.2, 7.1, 0, false, 0, false), Point(0.5, 9.0, 0, false, 0, false)};
    for (const csib_GeodeticPoint& p : points) {
        double k = 0, gamma = 0, numeric = 0, value = 0;
        ASSERT_EQ(CSIB_Ok, tm_ScaleFactor(block, &p, &k));
        ASSERT_EQ(CSIB_Ok, tm_Convergence(block, &p, &gamma));
        block->projection.ScaleFactor = tm_ScaleFactor;
        block->projection.Convergence = tm_Convergence;
        ASSERT_EQ(CSIB_Ok, csib_GetGridScaleFactor(block, &p, &value));
        EXPECT_EQ(k, value);

        block->projection.ScaleFactor = NoScale;
        block->projection.Convergence = NoConvergence;
        ASSERT_EQ(CSIB_Ok, csib_NumericScaleFactor(block, &p, &numeric));
        EXPECT_NEAR(k, numeric, 1e-9);
        ASSERT_EQ(CSIB_Ok, csib_GetGridScaleFactor(block, &p, &value));
        EXPECT_EQ(numeric, value);
        ASSERT_EQ(CSIB_Ok, csib_GetConvergence(block, &p, &value));
        EXPECT_NEAR(gamma, value, 1e-9);
    }
}

TEST(Pipeline, ScaleFallbacksAndMissingSlots) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    const csib_GeodeticPoint p = Point(48, 11.5, 0, false, 0, false);
    double value = 0;
    EXPECT_EQ(CSIB_NoScaleFactorSlot, csib_GetGridScaleFactor(block, &p, &value));
    EXPECT_EQ(CSIB_NoConvergenceSlot, csib_GetConvergence(block, &p, &value));

    SetUTM32(block);
    double numeric = 0;
    ASSERT_EQ(CSIB_Ok, csib_NumericScaleFactor(block, &p, &numeric));
    // A Cassini-Soldner kind: the numeric factor, times k; its convergence fails at once.
    block->groundScaleFactor = 1.0001;
    block->projection.ScaleFactor = CassiniScale;
    block->projection.Convergence = CassiniConvergence;
    ASSERT_EQ(CSIB_Ok, csib_GetGridScaleFactor(block, &p, &value));
    EXPECT_EQ(numeric * 1.0001, value);
    EXPECT_EQ(CSIB_CassiniNoConvergence, csib_GetConvergence(block, &p, &value));
}

// An inverse 2 cm off its forward, as a fitted one can be; over a 5 m step it would
// make the scale 4,000 ppm wrong.
csib_Status InverseTwoCentimetresOff(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const csib_Status status = tm_Inverse(block, in, out);
    out->latitude += 3e-9;
    return status;
}
csib_Status FailingForward(csib_Block*, const csib_GeodeticPoint*, csib_GridPoint*) { return CSIB_OutsideArea; }
csib_Status FlatForward(csib_Block*, const csib_GeodeticPoint*, csib_GridPoint* out) {
    out->north = 100.0;
    out->east = 200.0;
    return CSIB_Ok;
}

TEST(Pipeline, NumericScaleAndConvergenceComeFromTheForwardAlone) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    SetUTM32(block);
    const csib_GeodeticPoint p = Point(48, 11.5, 0, false, 0, false);
    double k = 0, gamma = 0, value = 0;
    ASSERT_EQ(CSIB_Ok, tm_ScaleFactor(block, &p, &k));
    ASSERT_EQ(CSIB_Ok, tm_Convergence(block, &p, &gamma));
    block->projection.ScaleFactor = NoScale;
    block->projection.Convergence = NoConvergence;
    block->projection.Inverse = InverseTwoCentimetresOff;
    ASSERT_EQ(CSIB_Ok, csib_GetGridScaleFactor(block, &p, &value));
    EXPECT_NEAR(k, value, 1e-9);
    ASSERT_EQ(CSIB_Ok, csib_GetConvergence(block, &p, &value));
    EXPECT_NEAR(gamma, value, 1e-9);

    // A forward that fails passes its status on; one that loses a direction has no
    // grid north on the ground (-30). Neither touches the outputs.
    value = 7.0;
    block->projection.Forward = FailingForward;
    EXPECT_EQ(CSIB_OutsideArea, csib_GetGridScaleFactor(block, &p, &value));
    EXPECT_EQ(CSIB_OutsideArea, csib_GetConvergence(block, &p, &value));
    block->projection.Forward = FlatForward;
    EXPECT_EQ(CSIB_Singular, csib_GetGridScaleFactor(block, &p, &value));
    EXPECT_EQ(CSIB_Singular, csib_GetConvergence(block, &p, &value));
    EXPECT_EQ(7.0, value);
}

TEST(Pipeline, CombinedScaleFactor) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    SetUTM32(block);
    const double lat = 48 * kDeg;
    double k = 0, value = 0;
    const csib_GeodeticPoint onEllipsoid = Point(48, 11.5, 0, false, 0, false);
    ASSERT_EQ(CSIB_Ok, tm_ScaleFactor(block, &onEllipsoid, &k));
    const double e2 = block->eccentricitySquared;
    const double r = 6378137.0 / std::sqrt(1.0 - e2 * std::sin(lat) * std::sin(lat));

    const csib_GeodeticPoint ellipsoidHeight = Point(48, 11.5, 800.0, true, 750.0, true);
    ASSERT_EQ(CSIB_Ok, csib_GetCombinedScaleFactor(block, &ellipsoidHeight, &value));
    EXPECT_DOUBLE_EQ(k * r / (r + 800.0), value);
    const csib_GeodeticPoint orthometricOnly = Point(48, 11.5, 0, false, 750.0, true);
    ASSERT_EQ(CSIB_Ok, csib_GetCombinedScaleFactor(block, &orthometricOnly, &value));
    EXPECT_DOUBLE_EQ(k * r / (r + 750.0), value);
    block->useFixedRadius = 1;
    block->fixedRadius = 6400000.0;
    ASSERT_EQ(CSIB_Ok, csib_GetCombinedScaleFactor(block, &orthometricOnly, &value));
    EXPECT_DOUBLE_EQ(k * 6400000.0 / 6400750.0, value);
    EXPECT_EQ(CSIB_CombinedScaleNoHeight, csib_GetCombinedScaleFactor(block, &onEllipsoid, &value));
}

TEST(Pipeline, GroundOffsetAndFalseOrigins) {
    csibtest::BlockHolder holder;
    csib_Block* block = WGS84Block(holder);
    SetUTM32(block);
    double gn = -1, ge = -1;
    block->hasGroundOrigin = 1;
    block->groundOriginLatitude = 47.5 * kDeg;
    block->groundOriginLongitude = 10.2 * kDeg;
    ASSERT_EQ(CSIB_Ok, csib_GetGroundOffset(block, &gn, &ge));
    ASSERT_EQ(CSIB_Ok, csib_GetGroundOffset(block, &gn, &ge));
    EXPECT_EQ(0.0, gn) << "k = 1";
    EXPECT_EQ(0.0, ge);

    block->groundScaleFactor = 1.0004;
    ASSERT_EQ(CSIB_Ok, csib_GetGroundOffset(block, &gn, &ge));
    // The origin's grid image (TransverseMercatorProj -l 9 -k 0.9996, false easting
    // off) times k, less itself.
    EXPECT_NEAR(5261427.5491069388 * 1.0004 - 5261427.5491069388, gn, 1e-6);
    EXPECT_NEAR(90375.5488330913 * 1.0004 - 90375.5488330913, ge, 1e-6);
    block->groundOriginLongitude = 1e308;
    ASSERT_EQ(CSIB_Ok, csib_GetGroundOffset(block, &gn, &ge));
    EXPECT_EQ(0.0, ge);
    block->groundOriginLongitude = 10.2 * kDeg;
    ASSERT_EQ(CSIB_Ok, csib_GetGroundOffset(block, &gn, &ge));

    // Engine grid to displayed grid and back, every axis orientation.
    block->falseNorthing = 1000.0;
    block->groundOffsetNorth = 3.5;
    block->groundOffsetEast = -7.25;
    for (uint8_t northAxis : {1, 2}) {
        for (uint8_t eastAxis : {1, 2}) {
            block->options.northAxis = northAxis;
            block->options.eastAxis = eastAxis;
            double north = 5261000.0, east = 90000.0;
            ASSERT_EQ(CSIB_Ok, csib_AddFalseOrigin(block, &north, &east));
            EXPECT_NEAR((northAxis == 2 ? -1 : 1) * (5261000.0 - gn) - 3.5 + 1000.0, north, 1e-8);
            EXPECT_NEAR((eastAxis == 2 ? -1 : 1) * (90000.0 - ge) + 7.25 + 500000.0, east, 1e-8);
            ASSERT_EQ(CSIB_Ok, csib_RemoveFalseOrigin(block, &north, &east));
            EXPECT_NEAR(5261000.0, north, 1e-8);
            EXPECT_NEAR(90000.0, east, 1e-8);
        }
    }
}

}  // namespace

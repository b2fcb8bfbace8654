#include <cmath>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/glue.h"
#include "csib/projection_national.h"
#include "csib_fixtures.h"
#include "projection_fixtures.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr uint8_t kNZMG = 6;
constexpr double kIntlA = 6378388.0;
constexpr double kIntlB = 6356911.946127946;

// proj +proj=nzmg +lat_0=-41 +lon_0=173 +ellps=intl (x east, y north, with the false
// origin 2510000, 6023150) and the convergence in degrees from proj -V.
struct Town {
    const char* name;
    double latitude, longitude, x, y, gamma;
};
const Town kTowns[] = {
    {"Auckland", -36.8485, 174.7633, 2667665.93242, 6482380.31379, -1.17356492},
    {"Wellington", -41.2865, 174.7762, 2658777.23661, 5989819.78016, -1.16542977},
    {"Christchurch", -43.5321, 172.6362, 2480614.52688, 5741827.02550, 0.24830412},
    {"Dunedin", -45.8788, 170.5028, 2316008.46797, 5478214.78141, 1.70771692},
    {"Invercargill", -46.4132, 168.3538, 2152694.97968, 5411715.91042, 3.23969404},
    {"Kaitaia", -35.1000, 173.2600, 2534564.81677, 6678133.09505, -0.30944833},
    {"Gisborne", -38.6623, 178.0176, 2946565.79219, 6270368.32492, -3.18946880},
    {"New Plymouth", -39.0556, 174.0752, 2603137.91727, 6238452.23184, -0.72173737},
    {"Hokitika", -42.7167, 170.9667, 2343474.54087, 5830454.72192, 1.39087572},
    {"Milford Sound", -44.6414, 167.8974, 2105422.99716, 5606163.38534, 3.56012270},
    {"origin", -41.0, 173.0, 2510000.0, 6023150.0, 0.0},
};

void MakeNZMG(BlockHolder& held) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, kIntlA, kIntlB));
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kNZMG, nullptr));
}

TEST(NewZealandMapGrid, AgainstProjLessTheFalseOrigin) {
    BlockHolder held;
    MakeNZMG(held);
    csib_Block* block = held.block;
    for (const Town& t : kTowns) {
        const double north = t.y - 6023150.0, east = t.x - 2510000.0;
        const csib_GeodeticPoint at{t.latitude * kDeg, t.longitude * kDeg, 0, 0, 0, 0};
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &at, &grid));
        EXPECT_NEAR(north, grid.north, 1e-3) << t.name;
        EXPECT_NEAR(east, grid.east, 1e-3) << t.name;

        csib_GridPoint in{north, east, 0, 0, 0, 0, 0, 0};
        csib_GeodeticPoint back{};
        ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &in, &back));
        EXPECT_TRUE(csibtest::NearOnTheGround(back, t.latitude, t.longitude, 1e-3));

        double gamma = 0.0;
        ASSERT_EQ(CSIB_Ok, block->projection.Convergence(block, &at, &gamma));
        EXPECT_NEAR(t.gamma, gamma / kDeg, 1e-8) << t.name;
    }
}

TEST(NewZealandMapGrid, FixedSystemWithoutScaleFactor) {
    BlockHolder held;
    MakeNZMG(held);
    csib_Block* block = held.block;
    EXPECT_EQ(-0.7155849933176751, block->originLatitude);
    EXPECT_EQ(3.01941960595019, block->originLongitude);
    EXPECT_EQ(6023150.0, block->falseNorthing);
    EXPECT_EQ(2510000.0, block->falseEasting);
    EXPECT_EQ(1.0, block->scaleFactor);
    EXPECT_EQ(nullptr, block->projectionParameters);
    const csib_GeodeticPoint at{-41.0 * kDeg, 173.0 * kDeg, 0, 0, 0, 0};
    double k = 0.0;
    EXPECT_EQ(CSIB_NoScaleFactor, block->projection.ScaleFactor(block, &at, &k));
}

TEST(NewZealandMapGrid, ComplexPolynomialAndNewtonStep) {
    // 2z + 3z^2 at z = 1 + i: 2 + 2i + 3 (2i) = 2 + 8i.
    const csib_Complex c[2] = {{2.0, 0.0}, {3.0, 0.0}};
    const csib_Complex p = nzmg_ComplexPolynomial({1.0, 1.0}, c, 2);
    EXPECT_EQ(2.0, p.re);
    EXPECT_EQ(8.0, p.im);
    // A step from the exact zeta stays there.
    const csib_Complex zeta{0.05, -0.03};
    const csib_Complex b[6] = {{0.7557853228, 0.0},         {0.249204646, 0.003371507},
                               {-0.001541739, 0.041058560}, {-0.10162907, 0.01727609},
                               {-0.26623489, -0.36249218},  {-0.6870983, -1.1651967}};
    const csib_Complex step = nzmg_NewtonStep(nzmg_ComplexPolynomial(zeta, b, 6), zeta);
    EXPECT_NEAR(zeta.re, step.re, 1e-15);
    EXPECT_NEAR(zeta.im, step.im, 1e-15);
}

TEST(NewZealandMapGrid, GlueAddsTheFalseOrigin) {
    coordsys_Ellipsoid intl;
    intl.EarthRadius = kIntlA;
    intl.Flattening = 1.0 / 297.0;
    coordsys_Projection projection;
    projection.ProjectionType = COORDSYS_NewZealandMapGrid;
    projection.Scale = 1.0;
    BlockHolder held;
    int32_t error = -1;
    ASSERT_TRUE(csibtest::BuildProjection(intl, projection, &held.block, &error));
    ASSERT_EQ(kNZMG, held.block->projectionKind);
    coord_Local wellington(-41.2865 * kDeg, 174.7762 * kDeg, MATHS_Null);
    csib_GeodeticPoint at{};
    ASSERT_TRUE(csibglue_LocalToGeodeticPoint(wellington, &at));
    csib_GridPoint grid{};
    ASSERT_EQ(CSIB_Ok, held.block->projection.Forward(held.block, &at, &grid));
    coord_CogoGrid value;
    csibglue_GridPointToGrid(&grid, &value, held.block);
    EXPECT_NEAR(5989819.78016, value.North, 1e-3);
    EXPECT_NEAR(2658777.23661, value.East, 1e-3);
}

}  // namespace

#include <cmath>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/glue.h"
#include "csib_fixtures.h"
#include "projection_fixtures.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr uint8_t kEOV = 17;

// proj +proj=somerc +lat_0=47.14439372222222 +lon_0=19.04857177777778 +k_0=0.99993
// +ellps=GRS67 +x_0=0 +y_0=0: x is east, y north (relative to the false origin).
struct Town {
    const char* name;
    double latitude, longitude, east, north;
};
const Town kTowns[] = {
    {"Sopron", 47.6817, 16.5845, -184975.9417, 62650.0162},
    {"Szombathely", 47.2307, 16.6218, -183733.1266, 12446.8517},
    {"Gyor", 47.6875, 17.6504, -104959.8120, 61317.7294},
    {"Budapest", 47.4979, 19.0402, -630.7549, 39299.4752},
    {"Pecs", 46.0727, 18.2323, -63153.8955, -118802.0735},
    {"Szeged", 46.2530, 20.1414, 84269.2067, -98499.9441},
    {"Debrecen", 47.5316, 21.6273, 194130.5159, 46248.7091},
    {"Miskolc", 48.1035, 20.7784, 128829.7193, 108060.0524},
    {"Nyiregyhaza", 47.9554, 21.7167, 199250.0536, 93567.2887},
    {"Zahony", 48.4089, 22.1758, 231500.7130, 145229.9793},
    {"Kecskemet", 46.9062, 19.6913, 48965.4412, -26277.2982},
    {"Zalaegerszeg", 46.8417, 16.8416, -168317.2575, -31272.1502},
    {"origin", 47.14439372222222, 19.04857177777778, 0.0, 0.0},
};

void MakeEOV(BlockHolder& held) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378160.0, 6356774.516090714));
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kEOV, nullptr));
}

TEST(HungarianEOV, AgainstProjFromSopronToZahony) {
    BlockHolder held;
    MakeEOV(held);
    csib_Block* block = held.block;
    for (const Town& t : kTowns) {
        const csib_GeodeticPoint at{t.latitude * kDeg, t.longitude * kDeg, 0.0, 140.0, 0, 1};
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &at, &grid));
        EXPECT_NEAR(t.east, grid.east, 5e-3) << t.name;
        EXPECT_NEAR(t.north, grid.north, 5e-3) << t.name;
        EXPECT_EQ(140.0, grid.elevation);

        // The inverse from proj's point, in metres on the ground (1 cm).
        csib_GridPoint in{t.north, t.east, 0.0, 0.0, 0, 0, 0, 0};
        csib_GeodeticPoint back{};
        ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &in, &back));
        EXPECT_TRUE(csibtest::NearOnTheGround(back, t.latitude, t.longitude, 1e-2));
    }
}

TEST(HungarianEOV, FixedSystemWithoutScaleOrConvergence) {
    BlockHolder held;
    MakeEOV(held);
    csib_Block* block = held.block;
    EXPECT_EQ(0.8228248943093227, block->originLatitude);
    EXPECT_EQ(0.3324602953246919, block->originLongitude);
    EXPECT_EQ(200000.0, block->falseNorthing);
    EXPECT_EQ(650000.0, block->falseEasting);
    EXPECT_EQ(0.99993, block->scaleFactor);
    EXPECT_EQ(nullptr, block->projectionParameters);
    const csib_GeodeticPoint at{47.5 * kDeg, 19.0 * kDeg, 0, 0, 0, 0};
    double value = 0.0;
    EXPECT_EQ(CSIB_NoScaleFactor, block->projection.ScaleFactor(block, &at, &value));
    EXPECT_EQ(CSIB_NoConvergence, block->projection.Convergence(block, &at, &value));
    int32_t size = -1;
    EXPECT_EQ(CSIB_Ok, block->projection.GetSavedSize(block, 1, &size));
    EXPECT_EQ(0, size);
}

TEST(HungarianEOV, GlueBuildsTheSystem) {
    coordsys_Ellipsoid grs67;
    grs67.EarthRadius = 6378160.0;
    grs67.Flattening = 1.0 / 298.247167427;
    coordsys_Projection projection;
    projection.ProjectionType = COORDSYS_HungarianEOV;
    projection.Scale = 1.0;
    BlockHolder held;
    int32_t error = -1;
    ASSERT_TRUE(csibtest::BuildProjection(grs67, projection, &held.block, &error));
    EXPECT_EQ(kEOV, held.block->projectionKind);
    EXPECT_EQ(650000.0, held.block->falseEasting);
    EXPECT_EQ(0.99993, held.block->scaleFactor);
}

}  // namespace

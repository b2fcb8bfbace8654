#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/glue.h"
#include "csib/image.h"
#include "csib/projection_national.h"
#include "csib_fixtures.h"
#include "projection_fixtures.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr uint8_t kKrovak = 3;
constexpr double kBesselA = 6377397.155;
constexpr double kBesselB = 6356078.962818189;

void MakeKrovak(BlockHolder& held, const uint8_t* saved = nullptr) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, kBesselA, kBesselB));
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kKrovak, saved));
}

// proj +proj=krovak +lat_0=49.5 +lon_0=24.83333333333333 +alpha=30.2881397527778
// +k=0.9999 +ellps=bessel: x, y (east, north), and from proj -V the scale and the
// convergence in degrees.
struct Reference {
    double latitude, longitude, east, north, k, gamma;
};
const Reference kTowns[] = {
    {50.0875, 14.4214, -742888.0916, -1043086.0428, 0.99990375, -7.83310340},  // Prague
    {49.1951, 16.6068, -598352.1029, -1160801.1609, 0.99990077, -6.16951385},  // Brno
    {48.1486, 17.1077, -573787.5518, -1280364.6891, 1.00003204, -5.78771819},  // Bratislava
    {48.7164, 21.2611, -262721.0613, -1240072.1027, 0.99991148, -2.66759974},  // Kosice
    {50.7700, 15.0600, -687894.0544, -973834.3780, 1.00004131, -7.34126904},
    {49.8400, 18.2900, -470150.2921, -1101174.1749, 1.00002796, -4.89545372},
    {48.9700, 14.4700, -756297.5654, -1166675.8675, 1.00000234, -7.79320614},
    {50.0800, 12.3700, -888140.1045, -1021909.4650, 0.99993781, -9.40970522},
    {49.0000, 22.5000, -170683.8864, -1212059.5477, 0.99996863, -1.74110778},
    {47.7600, 18.1300, -501842.3486, -1330564.6760, 1.00008336, -5.01533953},
    {51.0300, 14.3000, -737040.0853, -938069.5995, 1.00003942, -7.92163306},
};

TEST(Krovak, LoadWritesTheSystemsOrigin) {
    BlockHolder held;
    MakeKrovak(held);
    const csib_Block* b = held.block;
    EXPECT_EQ(1.0429668528963039, b->originLatitude);
    EXPECT_EQ(0.4334247135733002, b->originLongitude);
    EXPECT_EQ(0.0, b->falseNorthing);
    EXPECT_EQ(0.0, b->falseEasting);
    EXPECT_EQ(1.0, b->scaleFactor);
    EXPECT_TRUE(csib_IsConformal(b));
}

TEST(Krovak, AgainstProjOverCzechiaAndSlovakia) {
    BlockHolder held;
    MakeKrovak(held);
    csib_Block* block = held.block;
    for (const Reference& r : kTowns) {
        const csib_GeodeticPoint at{r.latitude * kDeg, r.longitude * kDeg, 310.0, 0.0, 1, 0};
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &at, &grid));
        EXPECT_NEAR(r.east, grid.east, 2e-3) << r.latitude << " " << r.longitude;
        EXPECT_NEAR(r.north, grid.north, 2e-3) << r.latitude << " " << r.longitude;
        EXPECT_EQ(310.0, grid.ellipsoidHeight);

        // The inverse from proj's grid point, in metres on the ground (2 mm).
        csib_GridPoint back{r.north, r.east, 0.0, 0.0, 0, 0, 0, 0};
        csib_GeodeticPoint geodetic{};
        ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &back, &geodetic));
        EXPECT_TRUE(csibtest::NearOnTheGround(geodetic, r.latitude, r.longitude, 2e-3));

        double k = 0.0, gamma = 0.0;
        ASSERT_EQ(CSIB_Ok, block->projection.ScaleFactor(block, &at, &k));
        ASSERT_EQ(CSIB_Ok, block->projection.Convergence(block, &at, &gamma));
        EXPECT_NEAR(r.k, k, 1e-7) << r.latitude << " " << r.longitude;
        EXPECT_NEAR(r.gamma, gamma / kDeg, 1e-7) << r.latitude << " " << r.longitude;
    }
}

TEST(Krovak, ConvergenceFollowsTheFerroOffset) {
    // A block whose offset is a degree larger sees every point a degree further east:
    // its convergence at (lat, lon) is the default block's at (lat, lon + 1 degree).
    const double offset = CSIB_FerroOffset + kDeg;
    std::vector<uint8_t> saved(8);
    csib_PutDouble(saved.data(), offset);
    BlockHolder shifted, plain;
    MakeKrovak(shifted, saved.data());
    MakeKrovak(plain);
    const csib_GeodeticPoint at{49.5 * kDeg, 15.0 * kDeg, 0, 0, 0, 0};
    const csib_GeodeticPoint east{49.5 * kDeg, 16.0 * kDeg, 0, 0, 0, 0};
    double g1 = 0.0, g2 = 0.0;
    ASSERT_EQ(CSIB_Ok, shifted.block->projection.Convergence(shifted.block, &at, &g1));
    ASSERT_EQ(CSIB_Ok, plain.block->projection.Convergence(plain.block, &east, &g2));
    EXPECT_NEAR(g2, g1, 1e-15);
}

// The apex is the image of the cone's pole, 5 m from the stored origin (whose forward
// misses the apex by that much): proj -I +proj=krovak +ellps=bessel gives
// 59.7575985631 N 24.8333333333 E (3 cm from ours by the rounded constants).
TEST(Krovak, InverseOfTheApexIsTheConesPole) {
    BlockHolder held;
    MakeKrovak(held);
    csib_GridPoint apex{0.0, 0.0, 0.0, 12.5, 0, 0, 0, 1};
    csib_GeodeticPoint out{};
    ASSERT_EQ(CSIB_Ok, held.block->projection.Inverse(held.block, &apex, &out));
    EXPECT_TRUE(csibtest::NearOnTheGround(out, 59.7575985631, 24.8333333333, 0.05));
    EXPECT_EQ(12.5, out.orthometricHeight);
    csib_GridPoint back{};
    ASSERT_EQ(CSIB_Ok, held.block->projection.Forward(held.block, &out, &back));
    EXPECT_EQ(0.0, back.north);
    EXPECT_EQ(0.0, back.east);
}

TEST(Krovak, SavedOffsetByImageVersion) {
    const double offset = 0.31;
    std::vector<uint8_t> saved(8);
    csib_PutDouble(saved.data(), offset);
    struct Case {
        double version;
        double offset;
        int32_t size;
    };
    const Case cases[] = {{1.0, CSIB_FerroOffset, 0}, {1.2, CSIB_FerroOffset, 0}, {1.3, offset, 8},
                          {10.5, offset, 8}};
    for (const Case& c : cases) {
        BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, kBesselA, kBesselB));
        held.block->version = c.version;
        ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kKrovak, saved.data()));
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, held.block->projection.GetParameters(held.block, 0, &parameter));
        EXPECT_EQ(c.offset, *static_cast<double*>(parameter)) << c.version;
        ASSERT_EQ(CSIB_Ok, held.block->projection.GetParameters(held.block, 1, &parameter));
        EXPECT_EQ(nullptr, parameter);
        int32_t size = -1;
        ASSERT_EQ(CSIB_Ok, held.block->projection.GetSavedSize(held.block, 1, &size));
        EXPECT_EQ(c.size, size) << c.version;
    }
}

TEST(Krovak, OffsetTravelsThroughTheImageAndTheGlue) {
    coordsys_Ellipsoid bessel;
    bessel.EarthRadius = kBesselA;
    bessel.Flattening = 1.0 / 299.1528128;
    for (double orientation : {MATHS_Null, 0.3}) {
        coordsys_Projection projection;
        projection.ProjectionType = COORDSYS_Krovak;
        projection.OriginLocal = coord_Local(0.5, 0.2, 0.0);
        projection.OriginGrid = coord_CorrectedGrid(100.0, 200.0, 0.0);
        projection.Scale = 0.5;
        projection.Orientation1 = orientation;
        BlockHolder held;
        int32_t error = -1;
        ASSERT_TRUE(csibtest::BuildProjection(bessel, projection, &held.block, &error));
        EXPECT_EQ(COORDSYS_NoError, error);
        ASSERT_EQ(kKrovak, held.block->projectionKind);
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, held.block->projection.GetParameters(held.block, 0, &parameter));
        EXPECT_EQ(maths_IsNull(orientation) ? CSIB_FerroOffset : orientation, *static_cast<double*>(parameter));
        // The system's own origin replaces the definition's.
        EXPECT_EQ(1.0429668528963039, held.block->originLatitude);
        EXPECT_EQ(0.0, held.block->falseNorthing);
        EXPECT_EQ(1.0, held.block->scaleFactor);
    }
}

}  // namespace

namespace {

// Every kind with a record refuses to load without memory and leaves nothing behind.
TEST(ProjectionRecords, LoadWithoutMemoryFails) {
    std::vector<uint8_t> saved(80, 0);
    csib_PutDouble(saved.data() + 72, 1.0);  // the oblique plane's scale
    saved[0] = 1;                            // Denmark's area
    for (uint8_t kind : {3, 10, 13, 16}) {
        BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
        const int64_t live = csib_LiveAllocations();
        csib_FailAllocation(1);
        EXPECT_EQ(CSIB_OutOfMemory, csib_SetProjection(held.block, kind, saved.data())) << int(kind);
        csib_FailAllocation(0);
        EXPECT_EQ(nullptr, held.block->projectionParameters);
        EXPECT_EQ(live, csib_LiveAllocations());
    }
}

}  // namespace

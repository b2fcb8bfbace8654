#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/glue.h"
#include "csib/image.h"
#include "csib/projection_plane.h"
#include "csib_fixtures.h"
#include "projection_fixtures.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr uint8_t kPlane = 10;

struct PlaneDefinition {
    double theta, h0, elevation0, k0;
};

// Origin 47 N 8.5 E on a = 6378137, b = 6356752.3142.
void MakePlane(BlockHolder& held, const PlaneDefinition& d) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    held.block->originLatitude = 47.0 * kDeg;
    held.block->originLongitude = 8.5 * kDeg;
    held.block->scaleFactor = d.k0;
    std::vector<uint8_t> saved(24);
    csib_PutDouble(saved.data(), d.theta);
    csib_PutDouble(saved.data() + 8, d.h0);
    csib_PutDouble(saved.data() + 16, d.elevation0);
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kPlane, saved.data()));
}

// cct: cart then topocentric +lat_0=47 +lon_0=8.5 +h_0=450 of each point at height
// 450 gives (E, N); rotated and scaled by hand with theta 0.3, k0 1.0002:
// north = k0 (N cos + E sin), east = k0 (E cos - N sin).
struct Reference {
    double latitude, longitude, north, east;
};
const Reference kPoints[] = {
    {47.0, 8.5, 0.000000, 0.000000},
    {47.1, 8.5, 10623.518515, -3286.239375},
    {47.0, 8.6, 2252.853685, 7266.433479},
    {47.15, 8.3, 11470.015870, -19430.084513},
    {46.85, 8.75, -10269.612760, 23140.665477},
    {47.2, 8.42, 19458.298686, -12366.004871},
    {47.1, 8.8, 17397.211048, 18463.673235},
};
const PlaneDefinition kDefinition{0.3, 450.0, 400.0, 1.0002};

TEST(Plane, AgainstTheTopocentricFrameAndBack) {
    BlockHolder held;
    MakePlane(held, kDefinition);
    csib_Block* block = held.block;
    for (const Reference& r : kPoints) {
        // The point's own height does not move it: it is taken at h0.
        for (double h : {450.0, -20.0, 3000.0}) {
            const csib_GeodeticPoint at{r.latitude * kDeg, r.longitude * kDeg, h, 0.0, 1, 0};
            csib_GridPoint grid{};
            ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &at, &grid));
            EXPECT_NEAR(r.north, grid.north, 1e-3) << r.latitude << " " << r.longitude;
            EXPECT_NEAR(r.east, grid.east, 1e-3) << r.latitude << " " << r.longitude;

            csib_GeodeticPoint back{};
            ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &grid, &back));
            EXPECT_TRUE(csibtest::NearOnTheGround(back, r.latitude, r.longitude, 1e-3));
        }
    }
}

TEST(Plane, DueNorthWithoutRotationHasNoEast) {
    BlockHolder held;
    MakePlane(held, {0.0, 450.0, 400.0, 1.0});
    const csib_GeodeticPoint at{47.2 * kDeg, 8.5 * kDeg, 0, 0, 0, 0};
    csib_GridPoint grid{};
    ASSERT_EQ(CSIB_Ok, held.block->projection.Forward(held.block, &at, &grid));
    EXPECT_NEAR(0.0, grid.east, 1e-9);
    EXPECT_GT(grid.north, 22000.0);
}

TEST(Plane, HeightsThroughTheOriginsSeparation) {
    BlockHolder held;
    MakePlane(held, kDefinition);  // h0 - H0 = 50
    csib_Block* block = held.block;
    struct Case {
        double h, elevation;
        uint8_t hasH, hasElevation;
        double outH, outElevation;
        uint8_t known;
    };
    // Forward: geodetic (h, H) to grid (h, elevation); the orthometric height wins.
    const Case forward[] = {
        {0.0, 100.0, 0, 1, 150.0, 100.0, 1},
        {520.0, 0.0, 1, 0, 520.0, 470.0, 1},
        {520.0, 100.0, 1, 1, 150.0, 100.0, 1},
        {7.0, 8.0, 0, 0, 7.0, 8.0, 0},
    };
    for (const Case& c : forward) {
        const csib_GeodeticPoint at{47.05 * kDeg, 8.55 * kDeg, c.h, c.elevation, c.hasH, c.hasElevation};
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &at, &grid));
        EXPECT_EQ(c.outH, grid.ellipsoidHeight);
        EXPECT_EQ(c.outElevation, grid.elevation);
        EXPECT_EQ(c.known, grid.hasEllipsoidHeight);
        EXPECT_EQ(c.known, grid.hasElevation);
    }
    // Inverse: grid (h, elevation) to geodetic (h, H); the elevation wins.
    for (const Case& c : forward) {
        csib_GridPoint grid{1000.0, 2000.0, c.h, c.elevation, 0, 0, c.hasH, c.hasElevation};
        csib_GeodeticPoint out{};
        ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &grid, &out));
        EXPECT_EQ(c.outH, out.ellipsoidHeight);
        EXPECT_EQ(c.outElevation, out.orthometricHeight);
        EXPECT_EQ(c.known, out.hasEllipsoidHeight);
        EXPECT_EQ(c.known, out.hasOrthometricHeight);
    }
}

TEST(Plane, SavedPartAndParameters) {
    BlockHolder held;
    MakePlane(held, kDefinition);
    csib_Block* block = held.block;
    const double expected[] = {0.3, 450.0, 400.0};
    for (int16_t i = 0; i < 3; ++i) {
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, block->projection.GetParameters(block, i, &parameter));
        EXPECT_EQ(expected[i], *static_cast<double*>(parameter));
    }
    void* parameter = block;
    ASSERT_EQ(CSIB_Ok, block->projection.GetParameters(block, 3, &parameter));
    EXPECT_EQ(nullptr, parameter);
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, block->projection.GetSavedSize(block, 1, &size));
    ASSERT_EQ(24, size);
    uint8_t out[24];
    ASSERT_EQ(CSIB_Ok, block->projection.Save(block, out, 1));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(expected[i], csib_GetDouble(out + 8 * i, 0));
    double value = 0.0;
    const csib_GeodeticPoint at{47.0 * kDeg, 8.5 * kDeg, 0, 0, 0, 0};
    EXPECT_EQ(CSIB_NoScaleFactor, block->projection.ScaleFactor(block, &at, &value));
    EXPECT_EQ(CSIB_NoConvergence, block->projection.Convergence(block, &at, &value));
}

coordsys_Projection PlaneProjection() {
    coordsys_Projection projection;
    projection.ProjectionType = COORDSYS_Plane;
    projection.OriginLocal = coord_Local(47.0 * kDeg, 8.5 * kDeg, 450.0);
    projection.OriginGrid = coord_CorrectedGrid(200000.0, 600000.0, 400.0);
    projection.Scale = 1.0002;
    projection.Orientation1 = 0.3;
    return projection;
}

bool BuildPlane(const coordsys_Projection& projection, BlockHolder& held, int32_t* error) {
    return csibtest::BuildProjection(coordsys_WGS84Ellipsoid, projection, &held.block, error);
}

TEST(Plane, GlueTakesTheOriginHeightsAndOrientation) {
    BlockHolder held;
    int32_t error = -1;
    ASSERT_TRUE(BuildPlane(PlaneProjection(), held, &error));
    ASSERT_EQ(kPlane, held.block->projectionKind);
    const auto* record = static_cast<const csib_PlaneParameters*>(held.block->projectionParameters);
    EXPECT_EQ(450.0, record->originHeight);
    EXPECT_EQ(400.0, record->originElevation);
    EXPECT_EQ(0.3, record->rotation);
    const csib_GeodeticPoint at{47.1 * kDeg, 8.5 * kDeg, 0, 0, 0, 0};
    csib_GridPoint grid{};
    ASSERT_EQ(CSIB_Ok, held.block->projection.Forward(held.block, &at, &grid));
    EXPECT_NEAR(10623.518515, grid.north, 1e-3);

    // The plane computes with every one of the three values.
    for (int missing = 0; missing < 3; ++missing) {
        coordsys_Projection projection = PlaneProjection();
        double* values[] = {&projection.OriginLocal.Height, &projection.OriginGrid.Elev, &projection.Orientation1};
        *values[missing] = MATHS_Null;
        BlockHolder failed;
        EXPECT_FALSE(BuildPlane(projection, failed, &error));
        EXPECT_EQ(CSIBGLUE_EngineError, error);
    }
}

}  // namespace

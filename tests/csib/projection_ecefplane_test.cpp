#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/image.h"
#include "csib_fixtures.h"
#include "foundation/kernel/maths.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr uint8_t kEcefPlane = 13;

// Origin (cct +proj=cart of 52 N 5 E at 30 m), false easting, northing and elevation,
// omega, phi, kappa, scale.
constexpr double kSaved[10] = {3920005.153681, 342956.01191, 5002826.985756, 1000.0, 2000.0, 50.0,
                               0.05,           0.02,         0.3,            1.00001};

// cct: cart, topocentric +X_0 +Y_0 +Z_0 of the origin, then affine with the rows of
// s R and the offsets, on a = 6378137, b = 6356752.3142: (east, north, third).
struct Reference {
    double latitude, longitude, h, east, north, third;
};
const Reference kPoints[] = {
    {52.0, 5.0, 30.0, 1000.000000, 2000.000000, 50.000000},
    {52.0, 5.1, 30.0, 7561.256736, -24.890125, 183.428286},
    {52.1, 5.0, 130.0, 4294.427674, 12618.457040, -415.855319},
    {51.92, 4.85, -20.0, -11489.531855, -3434.677269, 223.436148},
    {52.07, 5.12, 400.0, 11166.903059, 7024.237786, 184.423651},
    {52.09, 4.95, 0.0, 692.463310, 12563.650979, -557.728108},
};

void MakeEcefPlane(BlockHolder& held) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378388.0, 6356911.946127946));
    held.block->falseNorthing = 7.0;
    held.block->falseEasting = 8.0;
    std::vector<uint8_t> saved(80);
    for (int i = 0; i < 10; ++i) csib_PutDouble(saved.data() + 8 * i, kSaved[i]);
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kEcefPlane, saved.data()));
}

TEST(EcefPlane, ForwardAgainstTheAffineTopocentricFrame) {
    // The block's own ellipsoid is not used: always WGS84's semi-axes.
    BlockHolder held;
    MakeEcefPlane(held);
    csib_Block* block = held.block;
    EXPECT_NEAR(52.0, block->originLatitude / kDeg, 1e-9);
    EXPECT_NEAR(5.0, block->originLongitude / kDeg, 1e-9);
    EXPECT_EQ(0.0, block->falseNorthing);
    EXPECT_EQ(0.0, block->falseEasting);
    for (const Reference& r : kPoints) {
        const csib_GeodeticPoint at{r.latitude * kDeg, r.longitude * kDeg, r.h, 12.0, 1, 1};
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &at, &grid));
        EXPECT_NEAR(r.east, grid.east, 1e-3) << r.latitude << " " << r.longitude;
        EXPECT_NEAR(r.north, grid.north, 1e-3) << r.latitude << " " << r.longitude;
        EXPECT_EQ(r.h, grid.ellipsoidHeight);
        EXPECT_EQ(12.0, grid.elevation);
    }
}

TEST(EcefPlane, InverseThroughTheTransposedRotation) {
    BlockHolder held;
    MakeEcefPlane(held);
    csib_Block* block = held.block;
    for (const Reference& r : kPoints) {
        csib_GridPoint grid{r.north, r.east, 0.0, r.third, 0, 0, 0, 1};
        csib_GeodeticPoint out{};
        ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &grid, &out));
        EXPECT_NEAR(r.latitude, out.latitude / kDeg, 1e-9) << r.latitude << " " << r.longitude;
        EXPECT_NEAR(r.longitude, out.longitude / kDeg, 1e-9) << r.latitude << " " << r.longitude;
        // Heights and their flags come from the grid point.
        EXPECT_EQ(r.third, out.orthometricHeight);
        EXPECT_EQ(1, out.hasOrthometricHeight);
        EXPECT_EQ(0, out.hasEllipsoidHeight);
    }
}

TEST(EcefPlane, NeedsAHeightEachWay) {
    BlockHolder held;
    MakeEcefPlane(held);
    csib_Block* block = held.block;
    const csib_GeodeticPoint noHeight{52.0 * kDeg, 5.0 * kDeg, 0.0, 30.0, 0, 1};
    csib_GridPoint grid{};
    EXPECT_EQ(CSIB_ECEFNoHeight, block->projection.Forward(block, &noHeight, &grid));
    csib_GridPoint noElevation{2000.0, 1000.0, 30.0, MATHS_Null, 0, 0, 1, 0};
    csib_GeodeticPoint out{};
    EXPECT_EQ(CSIB_ECEFNoHeight, block->projection.Inverse(block, &noElevation, &out));
}

TEST(EcefPlane, TenSavedValuesThroughAnImage) {
    BlockHolder held;
    MakeEcefPlane(held);
    csib_Block* block = held.block;
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, block->projection.GetSavedSize(block, 1, &size));
    EXPECT_EQ(80, size);
    for (int16_t i = 0; i <= 10; ++i) {
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, block->projection.GetParameters(block, i, &parameter));
        if (i < 10)
            EXPECT_EQ(kSaved[i], *static_cast<double*>(parameter)) << i;
        else
            EXPECT_EQ(nullptr, parameter);
    }
    double value = 0.0;
    const csib_GeodeticPoint at{52.0 * kDeg, 5.0 * kDeg, 0, 0, 1, 0};
    EXPECT_EQ(CSIB_NoScaleFactor, block->projection.ScaleFactor(block, &at, &value));
    EXPECT_EQ(CSIB_NoConvergence, block->projection.Convergence(block, &at, &value));

    const std::vector<uint8_t> image = csibtest::WriteImage(block);
    BlockHolder read;
    ASSERT_EQ(CSIB_Ok, csib_Read(&read.block, image.data()));
    ASSERT_EQ(kEcefPlane, read.block->projectionKind);
    const Reference& r = kPoints[4];
    const csib_GeodeticPoint point{r.latitude * kDeg, r.longitude * kDeg, r.h, 0.0, 1, 0};
    csib_GridPoint grid{};
    ASSERT_EQ(CSIB_Ok, read.block->projection.Forward(read.block, &point, &grid));
    EXPECT_NEAR(r.east, grid.east, 1e-3);
    EXPECT_NEAR(r.north, grid.north, 1e-3);
}

}  // namespace

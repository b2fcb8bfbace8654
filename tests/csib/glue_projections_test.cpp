// Blocks of the conic, cylindrical, oblique and stereographic types built from the
// job's definitions: the kind and record each type gives, values the builders replace,
// and the built block's image reading back to the same block.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "csib/image.h"
#include "csib/projection_records.h"
#include "csib_fixtures.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr int32_t kComponents = CSIBGLUE_Ellipsoid | CSIBGLUE_Projection;

coordsys_Projection Projection(int32_t type, double latitude, double longitude, double scale) {
    coordsys_Projection p;
    p.ProjectionType = type;
    p.OriginLocal = coord_Local(latitude * kDeg, longitude * kDeg, 0.0);
    p.OriginGrid = coord_CorrectedGrid(1000000.0, 500000.0, 0.0);
    p.Scale = scale;
    p.Orientation1 = 49.0 * kDeg;
    p.Orientation2 = 44.0 * kDeg;
    return p;
}

bool Build(BlockHolder& held, const coordsys_Projection& projection, int32_t* error) {
    return csibglue_BuildCsib(&held.block, kComponents, coordsys_WGS84Ellipsoid, projection, coordsys_Datum(),
                              coordsys_Plane(), coordsys_Height(), coordsys_Corrections(), 0, error);
}

TEST(GlueProjections, EveryTypeBuildsItsKindProjectsItsOriginAndReadsBack) {
    struct Type {
        int32_t type;
        uint8_t kind;
        bool originAtZero;  // the natural-origin oblique Mercator and Mercator are not
    };
    const Type types[] = {
        {COORDSYS_Mercator, 5, false},
        {COORDSYS_Lambert1Parallel, 4, true},
        {COORDSYS_Lambert2Parallel, 4, true},
        {COORDSYS_ObliqueMercatorAngle, 8, true},
        {COORDSYS_ObliqueConformalCylindrical, 7, true},
        {COORDSYS_ObliqueStereographic, 9, true},
        {COORDSYS_PolarStereographic, 11, false},
        {COORDSYS_RDStereographic, 12, true},
        {COORDSYS_AlbersEqualAreaConic, 1, true},
        {COORDSYS_CassiniSoldner, 2, true},
        {COORDSYS_StereographicDouble, 18, true},
        {COORDSYS_RSO, 8, false},
        {COORDSYS_UPSNorth, 11, true},
        {COORDSYS_UPSSouth, 11, true},
    };
    const int64_t live = csib_LiveAllocations();
    for (const Type& t : types) {
        SCOPED_TRACE(t.type);
        coordsys_Projection projection = Projection(t.type, 46.5, 3.0, 0.9996);
        projection.OriginCenter = COORDSYS_OriginAtProjectionCenter;
        if (t.kind == 8) projection.Orientation1 = 20.0 * kDeg;  // within the angles the centre allows
        BlockHolder held;
        int32_t error = -1;
        ASSERT_TRUE(Build(held, projection, &error));
        EXPECT_EQ(COORDSYS_NoError, error);
        csib_Block* block = held.block;
        EXPECT_EQ(t.kind, block->projectionKind);
        if (t.originAtZero) {
            csib_GeodeticPoint origin{block->originLatitude, block->originLongitude, 0, 0, 0, 0};
            csib_GridPoint grid{};
            ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &origin, &grid));
            EXPECT_NEAR(0.0, grid.north, 1e-6);
            EXPECT_NEAR(0.0, grid.east, 1e-6);
        }
        const std::vector<uint8_t> image = csibtest::WriteImage(block);
        BlockHolder back;
        ASSERT_EQ(CSIB_Ok, csib_Read(&back.block, image.data()));
        csibtest::ExpectEqualBlocks(block, back.block);
        EXPECT_EQ(image, csibtest::WriteImage(back.block));
    }
    EXPECT_EQ(live, csib_LiveAllocations());
}

TEST(GlueProjections, BuildersReplaceTheValuesTheirKindsFix) {
    int32_t error = -1;
    // UPS: the pole, the 2000000 m false origin and 0.994, whatever the definition says.
    for (int32_t type : {COORDSYS_UPSNorth, COORDSYS_UPSSouth}) {
        BlockHolder held;
        ASSERT_TRUE(Build(held, Projection(type, 12.0, 34.0, 0.5), &error));
        EXPECT_EQ(type == COORDSYS_UPSNorth ? 1.5707963267948966 : -1.5707963267948966, held.block->originLatitude);
        EXPECT_EQ(0.0, held.block->originLongitude);
        EXPECT_EQ(2000000.0, held.block->falseNorthing);
        EXPECT_EQ(2000000.0, held.block->falseEasting);
        EXPECT_EQ(0.994, held.block->scaleFactor);
    }
    // Albers and two-parallel Lambert: scale 1; one parallel keeps the definition's.
    struct Scale {
        int32_t type;
        double k0;
    };
    for (const Scale& s : {Scale{COORDSYS_AlbersEqualAreaConic, 1.0}, Scale{COORDSYS_Lambert2Parallel, 1.0},
                           Scale{COORDSYS_Lambert1Parallel, 0.9996}}) {
        BlockHolder held;
        ASSERT_TRUE(Build(held, Projection(s.type, 46.5, 3.0, 0.9996), &error));
        EXPECT_EQ(s.k0, held.block->scaleFactor) << s.type;
    }
    // Mercator takes a missing origin latitude as the equator.
    coordsys_Projection mercator = Projection(COORDSYS_Mercator, 0.0, 3.0, 0.9996);
    mercator.OriginLocal.Lat = MATHS_Null;
    BlockHolder held;
    ASSERT_TRUE(Build(held, mercator, &error));
    EXPECT_EQ(0.0, held.block->originLatitude);
}

TEST(GlueProjections, ObliqueMercatorFlagsFromTheDefinition) {
    struct Flags {
        int32_t type, azimuthFormat, originCenter;
        bool rectify;
        uint8_t mode, rectifyByte, centreByte;
    };
    const Flags flags[] = {
        {COORDSYS_ObliqueMercatorAngle, COORDSYS_GridAzimuth, COORDSYS_OriginAtProjectionCenter, false, 1, 0, 1},
        {COORDSYS_ObliqueMercatorAngle, COORDSYS_GeodeticAzimuth, COORDSYS_OriginAtEquator, true, 0, 1, 0},
        // The rectified skew orthomorphic: the rectified angle, rectified, from the natural
        // origin, whatever the definition holds.
        {COORDSYS_RSO, COORDSYS_GeodeticAzimuth, COORDSYS_OriginAtProjectionCenter, false, 1, 1, 0},
    };
    for (const Flags& f : flags) {
        coordsys_Projection projection = Projection(f.type, 4.0, 102.25, 0.99984);
        projection.Orientation1 = -36.86989764583333 * kDeg;
        projection.AzimuthFormat = f.azimuthFormat;
        projection.OriginCenter = f.originCenter;
        projection.Rectify = f.rectify;
        BlockHolder held;
        int32_t error = -1;
        ASSERT_TRUE(Build(held, projection, &error));
        const auto* p = static_cast<const csib_ObliqueMercatorParameters*>(held.block->projectionParameters);
        EXPECT_EQ(f.mode, p->mode);
        EXPECT_EQ(f.rectifyByte, p->rectify);
        EXPECT_EQ(f.centreByte, p->originAtCentre);
        EXPECT_EQ(projection.Orientation1, p->angle);
    }
}

TEST(GlueProjections, MissingAnglesFailTheBuild) {
    struct Missing {
        int32_t type;
        bool first, second;
    };
    for (const Missing& m : {Missing{COORDSYS_AlbersEqualAreaConic, false, true},
                             Missing{COORDSYS_Lambert2Parallel, true, false},
                             Missing{COORDSYS_ObliqueMercatorAngle, true, false}, Missing{COORDSYS_RSO, true, false}}) {
        coordsys_Projection projection = Projection(m.type, 46.5, 3.0, 0.9996);
        if (m.first) projection.Orientation1 = MATHS_Null;
        if (m.second) projection.Orientation2 = MATHS_Null;
        BlockHolder held;
        int32_t error = -1;
        EXPECT_FALSE(Build(held, projection, &error)) << m.type;
        EXPECT_EQ(CSIBGLUE_EngineError, error) << m.type;
    }
    // One parallel needs neither.
    coordsys_Projection projection = Projection(COORDSYS_Lambert1Parallel, 46.5, 3.0, 0.9996);
    projection.Orientation1 = projection.Orientation2 = MATHS_Null;
    BlockHolder held;
    int32_t error = -1;
    EXPECT_TRUE(Build(held, projection, &error));
}

}  // namespace

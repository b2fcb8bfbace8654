// The coordinate transform converting through an engine block: UTM zone 32 on WGS84
// (no datum), with and without a horizontal and an inclined-plane vertical adjustment,
// in the north-east and in the south-west orientation.
//
// Grid values and scale factors are GeographicLib's (TransverseMercatorProj -l 9
// -k 0.9996 -e 6378137 0.0033528106718309896, the flattening of the block's semi-minor
// axis 6356752.3142); the combined factor is k N / (N + h) with N the prime-vertical
// radius; the adjusted values apply the adjustments in grid terms, in Python. Values
// computed beforehand and pinned; tolerances next to them.
#include <memory>

#include <gtest/gtest.h>

#include "cogo/transfrm.h"
#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "support/recording_environment.h"

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;
constexpr double kNull = MATHS_Null;

struct Point {
    double lat, lon, h;     // degrees, metres
    double north, east, k;  // the grid and its scale factor
    double combined;        // k N / (N + h)
    // With the adjustments below in the south-west orientation, in the job's grid
    // (-north, 1000000 - east): h plus the inclined plane at the unadjusted position,
    // the adjusted position and h plus the plane there.
    double elevation, adjustedNorth, adjustedEast, adjustedElevation;
};
constexpr Point kPoints[] = {
    {48.0, 11.5, 500.0, 5319324.5636813743, 686482.6351491744, 1.0000273279893312, 0.9999490842221143,
     501.5864070662, -5319314.5814245548, 313507.1031075380, 501.5867121236},
    {60.2, 7.1, 120.5, 6675200.7444440071, 394672.4848083990, 0.9997359489792822, 0.9997171093251860,
     102.6914422517, -6675247.0545298923, 605187.4978626375, 102.6937794974},
    {-33.9, 10.4, -20.0, -3751950.4156040596, 629443.1750237489, 0.9998065547862635, 0.9998096866352647,
     71.1583676565, 3752136.0739430990, 371454.8493759295, 71.1422637519},
};

struct Definitions {
    coordsys_Ellipsoid ellipsoid = coordsys_WGS84Ellipsoid;
    coordsys_Projection projection;
    coordsys_Datum datum;
    coordsys_Plane plane;
    coordsys_Height height;
    coordsys_Corrections corrections;

    Definitions() {
        projection.ProjectionType = COORDSYS_UniversalTransverseMercator;
        projection.OriginLocal = coord_Local(0.0, 9.0 * kDeg, 0.0);
        projection.OriginGrid = coord_CorrectedGrid(0.0, 500000.0, 0.0);
        projection.Scale = 0.9996;
    }
    // In the job's grid, as the job defines them.
    void WithAdjustments() {
        plane.PlaneType = COORDSYS_ValidHorizontal;
        plane.OriginNorth = -5261000.0;
        plane.OriginEast = 410000.0;
        plane.TranslationNorth = 1.5;
        plane.TranslationEast = -2.5;
        plane.Rotation = 1e-4;
        plane.ScaleFactor = 1.00002;
        height.HeightType = COORDSYS_InclinedPlane;
        height.OriginNorth = -5262000.0;
        height.OriginEast = 409000.0;
        height.NorthAdjustment = 1e-5;
        height.EastAdjustment = -2e-5;
        height.ElevAdjustment = 0.25;
    }
    transfrm_Class* Create(uint16_t components, int32_t* error) const {
        return transfrm_Create(components, &ellipsoid, &projection, &datum, &plane, &height, &corrections, 0, error);
    }
};

constexpr uint16_t kGrid = TRANSFRM_Ellipsoid | TRANSFRM_Projection | TRANSFRM_Corrections;
constexpr uint16_t kAdjusted = kGrid | TRANSFRM_HorizontalAdjustment | TRANSFRM_Height;

class TransformConversions : public ::testing::Test {
protected:
    void SetUp() override { live = csib_LiveAllocations(); }
    void TearDown() override {
        transform.reset();
        EXPECT_EQ(live, csib_LiveAllocations()) << "engine blocks left behind";
        EXPECT_TRUE(env.assertions.empty());
    }
    void Make(const Definitions& d, uint16_t components) {
        int32_t error = -1;
        transform.reset(d.Create(components, &error));
        ASSERT_TRUE(transform);
        ASSERT_EQ(COORDSYS_NoError, error);
    }

    RecordingEnvironment env;
    int64_t live = 0;
    std::unique_ptr<transfrm_Class> transform;
};

TEST_F(TransformConversions, UTMGridAndBack) {
    Make(Definitions(), kGrid);
    for (const Point& p : kPoints) {
        SCOPED_TRACE(testing::Message() << p.lat << ", " << p.lon);
        const coord_WGS84 wgs84(p.lat * kDeg, p.lon * kDeg, p.h);
        coord_Local local;
        transform->WGS84ToLocal(wgs84, &local);
        EXPECT_NEAR(wgs84.Lat, local.Lat, 1e-15) << "no datum";
        EXPECT_NEAR(wgs84.Long, local.Long, 1e-15);
        EXPECT_NEAR(p.h, local.Height, 1e-9);

        coord_CogoGrid cogo;
        transform->LocalToCogoGrid(local, &cogo);
        EXPECT_NEAR(p.north, cogo.North, 1e-3);  // the engine's series against GeographicLib
        EXPECT_NEAR(p.east, cogo.East, 1e-3);
        EXPECT_NEAR(p.h, cogo.Elev, 1e-9) << "without a vertical model, the ellipsoid height";
        EXPECT_EQ(transform->GridToCogoGrid(coord_CorrectedGrid(p.north, p.east, 0.0)).North, p.north);

        coord_Local back;
        transform->CogoGridToLocal(coord_CogoGrid(p.north, p.east, p.h), &back);
        EXPECT_NEAR(p.lat * kDeg, back.Lat, 1e-9 * kDeg);
        EXPECT_NEAR(p.lon * kDeg, back.Long, 1e-9 * kDeg);
        EXPECT_NEAR(p.h, back.Height, 1e-9);
        coord_WGS84 w;
        transform->LocalToWGS84(back, &w);
        EXPECT_NEAR(p.lat * kDeg, w.Lat, 1e-9 * kDeg);
        EXPECT_NEAR(p.h, w.Height, 1e-9);

        EXPECT_NEAR(p.k, transform->GridScaleFactor(local), 1e-9);
        // Sea-level correction (standard projections: on by default) at the point's own
        // height; the height argument is not used.
        EXPECT_NEAR(p.combined, transform->CombinedScaleFactor(local, 9999.0), 1e-9);
    }
    // No height anywhere: no combined factor; without the correction, the grid factor.
    const Point& p = kPoints[0];
    const coord_Local flat(p.lat * kDeg, p.lon * kDeg, kNull);
    EXPECT_TRUE(maths_IsNull(transform->CombinedScaleFactor(flat, 100.0)));
    transform->Projection.GroundScale.ProjectLocation.Height = p.h;
    EXPECT_NEAR(p.combined, transform->CombinedScaleFactor(flat, kNull), 1e-9) << "the ground-origin height";
    transform->Corrections.ApplySeaLevelCorrectionOnStandardProjection = false;
    EXPECT_NEAR(p.k, transform->CombinedScaleFactor(flat, kNull), 1e-9);

    // A point without a height keeps none; a grid point far past the pole has no position.
    coord_CogoGrid cogo;
    transform->LocalToCogoGrid(flat, &cogo);
    EXPECT_NEAR(p.north, cogo.North, 1e-3);
    EXPECT_TRUE(maths_IsNull(cogo.Elev));
    coord_Local local(1, 2, 3);
    transform->CogoGridToLocal(coord_CogoGrid(1e8, 500000.0, 0.0), &local);
    EXPECT_TRUE(local.IsNull());
    transform->CogoGridToLocal(coord_CogoGrid(kNull, 500000.0, 0.0), &local);
    EXPECT_TRUE(local.IsNull()) << "half a position";
    transform->LocalToCogoGrid(coord_Local(kNull, kNull, 5.0), &cogo);
    EXPECT_TRUE(cogo.IsNull());
}

TEST_F(TransformConversions, AdjustmentsInTheSouthWestOrientation) {
    // The cogo grid is the engine's, north and east increasing; the job's grid is it
    // turned half round about the false origin (0, 500000), and the adjustments are
    // defined there. The transform re-expresses them in the cogo grid.
    Definitions d;
    d.WithAdjustments();
    d.corrections.GridOrientation = COORDSYS_IncreasingSouthWest;
    Make(d, kAdjusted);
    for (const Point& p : kPoints) {
        SCOPED_TRACE(testing::Message() << p.lat << ", " << p.lon);
        const coord_Local local(p.lat * kDeg, p.lon * kDeg, p.h);
        coord_CogoGrid cogo;
        transform->LocalToCogoGrid(local, &cogo);
        EXPECT_NEAR(p.north, cogo.North, 1e-3);
        EXPECT_NEAR(p.east, cogo.East, 1e-3);
        EXPECT_NEAR(p.elevation, cogo.Elev, 1e-6);
        const coord_CorrectedGrid grid = transform->CogoGridToGrid(cogo);
        EXPECT_NEAR(-p.north, grid.North, 1e-3);
        EXPECT_NEAR(1000000.0 - p.east, grid.East, 1e-3);

        coord_CogoGrid adjusted;
        transform->LocalToCogoGridAdjusted(local, &adjusted);
        const coord_CorrectedGrid adjustedGrid = transform->CogoGridToGrid(adjusted);
        EXPECT_NEAR(p.adjustedNorth, adjustedGrid.North, 1e-3);
        EXPECT_NEAR(p.adjustedEast, adjustedGrid.East, 1e-3);
        EXPECT_NEAR(p.adjustedElevation, adjusted.Elev, 1e-6);

        // In place, the same adjustments on the unadjusted position.
        coord_CogoGrid inPlace = cogo;
        inPlace.Elev = p.h;
        transform->ApplyHorizontalAdjustment(&inPlace);
        EXPECT_NEAR(adjusted.North, inPlace.North, 1e-6);
        EXPECT_NEAR(adjusted.East, inPlace.East, 1e-6);
        EXPECT_EQ(p.h, inPlace.Elev);
        transform->ApplyVerticalAdjustment(&inPlace);
        EXPECT_NEAR(p.adjustedElevation, inPlace.Elev, 1e-6);

        coord_Local back;
        transform->CogoGridAdjustedToLocal(adjusted, &back);
        EXPECT_NEAR(local.Lat, back.Lat, 1e-9 * kDeg);
        EXPECT_NEAR(local.Long, back.Long, 1e-9 * kDeg);
        EXPECT_NEAR(p.h, back.Height, 1e-6);
        transform->CogoGridToLocal(cogo, &back);
        EXPECT_NEAR(local.Lat, back.Lat, 1e-9 * kDeg);
        EXPECT_NEAR(p.h, back.Height, 1e-6);
    }
}

TEST_F(TransformConversions, CalculatedGroundScaleIsComputedOnInitialise) {
    Definitions d;
    d.projection.GroundScale.Type = COORDSYS_CalculatedGroundScaleFactor;
    d.projection.GroundScale.ProjectLocation = coord_Local(47.5 * kDeg, 10.2 * kDeg, 650.0);
    Make(d, kGrid);
    // 1 / (k N / (N + h)) at the project location, k from TransverseMercatorProj; the
    // deltas are its grid image (5261427.5491069388, 90375.5488330913 without the false
    // easting) times factor - 1.
    const coordsys_GroundPart& ground = transform->Projection.GroundScale;
    EXPECT_NEAR(1.0004014727075008, ground.Factor, 1e-9);
    EXPECT_NEAR(5261427.5491069388 * (ground.Factor - 1.0), ground.NorthingDelta, 1e-6);
    EXPECT_NEAR(90375.5488330913 * (ground.Factor - 1.0), ground.EastingDelta, 1e-6);
    EXPECT_EQ(1.0, d.projection.GroundScale.Factor) << "the caller's definition is not touched";

    double factor = 0, north = 0, east = 0;
    ASSERT_TRUE(transfrm_ComputeGroundScale(transform.get(), d.projection, &factor, &north, &east));
    EXPECT_EQ(ground.Factor, factor);
    EXPECT_EQ(ground.NorthingDelta, north);

    // Without the ellipsoid component nothing is computed.
    Make(d, TRANSFRM_Projection | TRANSFRM_Corrections);
    EXPECT_EQ(1.0, transform->Projection.GroundScale.Factor);
}

TEST_F(TransformConversions, CopiesConvertAlike) {
    Make(Definitions(), kGrid);
    transfrm_Class copy;
    copy = *transform;
    transform.reset();
    const Point& p = kPoints[1];
    coord_CogoGrid cogo;
    copy.LocalToCogoGrid(coord_Local(p.lat * kDeg, p.lon * kDeg, p.h), &cogo);
    EXPECT_NEAR(p.north, cogo.North, 1e-3);
    EXPECT_NEAR(p.east, cogo.East, 1e-3);
    copy.Reset();
}

}  // namespace

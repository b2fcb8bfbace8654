#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/glue.h"
#include "csib/projection_national.h"
#include "csib_fixtures.h"
#include "foundation/kernel/maths.h"
#include "projection_fixtures.h"
#include "support/recording_environment.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr uint8_t kDenmark = 16;

// Degree-2 test tables about each area's centres: x = xa + X + a X^2 + e X Y,
// y = ya - Y + b Y^2 with X, Y from the UTM centre, and their inverse to second order
// (back within 8 mm over the area).
constexpr double kA = 3e-9, kE = 1e-9, kB = -1e-9;
struct Centres {
    double utmNorth, utmEast, areaX, areaY;
};
constexpr Centres kCentres[3] = {
    {6211357.565339, 535887.734971, 179608.367287, 259884.1271},
    {6143171.658806, 679082.320128, 108578.008582, 118029.907698},
    {6109645.68068, 495134.215516, 52222.336107, 47875.442993},
};

struct Tables {
    std::vector<double> toArea, toUtm;
};

Tables MakeTables(const Centres& c, double missBack = 0.0) {
    return {{2, c.areaX, 1, kA, 0, kE, 0, c.utmNorth, c.areaY, -1, kB, 0, 0, 0, c.utmEast},
            {2, c.utmNorth + missBack, 1, -kA, 0, kE, 0, c.areaX, c.utmEast, -1, kB, 0, 0, 0, c.areaY}};
}

// Installs the test tables of all three areas for one test.
class Denmark : public ::testing::Test {
protected:
    Tables tables[3] = {MakeTables(kCentres[0]), MakeTables(kCentres[1]), MakeTables(kCentres[2])};
    void SetUp() override { Install(); }
    void Install() {
        for (uint8_t area = 1; area <= 3; ++area)
            denmark_SetAreaTables(area, tables[area - 1].toArea.data(), tables[area - 1].toUtm.data());
    }
    void TearDown() override {
        for (uint8_t area = 1; area <= 3; ++area) denmark_SetAreaTables(area, nullptr, nullptr);
    }
    static void MakeBlock(BlockHolder& held, uint8_t area) {
        ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
        ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kDenmark, &area));
    }
};

// UTM from proj +proj=utm +zone=32 / 33 +a=6378137 +b=6356752.3142 (north, east less
// 500000), and the area coordinates from the test tables' polynomial written out.
struct Town {
    uint8_t area;
    const char* name;
    double latitude, longitude, utmNorth, utmEast, north, east;
};
const Town kTowns[] = {
    {1, "Aarhus", 56.1567, 10.2108, 6224180.146422, 75206.995537, 192431.945800, 279436.679470},
    {1, "Esbjerg", 55.4765, 8.4594, 6147950.765589, -34170.181699, 116218.070952, 170062.864342},
    {2, "Copenhagen", 55.6761, 12.5683, 6175804.022199, 224351.928636, 141215.043843, 427241.750147},
    {2, "Odense", 55.4038, 10.4024, 6140622.074835, 88803.143905, 106028.674286, 291699.066409},
    {3, "Ronne", 55.1009, 14.7066, 6106058.879323, -18721.211157, 48635.623042, 438269.322307},
    {3, "Nexo", 55.06, 15.13, 6101475.916202, 8303.492690, 44052.664274, 465294.007611},
};

TEST_F(Denmark, AreasOnTheirUtmZonesAndBack) {
    for (const Town& t : kTowns) {
        BlockHolder held;
        MakeBlock(held, t.area);
        csib_Block* block = held.block;
        EXPECT_EQ((t.area == 3 ? 15.0 : 9.0) * kDeg, block->originLongitude) << t.name;
        EXPECT_EQ(500000.0, block->falseEasting);
        EXPECT_EQ(0.9996, block->scaleFactor);

        const csib_GeodeticPoint at{t.latitude * kDeg, t.longitude * kDeg, 40.0, 0.0, 1, 0};
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &at, &grid)) << t.name;
        EXPECT_NEAR(t.north, grid.north, 1e-3) << t.name;
        EXPECT_NEAR(t.east, grid.east, 1e-3) << t.name;
        EXPECT_EQ(40.0, grid.ellipsoidHeight);

        // The inverse overwrites the grid point with UTM on its way.
        csib_GridPoint in{t.north, t.east, 0, 0, 0, 0, 0, 0};
        csib_GeodeticPoint back{};
        ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &in, &back)) << t.name;
        EXPECT_NEAR(t.utmNorth, in.north, 1e-2) << t.name;
        EXPECT_NEAR(t.utmEast, in.east, 1e-2) << t.name;
        EXPECT_TRUE(csibtest::NearOnTheGround(back, t.latitude, t.longitude, 1e-2));
    }
}

TEST_F(Denmark, BoundsDirectionAndTheWayBack) {
    double x = -1.0, y = -1.0;
    struct Case {
        double north, east;
        uint8_t area;
        int direction;
        csib_Status status;
    };
    const Case cases[] = {
        {6200000.0, 500000.0, 1, 1, CSIB_Ok},
        {6500000.0, 500000.0, 1, 1, CSIB_OutsideArea},   // bounds are open
        {6200000.0, 300000.0, 1, 1, CSIB_OutsideArea},
        {6450000.0, 500000.0, 2, 1, CSIB_OutsideArea},   // inside area 1, not area 2
        {6100000.0, 400000.0, 3, 1, CSIB_OutsideArea},
        {6100000.0, 400000.1, 3, 1, CSIB_Ok},
        {100000.0, 499999.0, 1, -1, CSIB_Ok},
        {100000.0, 500000.0, 1, -1, CSIB_OutsideArea},
        {-100000.0, 100000.0, 2, -5, CSIB_OutsideArea},
        {100000.0, 150000.0, 3, -1, CSIB_OutsideArea},
        {6200000.0, 500000.0, 4, 1, CSIB_OutsideArea},
        {6200000.0, 500000.0, 0, 1, CSIB_OutsideArea},
        {6200000.0, 500000.0, 1, 0, CSIB_MissingOutput},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.status, denmark_Polynomial(c.north, c.east, &x, &y, c.area, c.direction))
            << c.north << " " << c.east << " area " << int(c.area) << " direction " << c.direction;

    // Tables that do not invert each other: the result is kept with -27.
    tables[0] = MakeTables(kCentres[0], 0.07);
    Install();
    EXPECT_EQ(CSIB_NotConverged, denmark_Polynomial(6211357.565339, 535887.734971, &x, &y, 1, 1));
    EXPECT_NEAR(179608.367287, x, 1e-6);
    EXPECT_NEAR(259884.1271, y, 1e-6);
    tables[0] = MakeTables(kCentres[0], 0.05);
    Install();
    EXPECT_EQ(CSIB_Ok, denmark_Polynomial(6211357.565339, 535887.734971, &x, &y, 1, 1));
}

TEST_F(Denmark, PointsOutsideTheAreaGetNoCoordinates) {
    BlockHolder held;
    MakeBlock(held, 1);
    csib_Block* block = held.block;
    // Beyond the area's 6500000 north of Skagen.
    const csib_GeodeticPoint north{58.75 * kDeg, 10.6 * kDeg, 0, 0, 0, 0};
    csib_GridPoint grid{-1.0, -2.0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CSIB_OutsideArea, block->projection.Forward(block, &north, &grid));
    EXPECT_EQ(-1.0, grid.north);
    EXPECT_EQ(-2.0, grid.east);

    // Without tables no area covers any point, whichever way.
    TearDown();
    const csib_GeodeticPoint aarhus{56.1567 * kDeg, 10.2108 * kDeg, 0, 0, 0, 0};
    EXPECT_EQ(CSIB_OutsideArea, block->projection.Forward(block, &aarhus, &grid));
    csib_GridPoint in{192431.9458, 279436.6795, 0, 0, 0, 0, 0, 0};
    csib_GeodeticPoint out{};
    EXPECT_EQ(CSIB_OutsideArea, block->projection.Inverse(block, &in, &out));
}

// Jutland's grid points through the inverse: status 0 only where this kind's forward
// gives the grid point back within 0.1 mm (the test tables alone miss by millimetres).
TEST_F(Denmark, InverseAnswersOnlyPointsItsForwardGivesBack) {
    BlockHolder held;
    MakeBlock(held, 1);
    csib_Block* block = held.block;
    struct Case {
        const char* where;
        double north, east;
        csib_Status status;
    };
    const Case cases[] = {
        {"Aarhus", 192431.9458, 279436.6795, CSIB_Ok},
        {"Esbjerg", 116218.0710, 170062.8643, CSIB_Ok},
        {"130 km from the tables' centre", 60000.0, 150000.0, CSIB_Ok},
        // The test tables' way back misses by more than 6 cm there.
        {"area's south-west corner", -99000.0, 599000.0, CSIB_NotConverged},
        {"beyond the area", 2000000.0, 279436.6795, CSIB_OutsideArea},
        {"null north", MATHS_Null, 279436.6795, CSIB_Ok},
    };
    for (const Case& c : cases) {
        csib_GridPoint in{c.north, c.east, 0, 0, 0, 0, 0, 0};
        csib_GeodeticPoint out{};
        ASSERT_EQ(c.status, block->projection.Inverse(block, &in, &out)) << c.where;
        if (c.status != CSIB_Ok) continue;
        if (maths_IsNull(c.north)) {
            EXPECT_TRUE(maths_IsNull(out.latitude) && maths_IsNull(out.longitude)) << c.where;
            continue;
        }
        csib_GridPoint back{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &out, &back)) << c.where;
        EXPECT_NEAR(c.north, back.north, 1e-4) << c.where;
        EXPECT_NEAR(c.east, back.east, 1e-4) << c.where;
    }
}

TEST_F(Denmark, SavedAreaScaleAndConvergence) {
    BlockHolder held;
    MakeBlock(held, 3);
    csib_Block* block = held.block;
    void* parameter = nullptr;
    ASSERT_EQ(CSIB_Ok, block->projection.GetParameters(block, 0, &parameter));
    EXPECT_EQ(3, *static_cast<uint8_t*>(parameter));
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, block->projection.GetSavedSize(block, 1, &size));
    EXPECT_EQ(1, size);
    uint8_t saved = 0;
    ASSERT_EQ(CSIB_Ok, block->projection.Save(block, &saved, 1));
    EXPECT_EQ(3, saved);
    // Transverse Mercator's on the 15 E zone: TransverseMercatorProj -e 6378137
    // 0.003352810671830975 -l 15 -k 0.9996 gives gamma -0.2406358902776244 degrees and
    // k 0.9996042995320762.
    const double kRonneScale = 0.9996042995320762, kRonneConvergence = -0.2406358902776244;
    const csib_GeodeticPoint ronne{55.1009 * kDeg, 14.7066 * kDeg, 0, 0, 0, 0};
    double k = 0.0, gamma = 0.0;
    ASSERT_EQ(CSIB_Ok, block->projection.ScaleFactor(block, &ronne, &k));
    ASSERT_EQ(CSIB_Ok, block->projection.Convergence(block, &ronne, &gamma));
    EXPECT_NEAR(kRonneScale, k, 1e-9);
    EXPECT_NEAR(kRonneConvergence, gamma / kDeg, 1e-9);
}

TEST_F(Denmark, GlueMapsTheDefinitionsArea) {
    struct Case {
        int32_t area;
        uint8_t engineArea;
        int reports;
    };
    const Case cases[] = {{COORDSYS_AreaZeeland, 2, 0}, {COORDSYS_AreaJutland, 1, 0},
                          {COORDSYS_AreaBornholm, 3, 0}, {COORDSYS_AreaNone, 0, 1}};
    for (const Case& c : cases) {
        RecordingEnvironment recorder;
        coordsys_Projection projection;
        projection.ProjectionType = COORDSYS_Denmark;
        projection.Area = c.area;
        BlockHolder held;
        int32_t error = -1;
        ASSERT_TRUE(csibtest::BuildProjection(coordsys_WGS84Ellipsoid, projection, &held.block, &error));
        ASSERT_EQ(kDenmark, held.block->projectionKind);
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, held.block->projection.GetParameters(held.block, 0, &parameter));
        EXPECT_EQ(c.engineArea, *static_cast<uint8_t*>(parameter)) << c.area;
        EXPECT_EQ(c.reports, static_cast<int>(recorder.assertions.size())) << c.area;
    }
}

}  // namespace

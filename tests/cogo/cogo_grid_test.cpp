// Coordinate geometry in the cogo grid: the mask rules, the forward point, the
// inverse, and station and offset against a line. Expected values are closed forms.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cogo/cogo.h"
#include "csib/csibplatform.h"
#include "support/recording_environment.h"
#include "transform_definitions.h"

namespace {

constexpr double kNull = MATHS_Null;
constexpr double kPi = CONSTANT_Pi;
constexpr double kTight = 1e-9;  // metres and radians of closed forms

// Azimuth and distance grid, ellipsoid distances, orthometric heights: the road mask.
constexpr int32_t kRoad = 2212;
constexpr uint16_t kPlain = TRANSFRM_Ellipsoid | TRANSFRM_Corrections;

class CogoGrid : public ::testing::Test {
protected:
    void SetUp() override {
        live = csib_LiveAllocations();
        north = TransformDefinitions().Create(kPlain);
        TransformDefinitions south;
        south.corrections.SouthAzimuth = true;
        southern = south.Create(kPlain);
        ASSERT_TRUE(north && southern);
    }
    void TearDown() override {
        north.reset();
        southern.reset();
        EXPECT_EQ(live, csib_LiveAllocations()) << "engine blocks left behind";
    }

    position_Class At(double n, double e, double h, const transfrm_Class* t = nullptr) {
        position_Class p;
        p.Name = "P";
        p.SetCogoGrid(coord_CogoGrid(n, e, h), t != nullptr ? t : north.get());
        return p;
    }

    RecordingEnvironment env;
    int64_t live = 0;
    std::unique_ptr<transfrm_Class> north, southern;
};

void ExpectCogo(double n, double e, double h, position_Class& p, const transfrm_Class* t, double tolerance = kTight) {
    const coord_CogoGrid c = p.GetCogoGrid(t);
    EXPECT_NEAR(n, c.North, tolerance);
    EXPECT_NEAR(e, c.East, tolerance);
    if (maths_IsNull(h))
        EXPECT_TRUE(maths_IsNull(c.Elev)) << c.Elev;
    else
        EXPECT_NEAR(h, c.Elev, tolerance);
}

TEST_F(CogoGrid, MaskRulesAreReportedByText) {
    cogo_CheckMask(kRoad);
    EXPECT_TRUE(env.assertions.empty());
    // The rules ask for at least one bit of each group (the exclusive or of two bits
    // holds for either or both).
    cogo_CheckMask(COORDSYS_CogoGroundDistances | COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoEllipsoidHeights |
                   COORDSYS_CogoOrthoHeights | COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid);
    EXPECT_TRUE(env.assertions.empty());
    cogo_CheckMask(0x100);
    EXPECT_EQ((std::vector<std::string>{
                  "Mask & (COORDSYS_CogoAzimuthWGS84 | COORDSYS_CogoAzimuthLocal | COORDSYS_CogoAzimuthGrid )",
                  "Mask & (COORDSYS_CogoDistanceWGS84 | COORDSYS_CogoDistanceLocal | COORDSYS_CogoDistanceGrid)",
                  "(Mask & COORDSYS_CogoGroundDistances) ^ (Mask & COORDSYS_CogoEllipsoidDistances)",
                  "(Mask & COORDSYS_CogoEllipsoidHeights) ^ (Mask & COORDSYS_CogoOrthoHeights)"}),
              env.Expressions());
}

TEST_F(CogoGrid, SharedHelpers) {
    EXPECT_TRUE(cogo_AnglesEqual(0.0, 4.8e-8));
    EXPECT_FALSE(cogo_AnglesEqual(0.0, 4.9e-8));
    EXPECT_TRUE(cogo_AnglesEqual(2 * kPi - 1e-8, 1e-8));  // across north
    EXPECT_FALSE(cogo_AnglesEqual(kNull, kNull));
    EXPECT_TRUE(cogo_DistancesEqual(1.0, 1.0004));
    EXPECT_FALSE(cogo_DistancesEqual(1.0, 1.0006));
    EXPECT_FALSE(cogo_DistancesEqual(kNull, kNull));
    EXPECT_TRUE(cogo_DistancesEqualLoose(1.0, 1.0049));
    EXPECT_FALSE(cogo_DistancesEqualLoose(1.0, 1.0051));
    EXPECT_EQ(0.0, cogo_GetAzimuthOffset(north.get()));
    EXPECT_EQ(kPi, cogo_GetAzimuthOffset(southern.get()));
    EXPECT_FALSE(cogo_IsScaleOnly(north.get()));
}

TEST_F(CogoGrid, ForwardPoint) {
    struct Case {
        const char* what;
        bool south;
        double azimuth, distance, dv;
        double n, e, h;
    };
    const Case cases[] = {
        {"north", false, 0.0, 100.0, 0.0, 1100.0, 2000.0, 50.0},
        {"rising", false, 0.0, 100.0, 2.0, 1100.0, 2000.0, 52.0},
        {"south azimuths", true, 0.0, 100.0, 0.0, 900.0, 2000.0, 50.0},
        {"east", false, kPi / 2, 100.0, 0.0, 1000.0, 2100.0, 50.0},
        {"negative distance", false, kPi / 2, -100.0, 0.0, 1000.0, 1900.0, 50.0},
        {"null vertical difference", false, 0.0, 100.0, kNull, 1100.0, 2000.0, kNull},
        {"null azimuth", false, kNull, 100.0, 1.0, kNull, kNull, 51.0},
        {"null distance", false, 0.0, kNull, 1.0, kNull, kNull, 51.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const transfrm_Class* t = c.south ? southern.get() : north.get();
        position_Class start = At(1000.0, 2000.0, 50.0, t);
        position_Class result;
        cogo_ComputePoint(start, t, &c.azimuth, &c.distance, &c.dv, &result, kRoad);
        EXPECT_EQ("P", result.Name);
        ExpectCogo(c.n, c.e, c.h, result, t);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoGrid, ForwardPointIntoItsOwnStart) {
    position_Class p = At(1000.0, 2000.0, 50.0);
    const double azimuth = kPi, distance = 10.0, dv = -1.0;
    cogo_ComputePoint(p, north.get(), &azimuth, &distance, &dv, &p, kRoad);
    ExpectCogo(990.0, 2000.0, 49.0, p, north.get());
}

TEST_F(CogoGrid, GroundDistancesAtSeaLevelUseTheMidHeight) {
    // Azimuth and distance grid with ground distances: the standard sea-level flag is on.
    const int32_t ground = COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid | COORDSYS_CogoGroundDistances |
                           COORDSYS_CogoOrthoHeights;
    position_Class start = At(1000.0, 2000.0, 100.0);
    const double azimuth = 0.0, distance = 100.0, dv = 10.0;
    position_Class result;
    cogo_ComputePoint(start, north.get(), &azimuth, &distance, &dv, &result, ground);
    ExpectCogo(1000.0 + 100.0 * 6378137.0 / (6378137.0 + 105.0), 2000.0, 110.0, result, north.get());

    // Without a height anywhere the ground distance cannot be reduced.
    position_Class heightless = At(1000.0, 2000.0, kNull);
    cogo_ComputePoint(heightless, north.get(), &azimuth, &distance, &dv, &result, ground);
    EXPECT_FALSE(result.IsDefined());
}

TEST_F(CogoGrid, ScaleOnlyTransforms) {
    TransformDefinitions definitions;
    definitions.projection.ProjectionType = COORDSYS_ScaleOnly;
    definitions.projection.Scale = 1.0002;
    auto scaled = definitions.Create(kPlain | TRANSFRM_Projection);
    ASSERT_TRUE(scaled);
    EXPECT_TRUE(cogo_IsScaleOnly(scaled.get()));
    const int32_t local = COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceLocal | COORDSYS_CogoOrthoHeights;
    const int32_t groundMask = local | COORDSYS_CogoGroundDistances;
    const int32_t ellipsoidMask = local | COORDSYS_CogoEllipsoidDistances;

    position_Class start = At(1000.0, 2000.0, 50.0, scaled.get());
    position_Class end = At(1100.02, 2000.0, 50.0, scaled.get());
    const double azimuth = 0.0, distance = 100.0, dv = 0.0;
    position_Class result;
    cogo_ComputePoint(start, scaled.get(), &azimuth, &distance, &dv, &result, groundMask);
    ExpectCogo(1100.02, 2000.0, 50.0, result, scaled.get());
    double d = kNull;
    cogo_InverseDistance(start, end, scaled.get(), &d, groundMask);
    EXPECT_NEAR(100.0, d, kTight);

    cogo_ComputePoint(start, scaled.get(), &azimuth, &distance, &dv, &result, ellipsoidMask);
    EXPECT_FALSE(result.IsDefined());
    cogo_InverseDistance(start, end, scaled.get(), &d, ellipsoidMask);
    EXPECT_TRUE(maths_IsNull(d));
}

TEST_F(CogoGrid, AScaleOnlyProjectionWithoutAScaleGivesNull) {
    // A projection element without a scale stores null; a zero scale measures nothing.
    const int32_t groundMask = COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceLocal | COORDSYS_CogoGroundDistances |
                               COORDSYS_CogoOrthoHeights;
    for (const double scale : {kNull, 0.0}) {
        SCOPED_TRACE(scale);
        TransformDefinitions definitions;
        definitions.projection.ProjectionType = COORDSYS_ScaleOnly;
        definitions.projection.Scale = scale;
        auto scaled = definitions.Create(kPlain | TRANSFRM_Projection);
        ASSERT_TRUE(scaled);
        position_Class start = At(1000.0, 2000.0, 50.0, scaled.get());
        position_Class end = At(1100.0, 2000.0, 50.0, scaled.get());
        const double azimuth = 0.0, distance = 100.0, dv = 0.0;
        position_Class result;
        cogo_ComputePoint(start, scaled.get(), &azimuth, &distance, &dv, &result, groundMask);
        ExpectCogo(kNull, kNull, 50.0, result, scaled.get(), 0.0);
        double d = 1.0;
        cogo_InverseDistance(start, end, scaled.get(), &d, groundMask);
        EXPECT_TRUE(maths_IsNull(d)) << d;
    }
}

TEST_F(CogoGrid, VerticalDifferenceUnderTwoDistanceSystems) {
    position_Class p = At(1000.0, 2000.0, 50.0);
    const double dv = 2.0;
    const int32_t twoSystems = COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceWGS84 | COORDSYS_CogoDistanceLocal |
                               COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoOrthoHeights;
    cogo_ApplyVerticalDifference(&p, north.get(), &dv, twoSystems);
    ExpectCogo(1000.0, 2000.0, 52.0, p, north.get());
    EXPECT_EQ(std::vector<std::string>{"Unknown elevation system"}, env.Expressions());

    position_Class to = At(5.0, 6.0, kNull);
    cogo_CopyHeight(p, &to, north.get(), kRoad);
    ExpectCogo(5.0, 6.0, 52.0, to, north.get());
}

TEST_F(CogoGrid, ForwardFromPolarAndGround) {
    position_Class start = At(0.0, 0.0, 10.0);
    position_Class result;
    cogo_ComputePointFromPolar(start, north.get(), coord_Polar(kPi, 20.0, -3.0), &result, kRoad);
    ExpectCogo(-20.0, 0.0, 7.0, result, north.get());
    cogo_ComputePointFromGround(start, north.get(), coord_Ground(0.0, std::atan(0.5), 20.0), &result, kRoad);
    ExpectCogo(20.0, 0.0, 20.0, result, north.get());
    cogo_ComputePointFromGround(start, north.get(), coord_Ground(0.0, kPi / 2, 20.0), &result, kRoad);
    EXPECT_FALSE(result.IsDefined());
    // Without a vertical angle the height goes.
    cogo_ComputePointFromGround(start, north.get(), coord_Ground(0.0, kNull, 20.0), &result, kRoad);
    ExpectCogo(20.0, 0.0, kNull, result, north.get());
}

TEST_F(CogoGrid, Inverse) {
    struct Case {
        const char* what;
        bool south;
        double n2, e2, h2;
        double azimuth, distance, dv, slope;
    };
    const Case cases[] = {
        {"north-east", false, 100.0, 100.0, 13.0, kPi / 4, 141.4213562373095, 3.0, std::sqrt(20009.0)},
        {"south azimuths", true, 100.0, 100.0, 13.0, 5 * kPi / 4, 141.4213562373095, 3.0, std::sqrt(20009.0)},
        {"west", false, 0.0, -50.0, kNull, 3 * kPi / 2, 50.0, kNull, kNull},
        {"coincident", false, 0.0, 0.0, 10.0, kNull, 0.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const transfrm_Class* t = c.south ? southern.get() : north.get();
        position_Class p1 = At(0.0, 0.0, 10.0, t);
        position_Class p2 = At(c.n2, c.e2, c.h2, t);
        double azimuth = 1.0, distance = kNull, dv = kNull, slope = kNull;
        cogo_Inverse(p1, p2, t, &azimuth, &distance, &dv, &slope, kRoad);
        const double got[] = {azimuth, distance, dv, slope};
        const double want[] = {c.azimuth, c.distance, c.dv, c.slope};
        for (int i = 0; i < 4; ++i) {
            if (maths_IsNull(want[i]))
                EXPECT_TRUE(maths_IsNull(got[i])) << i << ": " << got[i];
            else
                EXPECT_NEAR(want[i], got[i], kTight) << i;
        }
        coord_Polar polar;
        cogo_InversePolar(p1, p2, t, &polar, &slope, kRoad);
        EXPECT_EQ(azimuth, polar.Azimuth);
        EXPECT_EQ(distance, polar.HDist);
    }
}

TEST_F(CogoGrid, GridInverseWithoutGridAzimuthsKeepsTheCallersAzimuth) {
    position_Class p1 = At(0.0, 0.0, 0.0);
    position_Class p2 = At(3.0, 4.0, 0.0);
    double azimuth = 0.25, distance = kNull;
    cogo_InverseAzimuthDistance(p1, p2, north.get(), &azimuth, &distance,
                                COORDSYS_CogoAzimuthLocal | COORDSYS_CogoDistanceGrid |
                                    COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoOrthoHeights);
    EXPECT_EQ(0.25, azimuth);
    EXPECT_NEAR(5.0, distance, kTight);
}

TEST_F(CogoGrid, Deltas) {
    position_Class p1 = At(10.0, 20.0, 30.0);
    position_Class p2 = At(15.0, 12.0, kNull);
    double n = 0, e = 0, h = 0;
    cogo_CogoGridDeltas(p1, p2, north.get(), &n, &e, &h);
    EXPECT_EQ(5.0, n);
    EXPECT_EQ(-8.0, e);
    EXPECT_TRUE(maths_IsNull(h));
    cogo_GridDeltas(p1, p2, north.get(), &n, &e, &h);
    EXPECT_EQ(5.0, n);
    EXPECT_EQ(-8.0, e);
    position_Class nowhere;
    cogo_CogoGridDeltas(p1, nowhere, north.get(), &n, &e, &h);
    EXPECT_TRUE(maths_IsNull(n) && maths_IsNull(e) && maths_IsNull(h));
}

TEST_F(CogoGrid, PointToLine) {
    struct Case {
        double n, e;
        double azimuth;
        double station, offset, footAzimuth;
    };
    const Case cases[] = {
        {10.0, 5.0, 0.0, 10.0, 5.0, 0.0},
        {10.0, -5.0, 0.0, 10.0, -5.0, 0.0},
        {-10.0, 5.0, 0.0, -10.0, 5.0, 0.0},
        {0.0, 7.0, 0.0, 0.0, 7.0, 0.0},
        {30.0, 40.0, kPi / 4, 35.0 * std::sqrt(2.0), 5.0 * std::sqrt(2.0), kPi / 4},
        {-5.0, 0.0, kPi / 2, 0.0, 5.0, kPi / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << ", " << c.e);
        position_Class start = At(0.0, 0.0, 100.0);
        position_Class point = At(c.n, c.e, 101.0);
        position_Class foot;
        double footAzimuth = kNull, station = kNull, offset = kNull, dv = kNull;
        const double grade = 0.0;
        EXPECT_EQ(COGO_Ok, cogo_PointToLine(start, north.get(), &c.azimuth, &grade, point, &foot, &footAzimuth,
                                            &station, &offset, &dv, kRoad));
        EXPECT_NEAR(c.station, station, 1e-6);
        EXPECT_NEAR(c.offset, offset, 1e-6);
        EXPECT_NEAR(c.footAzimuth, footAzimuth, 1e-9);
        EXPECT_NEAR(1.0, dv, 1e-9);
        ExpectCogo(c.station * std::cos(c.azimuth), c.station * std::sin(c.azimuth), 100.0, foot, north.get(),
                   1e-6);
    }
}

TEST_F(CogoGrid, PointToLineOnAGradeAndItsFailures) {
    position_Class start = At(0.0, 0.0, 100.0);
    position_Class point = At(20.0, -3.0, 100.0);
    position_Class foot;
    double footAzimuth = kNull, station = kNull, offset = kNull, dv = kNull;
    const double azimuth = 0.0, grade = std::atan(0.1);
    EXPECT_EQ(COGO_Ok, cogo_PointToLine(start, north.get(), &azimuth, &grade, point, &foot, &footAzimuth, &station,
                                        &offset, &dv, kRoad));
    EXPECT_NEAR(20.0, station, 1e-6);
    EXPECT_NEAR(-3.0, offset, 1e-6);
    EXPECT_NEAR(-2.0, dv, 1e-9);  // the foot lies 2 m up the grade
    ExpectCogo(20.0, 0.0, 102.0, foot, north.get(), 1e-6);

    // On the start itself.
    position_Class same = At(0.0, 0.0, 90.0);
    EXPECT_EQ(COGO_Ok, cogo_PointToLine(start, north.get(), &azimuth, &grade, same, &foot, &footAzimuth, &station,
                                        &offset, &dv, kRoad));
    EXPECT_EQ(0.0, station);
    EXPECT_EQ(0.0, offset);
    EXPECT_EQ(azimuth, footAzimuth);

    const double none = kNull;
    EXPECT_EQ(COGO_NullInput, cogo_PointToLine(start, north.get(), &none, &grade, point, &foot, &footAzimuth,
                                               &station, &offset, &dv, kRoad));
    position_Class nowhere;
    EXPECT_EQ(COGO_NullInput, cogo_PointToLine(start, north.get(), &azimuth, &grade, nowhere, &foot, &footAzimuth,
                                               &station, &offset, &dv, kRoad));
}

TEST_F(CogoGrid, PointToLineWithOffsets) {
    struct Case {
        double n, e;
        double horizontal, vertical;
        double offset, dv;
    };
    const Case cases[] = {
        {10.0, 5.0, 2.0, 1.0, 3.0, 0.0},     // right of the offset line
        {10.0, 1.0, 2.0, 1.0, -1.0, 0.0},    // between the line and the offset line
        {10.0, -4.0, -2.0, 0.5, -2.0, 0.5},  // offset line on the left
        {10.0, 5.0, 0.0, 0.0, 5.0, 1.0},     // no offsets: the base line's answer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.e << " against " << c.horizontal);
        position_Class start = At(0.0, 0.0, 100.0);
        position_Class point = At(c.n, c.e, 101.0);
        position_Class foot;
        double footAzimuth = kNull, station = kNull, offset = kNull, dv = kNull;
        const double azimuth = 0.0, grade = 0.0;
        EXPECT_EQ(COGO_Ok, cogo_PointToLineWithOffsets(start, north.get(), &azimuth, &c.horizontal, &c.vertical,
                                                       &grade, point, &foot, &footAzimuth, &station, &offset, &dv,
                                                       kRoad));
        EXPECT_NEAR(10.0, station, 1e-6);
        EXPECT_NEAR(c.offset, offset, 1e-6);
        EXPECT_NEAR(c.dv, dv, 1e-9);
        EXPECT_NEAR(0.0, footAzimuth, 1e-9);
    }
}

TEST_F(CogoGrid, Behind) {
    position_Class start = At(0.0, 0.0, 0.0);
    const double azimuth = kPi / 2;
    struct Case {
        double n, e;
        cogo_Result result;
    };
    const Case cases[] = {
        {5.0, 10.0, COGO_Ok}, {5.0, -10.0, COGO_Behind}, {-5.0, -0.1, COGO_Behind}, {0.0, 0.0, COGO_Ok},
    };
    for (const Case& c : cases) {
        position_Class point = At(c.n, c.e, 0.0);
        EXPECT_EQ(c.result, cogo_IsBehind(start, &azimuth, point, north.get(), kRoad)) << c.n << ", " << c.e;
    }
}

TEST_F(CogoGrid, GridHeightsAreCommonAsTheyStand) {
    position_Class p1 = At(0.0, 0.0, 10.0);
    position_Class p2 = At(1.0, 1.0, kNull);
    position_Class c1, c2;
    cogo_CommonHeight(p1, p2, north.get(), &c1, &c2, kRoad);
    ExpectCogo(0.0, 0.0, 10.0, c1, north.get());
    ExpectCogo(1.0, 1.0, kNull, c2, north.get());
    EXPECT_FALSE(c1.HeightBorrowed || c2.HeightBorrowed);
    // Ellipsoid distances: a missing height takes the base, 0 without a ground origin.
    EXPECT_EQ(5.0, cogo_MeanHeight(p1, p2, north.get(), kRoad));
    position_Class p3 = At(1.0, 1.0, kNull);
    EXPECT_EQ(0.0, cogo_MeanHeight(p2, p3, north.get(), kRoad));
}

}  // namespace

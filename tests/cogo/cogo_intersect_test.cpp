// Intersections of lines and circles: closed forms in the cogo grid, and on the
// ellipsoid against the geodesic.
//
// Ellipsoid references were built with GeographicLib's GeodSolve (-p 12) on WGS-84 and
// on International 1924 (-e 6378388 1/297): from the first point a geodesic along its
// azimuth to the intersection X, from X a geodesic to the second point, whose azimuth
// back to X is the second line's (GeodSolve -i from each start to X gives the two
// azimuths back). The circle case likewise: X at 3000 m from the first centre, the
// second centre 4000 m from X.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cogo/cogo_intersect.h"
#include "csib/csibplatform.h"
#include "support/recording_environment.h"
#include "transform_definitions.h"

namespace {

constexpr double kNull = MATHS_Null;
constexpr double kPi = CONSTANT_Pi;
constexpr double kDeg = kPi / 180.0;
constexpr double kTight = 1e-9;
constexpr int32_t kRoad = 2212;          // grid azimuths and distances, grid elevations
constexpr int32_t kWGS84Mask = 0x489;    // WGS84 azimuths and distances on the ellipsoid
constexpr int32_t kLocalMask = 0x492;    // the same on the local ellipsoid

bool IsNull(double x) { return maths_IsNull(x); }

TEST(CogoIntersectLines, ClosedForms) {
    struct {
        coord_CogoGrid p1;
        double a1;
        coord_CogoGrid p2;
        double a2;
        cogo_Result code;
        double north, east;
    } cases[] = {
        {{0, 0, 0}, 0, {5, -5, 0}, kPi / 2, COGO_Ok, 5, 0},
        {{0, 0, 0}, kPi / 2, {-3, 4, 0}, 0, COGO_Ok, 0, 4},        // first line east-west
        {{-3, 4, 0}, kPi, {0, 0, 0}, 3 * kPi / 2, COGO_Ok, 0, 4},  // second line east-west
        {{0, 0, 0}, kPi / 4, {0, 10, 0}, 7 * kPi / 4, COGO_Ok, 5, 5},
        {{100, 200, 0}, 1.0, {-50, 300, 0}, 2.5, COGO_Ok, 94.76948986461531, 191.85396311126613},
        {{0, 0, 0}, 0, {5, -5, 0}, kPi, COGO_Parallel, kNull, kNull},
        {{0, 0, 0}, 0.3, {5, -5, 0}, 0.3 + 4.8e-8, COGO_Parallel, kNull, kNull},
        {{0, 0, 0}, 0.3, {5, -5, 0}, 0.3 + kPi - 4.8e-8, COGO_Parallel, kNull, kNull},
        {{0, 0, 0}, kNull, {5, -5, 0}, 1, COGO_NullInput, kNull, kNull},
        {{kNull, 0, 0}, 0, {5, -5, 0}, 1, COGO_NullInput, kNull, kNull},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a1 << ", " << c.a2);
        coord_CogoGrid meet(1, 1, 1);
        EXPECT_EQ(c.code, cogo_IntersectLines(c.p1, &c.a1, c.p2, &c.a2, &meet));
        if (c.code != COGO_Ok) {
            EXPECT_TRUE(meet.IsNull());
            continue;
        }
        EXPECT_NEAR(c.north, meet.North, kTight);
        EXPECT_NEAR(c.east, meet.East, kTight);
        EXPECT_TRUE(IsNull(meet.Elev));
    }
}

class CogoIntersectGrid : public CogoGridTest {};

TEST_F(CogoIntersectGrid, BearingBearing) {
    position_Class p1 = At(0, 0, 10, "A"), p2 = At(5, -5, 20);
    const double north = 0, east = kPi / 2, south = kPi;
    position_Class result;
    ASSERT_EQ(COGO_Ok, cogo_IntersectBearingBearing(p1, &north, p2, transform.get(), &east, &result, kRoad));
    ExpectAt(5, 0, kNull, result);
    EXPECT_EQ(Str("A"), result.Name);
    EXPECT_EQ(COGO_Parallel, cogo_IntersectBearingBearing(p1, &north, p2, transform.get(), &south, &result, kRoad));
    EXPECT_FALSE(result.IsDefined());
    EXPECT_EQ(Str("A"), result.Name);
    // Into the first position itself.
    ASSERT_EQ(COGO_Ok, cogo_IntersectBearingBearing(p1, &north, p2, transform.get(), &east, &p1, kRoad));
    ExpectAt(5, 0, kNull, p1);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoIntersectGrid, TwoCircles) {
    position_Class c1 = At(0, 0, 10), c2 = At(8, 0, 20), r1, r2;
    const double five = 5;
    // Result 1 at the azimuth between the centres plus the angle at centre 1.
    ASSERT_EQ(COGO_Ok, cogo_IntersectDistanceDistance(c1, &five, c2, &five, transform.get(), &r1, &r2, kRoad));
    ExpectAt(4, 3, 10, r1);
    ExpectAt(4, -3, 10, r2);

    struct {
        coord_CogoGrid second;
        double radius1, radius2;
        cogo_Result code;
    } failures[] = {
        {{12, 0, 0}, 5, 5, COGO_TooFarApart},
        {{1, 0, 0}, 1, 5, COGO_CircleInside},
        {{1, 0, 0}, 5, 1, COGO_CircleInside},
        {{0, 0, 0}, 5, 5, COGO_CoincidentCentres},
        {{8, 0, 0}, 0.0001, 5, COGO_Degenerate},
        {{8, 0, 0}, kNull, 5, COGO_NullInput},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.code);
        position_Class second = At(f.second.North, f.second.East, 0);
        EXPECT_EQ(f.code, cogo_IntersectDistanceDistance(c1, &f.radius1, second, &f.radius2, transform.get(), &r1,
                                                         &r2, kRoad));
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoIntersectGrid, TouchingCirclesGiveOnePoint) {
    // The cosine of the angle at centre 1 rounds to 1.0000000000000004 (and
    // 1.0000000000000002 inside): the touching point, not two NaN points.
    struct {
        coord_CogoGrid c2;
        double r1, r2;
        double north, east;
    } cases[] = {
        {{0.4, 0, 0}, 0.1, 0.3, 0.1, 0},
        {{0.24, 0.32, 0}, 0.1, 0.3, 0.06, 0.08},
        {{0.2, 0, 0}, 0.3, 0.1, 0.3, 0},
        {{0, 8, 0}, 5, 3, 0, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.c2.North << ", " << c.c2.East);
        position_Class c1 = At(0, 0, 0), c2 = At(c.c2.North, c.c2.East, 0), r1, r2 = At(9, 9, 9);
        ASSERT_EQ(COGO_Ok, cogo_IntersectDistanceDistance(c1, &c.r1, c2, &c.r2, transform.get(), &r1, &r2, kRoad));
        ExpectAt(c.north, c.east, 0, r1, 1e-12);
        EXPECT_FALSE(r2.IsDefined());
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoIntersectGrid, LineAndCircle) {
    // The line runs north through the origin; the centre lies 3 m right of it.
    position_Class start = At(0, 0, 10, "S"), centre = At(10, 3, 10);
    const double north = 0.0;
    position_Class r1, r2;
    const double two = 2, three = 3, five = 5, ten = 10;
    EXPECT_EQ(COGO_TooShort,
              cogo_IntersectBearingDistance(start, &north, centre, transform.get(), &two, &r1, &r2, kRoad));
    // Touching: the foot alone; result 2 stays as it was made.
    ASSERT_EQ(COGO_Ok, cogo_IntersectBearingDistance(start, &north, centre, transform.get(), &three, &r1, &r2, kRoad));
    ExpectAt(10, 0, 10, r1);
    EXPECT_FALSE(r2.IsDefined());
    ASSERT_EQ(COGO_Ok, cogo_IntersectBearingDistance(start, &north, centre, transform.get(), &five, &r1, &r2, kRoad));
    ExpectAt(14, 0, 10, r1);
    ExpectAt(6, 0, 10, r2);
    // Through the centre: the radius either way from it.
    position_Class onLine = At(10, 0, 10);
    ASSERT_EQ(COGO_Ok, cogo_IntersectBearingDistance(start, &north, onLine, transform.get(), &ten, &r1, &r2, kRoad));
    ExpectAt(20, 0, 10, r1);
    ExpectAt(0, 0, 10, r2);
    EXPECT_EQ(COGO_NullInput,
              cogo_IntersectBearingDistance(start, &north, centre, transform.get(), nullptr, &r1, &r2, kRoad));
    EXPECT_EQ(std::vector<std::string>{}, env.Expressions());
}

TEST_F(CogoIntersectGrid, TangentLineWithinRounding) {
    // An offset that rounds a hair above the radius still touches.
    position_Class start = At(0, 0, 0), centre = At(10, 0.1 + 0.2, 0);
    const double north = 0.0, radius = 0.3;
    position_Class r1, r2;
    ASSERT_EQ(COGO_Ok, cogo_IntersectBearingDistance(start, &north, centre, transform.get(), &radius, &r1, &r2, kRoad));
    ExpectAt(10, 0, 0, r1);
}

TEST_F(CogoIntersectGrid, DistanceOnLineBrackets) {
    position_Class centre = At(10, 3, 0), foot = At(10, 0, 0), result;
    const double north = 0.0, five = 5, three = 3, behind = kPi;
    ASSERT_EQ(COGO_Ok, cogo_SolveDistanceOnLine(centre, transform.get(), &five, foot, &north, &three, &result, kRoad));
    ExpectAt(14, 0, 0, result);
    ASSERT_EQ(COGO_Ok, cogo_SolveDistanceOnLine(centre, transform.get(), &five, foot, &behind, &three, &result, kRoad));
    ExpectAt(6, 0, 0, result);
    // A given offset that is not the centre's: the first try misses and the bracket
    // closes in on the point.
    const double wrong = 4.0;
    ASSERT_EQ(COGO_Ok, cogo_SolveDistanceOnLine(centre, transform.get(), &five, foot, &north, &wrong, &result, kRoad));
    ExpectAt(14, 0, 0, result, COGO_DistanceTolerance);
    EXPECT_EQ(COGO_NullInput,
              cogo_SolveDistanceOnLine(centre, transform.get(), &five, foot, &north, nullptr, &result, kRoad));
    EXPECT_FALSE(result.IsDefined());
}

// --- On the ellipsoid ----------------------------------------------------------------

struct Crossing {
    double lat1, lon1, azimuth1;  // degrees
    double lat2, lon2, azimuth2;
    double latX, lonX;            // the geodesics' intersection
    double secondToX;             // metres
};

constexpr Crossing kWGS84Crossings[] = {
    {46.0, 7.0, 40.0, 46.003283437841617, 7.067335794474339, 330.01857940725894, 46.034451888863366,
     7.041515589663238, 4000},
    {-33.9, 151.2, 250.0, -33.898005313136039, 151.124331784199427, 189.996857781160966, -33.924640875959930,
     151.118699650602764, 3000},
};
constexpr Crossing kInternationalCrossing = {46.0, 10.0, 40.0, 46.003283330283708, 10.067332648876691,
                                             330.018578539425544, 46.034450755128205, 10.041513649840800, 4000};

// The search stops once the azimuth from the second point is within 0.01" of azimuth 2
// (measured against GeodSolve: 0.0023" and 0.0065" off there, 0.0001" from the first
// point), so the result may lie that far across the second line.
double Across(const Crossing& c) { return c.secondToX * 0.01 * CONSTANT_Pi / 180.0 / 3600.0; }

class CogoIntersectEllipsoid : public ::testing::Test {
protected:
    void SetUp() override {
        transfrm_GetWGS84Transform();  // kept to the end of the process
        live = csib_LiveAllocations();
    }
    void TearDown() override { EXPECT_EQ(live, csib_LiveAllocations()) << "a transform was left alive"; }

    static position_Class Geodetic(double lat, double lon, double h, const transfrm_Class* t, bool local) {
        position_Class p;
        p.Name = "P";
        cogo_SetGeodetic(p, t, coord_Local(lat * kDeg, lon * kDeg, h), local);
        return p;
    }
    // Metres between a position and a point given in degrees, a few metres apart at most.
    static double Apart(position_Class& p, const transfrm_Class* t, bool local, double lat, double lon) {
        coord_Local c;
        cogo_GetGeodetic(p, t, &c, local);
        const double north = (c.Lat - lat * kDeg) * 6378137.0;
        const double east = (c.Long - lon * kDeg) * 6378137.0 * std::cos(lat * kDeg);
        return std::hypot(north, east);
    }

    RecordingEnvironment env;
    int64_t live = 0;
};

TEST_F(CogoIntersectEllipsoid, BearingBearingThroughThePlane) {
    // WGS84 positions under a transform without a projection have no cogo grid: the
    // start value comes from the temporary plane at the first point.
    const transfrm_Class* t = transfrm_GetWGS84Transform();
    for (const Crossing& c : kWGS84Crossings) {
        SCOPED_TRACE(c.lat1);
        for (double h : {kNull, 250.0}) {
            position_Class p1 = Geodetic(c.lat1, c.lon1, h, t, false);
            position_Class p2 = Geodetic(c.lat2, c.lon2, h, t, false);
            ASSERT_TRUE(p1.GetCogoGrid(t).IsHorizontalNull());
            const double a1 = c.azimuth1 * kDeg, a2 = c.azimuth2 * kDeg;
            position_Class result;
            ASSERT_EQ(COGO_Ok, cogo_IntersectBearingBearing(p1, &a1, p2, t, &a2, &result, kWGS84Mask));
            EXPECT_LT(Apart(result, t, false, c.latX, c.lonX), Across(c));
            const double height = result.GetWGS84(t).Height;
            if (IsNull(h))
                EXPECT_TRUE(IsNull(height));
            else
                EXPECT_NEAR(h, height, 1e-6);
        }
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoIntersectEllipsoid, BearingBearingFromTheGrid) {
    // Local positions under a job transform have a cogo grid: the start value is the
    // grid intersection, taken with the local azimuths (off by the convergence).
    auto job = TransformDefinitions().TransverseMercator().International().Create(
        TRANSFRM_Ellipsoid | TRANSFRM_Datum | TRANSFRM_Projection | TRANSFRM_Corrections);
    ASSERT_TRUE(job);
    const Crossing& c = kInternationalCrossing;
    position_Class p1 = Geodetic(c.lat1, c.lon1, 300.0, job.get(), true);
    position_Class p2 = Geodetic(c.lat2, c.lon2, 300.0, job.get(), true);
    ASSERT_FALSE(p1.GetCogoGrid(job.get()).IsHorizontalNull());
    const double a1 = c.azimuth1 * kDeg, a2 = c.azimuth2 * kDeg;
    position_Class result;
    ASSERT_EQ(COGO_Ok, cogo_IntersectBearingBearing(p1, &a1, p2, job.get(), &a2, &result, kLocalMask));
    EXPECT_LT(Apart(result, job.get(), true, c.latX, c.lonX), Across(c));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoIntersectEllipsoid, BearingBearingFailuresAndCrossingsBehindOrAtTheStarts) {
    const transfrm_Class* t = transfrm_GetWGS84Transform();
    const Crossing& c = kWGS84Crossings[0];
    position_Class p1 = Geodetic(c.lat1, c.lon1, 100.0, t, false);
    position_Class p2 = Geodetic(c.lat2, c.lon2, 100.0, t, false);
    position_Class nowhere, result;
    const double a1 = c.azimuth1 * kDeg, a2 = c.azimuth2 * kDeg, back = a1 + kPi;
    EXPECT_EQ(COGO_Parallel, cogo_IntersectBearingBearing(p1, &a1, p2, t, &back, &result, kWGS84Mask));
    EXPECT_FALSE(result.IsDefined());
    EXPECT_EQ(COGO_NullInput, cogo_IntersectBearingBearing(p1, &a1, nowhere, t, &a2, &result, kWGS84Mask));
    EXPECT_EQ(COGO_NullInput, cogo_IntersectBearingBearingOnPlane(p1, &a1, nowhere, &a2, t, false, &result));
    // Lines that cross behind the starts meet too, as they do in the grid.
    // Line 1 through the second point: the crossing is that point.
    position_Class onLine = Geodetic(c.latX, c.lonX, 100.0, t, false);
    ASSERT_EQ(COGO_Ok, cogo_IntersectBearingBearing(p1, &a1, onLine, t, &a2, &result, kWGS84Mask));
    EXPECT_LT(Apart(result, t, false, c.latX, c.lonX), 0.0005);
    for (double first : {a1, a1 + kPi}) {
        for (double second : {a2, a2 - kPi}) {
            SCOPED_TRACE(testing::Message() << first << ", " << second);
            ASSERT_EQ(COGO_Ok, cogo_IntersectBearingBearing(p1, &first, p2, t, &second, &result, kWGS84Mask));
            EXPECT_LT(Apart(result, t, false, c.latX, c.lonX), Across(c));
        }
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoIntersectEllipsoid, TwoCircles) {
    const transfrm_Class* t = transfrm_GetWGS84Transform();
    const double r1 = 3000.0, r2 = 4000.0;
    for (double h2 : {100.0, kNull}) {
        SCOPED_TRACE(h2);
        position_Class c1 = Geodetic(46.0, 7.0, 100.0, t, false);
        position_Class c2 = Geodetic(46.005370342656555, 7.064095757945994, h2, t, false);
        position_Class first, second;
        ASSERT_EQ(COGO_Ok, cogo_IntersectDistanceDistance(c1, &r1, c2, &r2, t, &first, &second, kWGS84Mask));
        // Within the 0.0005 m the search stops at.
        EXPECT_LT(Apart(second, t, false, 46.023372538224649, 7.019372166701827), 0.0005);
        double d1 = kNull, d2 = kNull;
        cogo_InverseDistance(first, c1, t, &d1, kWGS84Mask);
        cogo_InverseDistance(first, c2, t, &d2, kWGS84Mask);
        EXPECT_NEAR(r1, d1, 0.0005);
        EXPECT_NEAR(r2, d2, 0.0005);
        // A height borrowed for the search is not kept.
        for (position_Class* p : {&first, &second}) {
            const double h = p->GetWGS84(t).Height;
            if (IsNull(h2))
                EXPECT_TRUE(IsNull(h)) << h;
            else
                EXPECT_NEAR(100.0, h, 1e-6);
        }
    }
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace

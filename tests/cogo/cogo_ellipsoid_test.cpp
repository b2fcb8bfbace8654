// Coordinate geometry on the ellipsoid: the forward point and the inverse against the
// geodesic, common heights, and the choice of the mask.
//
// Reference points computed beforehand with GeographicLib's GeodSolve (-p 12) on the
// engine's WGS-84 flattening (0.0033528106718309905) and on International 1924
// (-e 6378388 1/297), and pinned. Both operations follow the geodesic within 0.1 mm and
// 0.001" (the short-line series up to 5 km, within 0.01 mm).
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
constexpr double kDeg = CONSTANT_Pi / 180.0;
constexpr double kArcSecond = kDeg / 3600.0;
constexpr double kPi = CONSTANT_Pi;

// WGS84 azimuths and distances, ellipsoid distances and heights.
constexpr int32_t kWGS84Mask = 0x489;
// The same on the local ellipsoid.
constexpr int32_t kLocalMask = 0x492;
constexpr uint16_t kJob = TRANSFRM_Ellipsoid | TRANSFRM_Datum | TRANSFRM_Projection | TRANSFRM_Corrections;

struct Line {
    double lat1, lon1, azimuth, distance;  // degrees, metres
    double lat2, lon2;                     // the geodesic's end
    double metres, seconds;                // tolerances
};

constexpr Line kWGS84Lines[] = {
    {46.0, 7.0, 40.0, 1000.0, 46.006891600579770, 7.008298993640412, 1e-5, 0.001},
    {46.0, 7.0, 40.0, 10000.0, 46.068888470684094, 7.083082795060590, 1e-5, 0.001},
    {46.0, 7.0, 40.0, 100000.0, 46.686087177818202, 7.840237674913261, 1e-4, 0.001},
    {46.0, 7.0, 40.0, 900000.0, 51.915231736660168, 15.409978661494865, 1e-4, 0.001},
    {46.0, 7.0, 40.0, -10000.0, 45.931050447296350, 6.917123254363957, 1e-5, 0.001},  // along 220
    {-33.9, 151.2, 250.0, 10000.0, -33.930792691648556, 151.098367252799932, 1e-5, 0.001},
    {-33.9, 151.2, 250.0, 100000.0, -34.204123894855179, 150.180391763192659, 1e-4, 0.001},
};

constexpr Line kInternationalLines[] = {
    {46.0, 10.0, 40.0, 1000.0, 46.006891373806319, 10.008298606061269, 1e-5, 0.001},
    {46.0, 10.0, 40.0, 10000.0, 46.068886203546903, 10.083078910591194, 1e-5, 0.001},
    {46.0, 10.0, 40.0, 100000.0, 46.686064573094420, 10.840197945518637, 1e-4, 0.001},
    {46.0, 10.0, 40.0, 900000.0, 51.915039491724698, 18.409537084358554, 1e-4, 0.001},
};

class CogoEllipsoid : public ::testing::Test {
protected:
    void SetUp() override {
        transfrm_GetWGS84Transform();  // kept to the end of the process
        live = csib_LiveAllocations();
    }
    void TearDown() override { EXPECT_EQ(live, csib_LiveAllocations()) << "engine blocks left behind"; }

    RecordingEnvironment env;
    int64_t live = 0;
};

position_Class Geodetic(double latDeg, double lonDeg, double h, const transfrm_Class* t, bool local) {
    position_Class p;
    p.Name = "P";
    cogo_SetGeodetic(p, t, coord_Local(latDeg * kDeg, lonDeg * kDeg, h), local);
    return p;
}

// Metres between two geodetic points a few centimetres apart at most.
double Apart(const coord_Local& a, double latDeg, double lonDeg) {
    double dLon = a.Long - lonDeg * kDeg;
    coord_NormalisePlusMinusPi(&dLon);
    const double north = (a.Lat - latDeg * kDeg) * 6378137.0;
    const double east = dLon * 6378137.0 * std::cos(latDeg * kDeg);
    return std::hypot(north, east);
}

void CheckLines(const transfrm_Class* t, const Line* lines, size_t count, int32_t mask, bool local) {
    for (size_t i = 0; i < count; ++i) {
        const Line& l = lines[i];
        SCOPED_TRACE(testing::Message() << l.lat1 << " over " << l.distance);
        position_Class start = Geodetic(l.lat1, l.lon1, 500.0, t, local);
        position_Class end = Geodetic(l.lat2, l.lon2, 500.0, t, local);
        const double azimuth = l.azimuth * kDeg, dv = 0.0;
        position_Class result;
        cogo_ComputePoint(start, t, &azimuth, &l.distance, &dv, &result, mask);
        coord_Local reached;
        cogo_GetGeodetic(result, t, &reached, local);
        EXPECT_LT(Apart(reached, l.lat2, l.lon2), l.metres);
        EXPECT_NEAR(500.0, reached.Height, 1e-3);

        double a = kNull, d = kNull;
        cogo_InverseAzimuthDistance(start, end, t, &a, &d, mask);
        double expected = l.distance < 0 ? azimuth + kPi : azimuth;
        coord_NormaliseAzimuth(&expected);
        EXPECT_NEAR(std::fabs(l.distance), d, l.metres);
        EXPECT_NEAR(expected, a, l.seconds * kArcSecond);
    }
}

TEST_F(CogoEllipsoid, WGS84LinesAgainstTheGeodesic) {
    // The bare WGS-84 transform and a WGS-84 job with a projection: WGS84 azimuths are
    // geodetic in both, whatever the grid.
    auto job = TransformDefinitions().TransverseMercator().Create(kJob);
    ASSERT_TRUE(job);
    for (const transfrm_Class* t : {static_cast<const transfrm_Class*>(transfrm_GetWGS84Transform()),
                                    static_cast<const transfrm_Class*>(job.get())}) {
        SCOPED_TRACE(t == job.get() ? "job" : "bare");
        CheckLines(t, kWGS84Lines, std::size(kWGS84Lines), kWGS84Mask, false);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoEllipsoid, LocalLinesOnTheJobsInternationalEllipsoid) {
    auto t = TransformDefinitions().TransverseMercator().International().Create(kJob);
    ASSERT_TRUE(t);
    CheckLines(t.get(), kInternationalLines, std::size(kInternationalLines), kLocalMask, true);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoEllipsoid, InverseOfLinesAcrossTheEarth) {
    // Beyond the forward point's reach the inverse still follows the geodesic, to the
    // antipode: there the end moves 0.1 mm for 0.0005" of azimuth (m12 = 40,460 m).
    const transfrm_Class* t = transfrm_GetWGS84Transform();
    struct Far {
        double lat2, lon2, azimuth, distance;
    };
    const Far lines[] = {
        {-33.9, 151.2, 78.410604284044680, 16713762.0351069216},
        {-45.9, -173.2, 20.448377917800517, 19990086.6314104684},
    };
    position_Class start = Geodetic(46.0, 7.0, 0.0, t, false);
    for (const Far& l : lines) {
        SCOPED_TRACE(l.distance);
        position_Class end = Geodetic(l.lat2, l.lon2, 0.0, t, false);
        double a = kNull, d = kNull;
        cogo_InverseAzimuthDistance(start, end, t, &a, &d, kWGS84Mask);
        EXPECT_NEAR(l.distance, d, 1e-4);
        EXPECT_NEAR(l.azimuth * kDeg, a, 0.0005 * kArcSecond);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoEllipsoid, ShortLongAndMissingLines) {
    const transfrm_Class* t = transfrm_GetWGS84Transform();
    position_Class start = Geodetic(46.0, 7.0, 500.0, t, false);
    const double azimuth = 40.0 * kDeg, dv = 1.5;
    position_Class result;

    const double tiny = 0.0004;
    cogo_ComputePoint(start, t, &azimuth, &tiny, &dv, &result, kWGS84Mask);
    const coord_WGS84 same = result.GetWGS84(t);
    EXPECT_EQ(46.0 * kDeg, same.Lat);
    EXPECT_EQ(7.0 * kDeg, same.Long);
    EXPECT_NEAR(501.5, same.Height, 1e-9);

    const double tooFar = 1000001.0;
    cogo_ComputePoint(start, t, &azimuth, &tooFar, &dv, &result, kWGS84Mask);
    EXPECT_FALSE(result.IsDefined());
    EXPECT_EQ("P", result.Name);

    const double none = kNull, distance = 100.0;
    cogo_ComputePoint(start, t, &none, &distance, &dv, &result, kWGS84Mask);
    const coord_WGS84 nowhere = result.GetWGS84(t);
    EXPECT_TRUE(maths_IsNull(nowhere.Lat) && maths_IsNull(nowhere.Long));
    EXPECT_NEAR(501.5, nowhere.Height, 1e-9);
}

TEST_F(CogoEllipsoid, HeightsInTheSystemOfTheDistanceBits) {
    auto t = TransformDefinitions().TransverseMercator().International().Create(kJob);
    ASSERT_TRUE(t);
    for (const int32_t mask : {kWGS84Mask, kLocalMask}) {
        SCOPED_TRACE(mask);
        const bool local = mask == kLocalMask;
        position_Class from = Geodetic(46.0, 10.0, 120.0, t.get(), local);
        position_Class to = Geodetic(46.1, 10.1, kNull, t.get(), local);
        const double up = 2.5;
        cogo_ApplyVerticalDifference(&to, t.get(), &up, mask);  // nothing to raise
        coord_Local c;
        cogo_GetGeodetic(to, t.get(), &c, local);
        EXPECT_TRUE(maths_IsNull(c.Height));
        cogo_CopyHeight(from, &to, t.get(), mask);
        cogo_ApplyVerticalDifference(&to, t.get(), &up, mask);
        cogo_GetGeodetic(to, t.get(), &c, local);
        EXPECT_NEAR(122.5, c.Height, 1e-6);
        EXPECT_NEAR(46.1 * kDeg, c.Lat, 1e-12);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoEllipsoid, VerticalDifferenceFollowsTheDistanceBits) {
    // Two local points of the International job; their WGS84 heights (through the
    // datum, pinned by PROJ) differ by another amount than their local heights.
    auto t = TransformDefinitions().TransverseMercator().International().Create(kJob);
    ASSERT_TRUE(t);
    constexpr double kLocal = 120.3 - 500.0;
    constexpr double kWGS84 = 165.887081 - 545.417800;
    const int32_t bothSystems = COORDSYS_CogoAzimuthLocal | COORDSYS_CogoDistanceWGS84 | COORDSYS_CogoDistanceLocal |
                                COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoEllipsoidHeights;
    struct Case {
        const char* what;
        int32_t mask;
        double h2;
        double dv;
    };
    const Case cases[] = {
        {"WGS84 heights", kWGS84Mask, 120.3, kWGS84},
        {"local heights", kLocalMask, 120.3, kLocal},
        {"two distance systems: the local one decides", bothSystems, 120.3, kLocal},
        {"a local point without height", kLocalMask, kNull, kNull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        position_Class p1 = Geodetic(46.0, 10.0, 500.0, t.get(), true);
        position_Class p2 = Geodetic(47.5, 7.2, c.h2, t.get(), true);
        const double hd = 1000.0;
        double dv = 0.0, slope = 0.0;
        cogo_VerticalDifference(p1, p2, t.get(), &hd, &dv, &slope, c.mask);
        if (maths_IsNull(c.dv)) {
            EXPECT_TRUE(maths_IsNull(dv) && maths_IsNull(slope)) << dv << ", " << slope;
        } else {
            EXPECT_NEAR(c.dv, dv, 1e-3);
            EXPECT_NEAR(std::hypot(hd, c.dv), slope, 1e-3);
        }
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoEllipsoid, TheLocalCaseKeepsTheStartsGridElevation) {
    // A geoid-free job: the grid elevation is the local height, so the new point keeps 500.
    auto t = TransformDefinitions().TransverseMercator().International().Create(kJob);
    ASSERT_TRUE(t);
    position_Class start = Geodetic(46.0, 10.0, 500.0, t.get(), true);
    const double azimuth = 0.0, distance = 5000.0, dv = -20.0;
    position_Class result;
    cogo_ComputePoint(start, t.get(), &azimuth, &distance, &dv, &result, kLocalMask);
    EXPECT_NEAR(480.0, result.GetLocal(t.get()).Height, 1e-6);
    EXPECT_NEAR(480.0, result.GetGrid(t.get()).Elev, 1e-3);
    double dvBack = kNull, slope = kNull, d = kNull, a = kNull;
    cogo_Inverse(start, result, t.get(), &a, &d, &dvBack, &slope, kLocalMask);
    EXPECT_NEAR(-20.0, dvBack, 1e-6);
    EXPECT_NEAR(std::hypot(5000.0, 20.0), slope, 1e-4);
}

TEST_F(CogoEllipsoid, GroundDistancesOnTheRaisedEllipsoid) {
    // Local ground distances with the sea-level factor: measured on the ellipsoid raised
    // to the line's mean height, so forward and inverse agree and the line reaches
    // further over the sea-level surface.
    auto t = TransformDefinitions().TransverseMercator().International().Create(kJob);
    ASSERT_TRUE(t);
    const int32_t groundMask = 0x452;
    position_Class start = Geodetic(46.0, 10.0, 500.0, t.get(), true);
    const double azimuth = 40.0 * kDeg, distance = 10000.0, dv = 20.0;
    position_Class ground;
    cogo_ComputePoint(start, t.get(), &azimuth, &distance, &dv, &ground, groundMask);
    EXPECT_NEAR(520.0, ground.GetLocal(t.get()).Height, 1e-6);
    double a = kNull, d = kNull;
    cogo_InverseAzimuthDistance(start, ground, t.get(), &a, &d, groundMask);
    EXPECT_NEAR(distance, d, 1e-4);
    EXPECT_NEAR(azimuth, a, 0.001 * kArcSecond);
    // Fresh positions: a position keeps the ellipsoid it was first asked for.
    position_Class from, to;
    from.SetLocal(start.GetLocal(t.get()), t.get());
    to.SetLocal(ground.GetLocal(t.get()), t.get());
    cogo_InverseDistance(from, to, t.get(), &d, kLocalMask);
    EXPECT_NEAR(distance * 6378388.0 / (6378388.0 + 510.0), d, 1e-3);

    // Heightless points without a ground-origin height have no ground distance.
    position_Class p1 = Geodetic(46.0, 10.0, kNull, t.get(), true);
    position_Class p2 = Geodetic(46.01, 10.0, kNull, t.get(), true);
    cogo_InverseDistance(p1, p2, t.get(), &d, groundMask);
    EXPECT_TRUE(maths_IsNull(d));
    cogo_InverseDistance(p1, p2, t.get(), &d, kLocalMask);
    EXPECT_NEAR(1111.6, d, 1.0);
}

TEST_F(CogoEllipsoid, GeodeticAzimuthsInTheGridTurnByTheConvergence) {
    // Grid distances with local azimuths: the grid line is turned by the convergence
    // (0.72 deg at 46 N 10 E), so it runs along the geodetic azimuth asked for.
    auto t = TransformDefinitions().TransverseMercator().International().Create(kJob);
    ASSERT_TRUE(t);
    const int32_t mask = COORDSYS_CogoAzimuthLocal | COORDSYS_CogoDistanceGrid | COORDSYS_CogoEllipsoidDistances |
                         COORDSYS_CogoOrthoHeights;
    position_Class start = Geodetic(46.0, 10.0, 500.0, t.get(), true);
    const double azimuth = 0.0, distance = 100.0, dv = 0.0;
    position_Class result;
    cogo_ComputePoint(start, t.get(), &azimuth, &distance, &dv, &result, mask);
    double a = kNull;
    cogo_InverseAzimuth(start, result, t.get(), &a, kLocalMask);
    coord_NormalisePlusMinusPi(&a);
    EXPECT_NEAR(0.0, a, 0.1 * kArcSecond);
    cogo_InverseAzimuth(start, result, t.get(), &a, mask | COORDSYS_CogoAzimuthGrid);
    EXPECT_NEAR(2 * kPi - 0.7194 * kDeg, a, 0.001 * kDeg);

    // Into the start itself the turn is the same.
    position_Class same = Geodetic(46.0, 10.0, 500.0, t.get(), true);
    cogo_ComputePointOnGrid(same, t.get(), &azimuth, &distance, &dv, 1.0, &same, mask);
    const coord_CogoGrid expected = result.GetCogoGrid(t.get());
    EXPECT_NEAR(expected.North, same.GetCogoGrid(t.get()).North, 1e-6);
    EXPECT_NEAR(expected.East, same.GetCogoGrid(t.get()).East, 1e-6);
}

TEST_F(CogoEllipsoid, MeanAndCommonHeights) {
    auto t = TransformDefinitions().TransverseMercator().International().Create(kJob);
    ASSERT_TRUE(t);
    position_Class high = Geodetic(46.0, 10.0, 100.0, t.get(), true);
    position_Class low = Geodetic(46.001, 10.0, kNull, t.get(), true);
    position_Class alsoLow = Geodetic(46.002, 10.0, kNull, t.get(), true);
    const int32_t groundMask = 0x452;

    // Both heights missing, no ground-origin height: ellipsoid distances fall back to 0.
    EXPECT_EQ(0.0, cogo_MeanHeight(low, alsoLow, t.get(), kLocalMask));
    EXPECT_TRUE(maths_IsNull(cogo_MeanHeight(low, alsoLow, t.get(), groundMask)));
    EXPECT_EQ(50.0, cogo_MeanHeight(high, low, t.get(), kLocalMask));  // the missing one at 0
    EXPECT_EQ(100.0, cogo_MeanHeight(high, low, t.get(), groundMask));  // the missing one borrows

    position_Class c1, c2;
    cogo_CommonHeight(high, low, t.get(), &c1, &c2, kLocalMask);
    EXPECT_EQ(50.0, c1.GetLocal(t.get()).Height);
    EXPECT_EQ(50.0, c2.GetLocal(t.get()).Height);
    EXPECT_FALSE(c1.HeightBorrowed);
    EXPECT_TRUE(c2.HeightBorrowed);
    c2.DropBorrowedHeights();
    EXPECT_TRUE(maths_IsNull(c2.GetLocal(t.get()).Height));
    c1.DropBorrowedHeights();
    EXPECT_EQ(50.0, c1.GetLocal(t.get()).Height);

    // Level against a line through the common height: north of the start, 0 offset.
    const double north = 0.0;
    double station = kNull, offset = kNull;
    EXPECT_EQ(COGO_Ok, cogo_PointToLineCommonHeight(high, &north, low, t.get(), &station, &offset, kLocalMask));
    EXPECT_NEAR(111.1, station, 0.5);
    EXPECT_NEAR(0.0, offset, 1e-3);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoEllipsoid, PointToLineOnTheEllipsoid) {
    const transfrm_Class* t = transfrm_GetWGS84Transform();
    const Line& l = kWGS84Lines[1];
    position_Class start = Geodetic(l.lat1, l.lon1, 500.0, t, false);
    position_Class end = Geodetic(l.lat2, l.lon2, 500.0, t, false);
    const double azimuth = l.azimuth * kDeg, grade = 0.0;
    position_Class foot;
    double footAzimuth = kNull, station = kNull, offset = kNull, dv = kNull;
    EXPECT_EQ(COGO_Ok, cogo_PointToLine(start, t, &azimuth, &grade, end, &foot, &footAzimuth, &station, &offset,
                                        &dv, kWGS84Mask));
    EXPECT_NEAR(l.distance, station, 1e-3);
    EXPECT_NEAR(0.0, offset, 1e-3);
    // The geodesic's azimuth at its end.
    EXPECT_NEAR(40.059799462054997 * kDeg, footAzimuth, 0.01 * kArcSecond);
}

}  // namespace

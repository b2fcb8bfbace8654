// The straight's geometry through the converter transformation: solving from each keying,
// the end under every grid orientation and azimuth reckoning, points and station-offsets
// along the line, and the abeam test shared by the horizontal elements.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "road_transform_fixture.h"
#include "roads/roadquorvel_horizontal.h"
#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;
using Reports = std::vector<std::string>;

HorizontalStraight Straight(double azimuth, double length) {
    HorizontalStraight s;
    s.KeyinMethod = 0;
    s.StartStation = 100;
    s.StartAzimuth = azimuth;
    s.Length = length;
    s.EndStation = 100 + length;
    s.StartCoordinate = coord_CorrectedGrid(1000, 2000, 12.5);
    return s;
}

using StraightGeometry = RoadTransformTest;

TEST_F(StraightGeometry, EndUnderEveryOrientationAndReckoning) {
    // Azimuth and distance are reckoned in the cogo grid: a south-west grid turns both
    // axes, north-west the east one, and south azimuths add a half turn.
    struct Case { int32_t orientation; bool south; double azimuth, north, east; };
    const Case cases[] = {
        {COORDSYS_IncreasingNorthEast, false, 0, 1100, 2000},
        {COORDSYS_IncreasingNorthEast, true, 0, 900, 2000},
        {COORDSYS_IncreasingSouthWest, false, 0, 900, 2000},
        {COORDSYS_IncreasingSouthWest, true, 0, 1100, 2000},
        {COORDSYS_IncreasingNorthWest, false, CONSTANT_PiOverTwo, 1000, 1900},
        {COORDSYS_IncreasingNorthWest, false, 0, 1100, 2000},
        {COORDSYS_IncreasingSouthEast, false, CONSTANT_PiOverTwo, 1000, 2100},
        {COORDSYS_IncreasingSouthEast, false, 0, 900, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.orientation << (c.south ? " south " : " north ") << c.azimuth);
        Use(c.orientation, c.south);
        HorizontalStraight s = Straight(c.azimuth, 100);
        EXPECT_TRUE(s.Compute());
        EXPECT_NEAR(s.EndCoordinate.North, c.north, 1e-9);
        EXPECT_NEAR(s.EndCoordinate.East, c.east, 1e-9);
        EXPECT_EQ(s.EndCoordinate.Elev, 12.5);
        EXPECT_EQ(s.EndAzimuth, c.azimuth);
        // Keyed by its end instead, the straight finds the same azimuth and length back.
        HorizontalStraight byEnd = s;
        byEnd.KeyinMethod = 2;
        byEnd.StartAzimuth = byEnd.EndAzimuth = byEnd.Length = N;
        EXPECT_TRUE(byEnd.Compute());
        EXPECT_NEAR(byEnd.StartAzimuth, c.azimuth, 1e-12);
        EXPECT_EQ(byEnd.EndAzimuth, byEnd.StartAzimuth);
        EXPECT_NEAR(byEnd.Length, 100, 1e-9);
    }
}

TEST_F(StraightGeometry, ComputeByKeying) {
    RecordingEnvironment env;
    // By end station: the length is the stations' difference.
    HorizontalStraight s = Straight(0.5, N);
    s.KeyinMethod = 1;
    s.EndStation = 250;
    EXPECT_TRUE(s.Compute());
    EXPECT_EQ(s.Length, 150);
    EXPECT_NEAR(s.EndCoordinate.North, 1131.637384283556, 1e-9);
    EXPECT_NEAR(s.EndCoordinate.East, 2071.9138307906305, 1e-9);
    EXPECT_EQ(s.EndAzimuth, 0.5);

    // By end point: azimuth and length from the two points; the end station is the chain's.
    HorizontalStraight e = Straight(N, N);
    e.KeyinMethod = 3;
    e.EndStation = 777;
    e.EndCoordinate = coord_CorrectedGrid(1100, 2100, N);
    EXPECT_TRUE(e.Compute());
    EXPECT_NEAR(e.StartAzimuth, CONSTANT_Pi / 4, 1e-12);
    EXPECT_EQ(e.EndAzimuth, e.StartAzimuth);
    EXPECT_NEAR(e.Length, 141.4213562373095, 1e-9);
    EXPECT_EQ(e.EndStation, 777);
    EXPECT_TRUE(env.assertions.empty());

    // Missing inputs are reported and give null outputs.
    HorizontalStraight noEnd = Straight(0.5, 100);
    noEnd.KeyinMethod = 2;
    EXPECT_TRUE(noEnd.Compute());
    EXPECT_EQ(env.Expressions(), Reports({"!EndCoordinate.NullHorizontal()"}));
    EXPECT_EQ(noEnd.StartAzimuth, N);
    EXPECT_EQ(noEnd.Length, N);
    env.Clear();
    HorizontalStraight noLength = Straight(N, N);
    noLength.ComputeEndCoordinate();
    EXPECT_EQ(env.Expressions(), Reports({"!maths_IsNull ( Length )", "!maths_IsNull ( StartAzimuth )"}));
    EXPECT_TRUE(noLength.EndCoordinate.IsHorizontalNull());
    env.Clear();
    HorizontalStraight noStations = Straight(0.5, N);
    noStations.KeyinMethod = 1;
    noStations.EndStation = N;
    noStations.Compute();
    EXPECT_EQ(noStations.Length, N);
    EXPECT_TRUE(noStations.EndCoordinate.IsHorizontalNull());
}

TEST_F(StraightGeometry, PointsAndStationOffsets) {
    HorizontalStraight s = Straight(0.5, 150);
    s.Compute();
    AlignmentPoint p = s.PointAtStation(100);
    EXPECT_TRUE(p.Right);
    EXPECT_EQ(p.Station, 100);
    EXPECT_EQ(p.Azimuth, 0.5);
    EXPECT_NEAR(p.Point.North, 1000, 1e-12);
    EXPECT_NEAR(p.Point.East, 2000, 1e-12);
    p = s.PointAtStation(60);  // before the start, on the same line
    EXPECT_NEAR(p.Point.North, 1000 - 40 * std::cos(0.5), 1e-9);
    EXPECT_NEAR(p.Point.East, 2000 - 40 * std::sin(0.5), 1e-9);
    p = s.PointAtStation(250);
    EXPECT_NEAR(p.Point.North, s.EndCoordinate.North, 1e-9);
    EXPECT_NEAR(p.Point.East, s.EndCoordinate.East, 1e-9);
    EXPECT_TRUE(s.PointAtStation(N).Point.IsHorizontalNull());

    struct Case { coord_CorrectedGrid point; double station, offset; };
    const Case cases[] = {
        {coord_CorrectedGrid(1036.5415790914276, 2016.544273858497, N), 140, -3},  // 40 along, 3 left
        {coord_CorrectedGrid(974.7044571825113, 1994.1574394681277, 5), 75, 7},    // behind, right
        {coord_CorrectedGrid(1000, 2000, N), 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.station);
        const coord_StationOffset so = s.StationOffsetOfPoint(c.point);
        EXPECT_NEAR(so.Station, c.station, 1e-9);
        EXPECT_NEAR(so.Offset, c.offset, 1e-9);
        EXPECT_EQ(so.Elevation, N);
    }
    HorizontalStraight noAzimuth = s;
    noAzimuth.StartAzimuth = N;
    EXPECT_TRUE(noAzimuth.StationOffsetOfPoint(cases[0].point).IsNull());
}

TEST_F(StraightGeometry, AbeamBetweenThePerpendiculars) {
    HorizontalStraight s = Straight(0, 100);  // (1000, 2000) to (1100, 2000)
    s.Compute();
    struct Case { coord_CorrectedGrid point; bool abeam; double distance; };
    const Case cases[] = {
        {coord_CorrectedGrid(1050, 2010, N), true, std::hypot(50.0, 10.0)},
        {coord_CorrectedGrid(1080, 1970, N), true, std::hypot(20.0, 30.0)},
        {coord_CorrectedGrid(1000, 2000, N), true, 0},    // on the start
        {coord_CorrectedGrid(1100, 2000, N), true, 0},    // on the end
        {coord_CorrectedGrid(1000, 2030, N), true, 30},   // on the perpendicular at the start
        {coord_CorrectedGrid(1100, 1970, N), true, 30},   // on the perpendicular at the end
        {coord_CorrectedGrid(999.99, 2030, N), false, std::hypot(0.01, 30.0)},
        {coord_CorrectedGrid(1100.01, 1970, N), false, std::hypot(0.01, 30.0)},
        {coord_CorrectedGrid(1200, 2000, N), false, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.North << " " << c.point.East);
        double distance = -1;
        EXPECT_EQ(s.IsAbeam(c.point, &distance), c.abeam);
        EXPECT_NEAR(distance, c.distance, 1e-9);
    }

    // A start point never is, and leaves the distance alone.
    HorizontalStartPoint start(0);
    start.StartCoordinate = start.EndCoordinate = coord_CorrectedGrid(1000, 2000, N);
    start.StartAzimuth = start.EndAzimuth = 0;
    double distance = -1;
    EXPECT_FALSE(start.IsAbeam(coord_CorrectedGrid(1000, 2000, N), &distance));
    EXPECT_EQ(distance, -1);
    EXPECT_TRUE(start.Compute());
    EXPECT_TRUE(start.EndCoordinate == start.StartCoordinate);
}

TEST_F(StraightGeometry, WithoutTransformationEverythingIsNull) {
    RecordingEnvironment env;
    road_DeleteConverterTransformation();
    HorizontalStraight s = Straight(0.5, 150);
    EXPECT_TRUE(s.Compute());
    EXPECT_TRUE(s.EndCoordinate.IsHorizontalNull());
    EXPECT_TRUE(s.PointAtStation(120).Point.IsHorizontalNull());
    EXPECT_TRUE(s.StationOffsetOfPoint(coord_CorrectedGrid(1000, 2000, N)).IsNull());
    double distance = -1;
    EXPECT_FALSE(s.IsAbeam(coord_CorrectedGrid(1000, 2000, N), &distance));
    EXPECT_EQ(distance, N);
    s.KeyinMethod = 2;
    s.EndCoordinate = coord_CorrectedGrid(1100, 2100, N);
    EXPECT_TRUE(s.Compute());
    EXPECT_EQ(s.StartAzimuth, N);
    EXPECT_EQ(s.Length, N);
    EXPECT_EQ(env.Expressions(), Reports(5, "CurrentTransform != NULL"));
}

}  // namespace

// Points along straights, arcs and spirals, and the grid inverse, through the converter
// transformation. Expected points come from the circle's centre (arcs) and from
// quadrature of the heading along the spiral (mpmath, 30 digits).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "road_transform_fixture.h"
#include "roads/roadcogo.h"
#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;
using Reports = std::vector<std::string>;

const coord_CorrectedGrid kStart(1000, 2000, 12.5);

using RoadCogoPoints = RoadTransformTest;

TEST_F(RoadCogoPoints, AzimuthDistanceAndInverse) {
    const transfrm_Class* t = road_GetConverterTransformation();
    coord_CorrectedGrid p;
    roadcogo_PointAtAzimuthDistance(t, ROAD_CogoMask, kStart, 0.5, 100, &p);
    EXPECT_NEAR(p.North, 1087.7582561890373, 1e-9);  // 1000 + 100 cos 0.5
    EXPECT_NEAR(p.East, 2047.9425538604203, 1e-9);   // 2000 + 100 sin 0.5
    EXPECT_EQ(p.Elev, 12.5);                         // a level line keeps the start's elevation
    double azimuth = 0, distance = 0;
    roadcogo_InverseAzimuthDistance(t, ROAD_CogoMask, kStart, p, &azimuth, &distance);
    EXPECT_NEAR(azimuth, 0.5, 1e-12);
    EXPECT_NEAR(distance, 100, 1e-9);

    roadcogo_StraightPointAtDistance(t, ROAD_CogoMask, coord_CorrectedGrid(1000, 2000, N), 0.5, -100, &p);
    EXPECT_NEAR(p.North, 912.2417438109627, 1e-9);  // behind the start
    EXPECT_NEAR(p.East, 1952.0574461395797, 1e-9);
    EXPECT_EQ(p.Elev, N);

    // Null inputs and a missing transform give null outputs, never a finite point.
    struct Case { const transfrm_Class* transform; coord_CorrectedGrid start; double azimuth, distance; };
    for (const Case& c : {Case{t, kStart, N, 10}, Case{t, kStart, 0.5, N}, Case{t, coord_CorrectedGrid(), 0.5, 10},
                          Case{nullptr, kStart, 0.5, 10}}) {
        roadcogo_PointAtAzimuthDistance(c.transform, ROAD_CogoMask, c.start, c.azimuth, c.distance, &p);
        EXPECT_TRUE(p.IsHorizontalNull()) << c.azimuth << " " << c.distance;
    }
    roadcogo_InverseAzimuthDistance(nullptr, ROAD_CogoMask, kStart, p, &azimuth, &distance);
    EXPECT_EQ(azimuth, N);
    EXPECT_EQ(distance, N);
}

TEST_F(RoadCogoPoints, AlongAnArc) {
    const transfrm_Class* t = road_GetConverterTransformation();
    // Angle 0.8 on radius 250 over 200 m from azimuth 0.3; 1e-9 m against the centre's circle.
    struct Case { double startAzimuth, angle, radius, length; bool right; double distance, north, east, tangent; };
    const Case cases[] = {
        {0.3, 0.8, 250, 200, true, 200, 1148.9217883500239, 2125.4350919250072, 1.1},
        {0.3, 0.8, 250, 200, true, 100, 1087.1743701440879, 2047.6235754602794, 0.7},
        {0.3, 0.8, 250, 200, false, 200, 1193.7364363163857, 1980.5615181911917, 5.7831853071795864},
        {0.3, 0.8, 250, 200, false, 60, 1058.8890500454737, 2010.7160127023995, 0.06},
        {6.0, 1.2, 150, 180, true, 180, 1160.9625043072118, 2052.7728458177167, 0.91681469282041348},  // across north
        {0.3, 0.8, 250, 200, true, 400, 1162.6949702565187, 2319.6565139972774, 1.9},  // on round the circle
        {0.3, 0.8, 250, 200, true, 0, 1000, 2000, 0.3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.startAzimuth << (c.right ? " right " : " left ") << c.distance);
        coord_CorrectedGrid p;
        double tangent = 0;
        roadcogo_ArcPointAtDistance(t, ROAD_CogoMask, kStart, c.startAzimuth, c.angle, c.radius, c.length, c.right,
                                    c.distance, &p, &tangent);
        EXPECT_NEAR(p.North, c.north, 1e-9);
        EXPECT_NEAR(p.East, c.east, 1e-9);
        EXPECT_NEAR(tangent, c.tangent, 1e-14);
    }
    // At half the length the chord runs a quarter of the angle off the start azimuth.
    coord_CorrectedGrid half;
    double tangent = 0, chordAzimuth = 0, chord = 0;
    roadcogo_ArcPointAtDistance(t, ROAD_CogoMask, kStart, 0.3, 0.8, 250, 200, true, 100, &half, &tangent);
    roadcogo_InverseAzimuthDistance(t, ROAD_CogoMask, kStart, half, &chordAzimuth, &chord);
    EXPECT_NEAR(chordAzimuth, 0.5, 1e-12);
    roadcogo_ArcPointAtDistance(t, ROAD_CogoMask, kStart, 0.3, 0.8, 250, 200, false, 100, &half, &tangent);
    roadcogo_InverseAzimuthDistance(t, ROAD_CogoMask, kStart, half, &chordAzimuth, &chord);
    EXPECT_NEAR(chordAzimuth, 0.1, 1e-12);
}

TEST_F(RoadCogoPoints, ArcWithoutLengthOrWithNulls) {
    RecordingEnvironment env;
    const transfrm_Class* t = road_GetConverterTransformation();
    coord_CorrectedGrid p;
    double tangent = 0;
    // A zero length is the start point, whatever the distance; a positive one is reported.
    roadcogo_ArcPointAtDistance(t, ROAD_CogoMask, kStart, 0.3, 0.8, 250, 0, true, 0, &p, &tangent);
    EXPECT_TRUE(env.assertions.empty());
    roadcogo_ArcPointAtDistance(t, ROAD_CogoMask, kStart, 0.3, 0.8, 250, 0, false, 35, &p, &tangent);
    EXPECT_EQ(env.Expressions(), Reports({"DistanceAlong <= Length"}));
    EXPECT_NEAR(p.North, 1000, 1e-12);
    EXPECT_NEAR(p.East, 2000, 1e-12);
    EXPECT_EQ(tangent, 0.3);

    struct Case { double startAzimuth, angle, radius, length, distance; };
    for (const Case& c : {Case{N, 0.8, 250, 200, 50}, Case{0.3, N, 250, 200, 50}, Case{0.3, 0.8, N, 200, 50},
                          Case{0.3, 0.8, 250, N, 50}, Case{0.3, 0.8, 250, 200, N}}) {
        roadcogo_ArcPointAtDistance(t, ROAD_CogoMask, kStart, c.startAzimuth, c.angle, c.radius, c.length, true,
                                    c.distance, &p, &tangent);
        EXPECT_TRUE(p.IsHorizontalNull()) << c.startAzimuth << " " << c.angle << " " << c.radius << " " << c.length;
        if (maths_IsNull(c.radius))
            EXPECT_NEAR(tangent, 0.5, 1e-15);  // the tangent needs no radius
        else
            EXPECT_EQ(tangent, N);
    }
    roadcogo_ArcPointAtDistance(t, ROAD_CogoMask, kStart, 0.3, 0.8, 250, 0, true, N, &p, &tangent);
    EXPECT_TRUE(p.IsHorizontalNull());  // nor is a null distance taken for a long one
    EXPECT_EQ(tangent, N);
    roadcogo_ArcPointAtDistance(nullptr, ROAD_CogoMask, kStart, 0.3, 0.8, 250, 200, true, 50, &p, &tangent);
    EXPECT_TRUE(p.IsHorizontalNull());
    EXPECT_EQ(env.assertions.size(), 1u);
}

TEST_F(RoadCogoPoints, AlongASpiral) {
    const transfrm_Class* t = road_GetConverterTransformation();
    // From a straight the series holds 1e-6 m; between two radii 1e-8 m. Measured from the
    // far end the base azimuth points back along the spiral and the tangent forwards.
    struct Case {
        double baseAzimuth, rs, rl, length; bool right, fromBase; double distance, north, east, tangent, tolerance;
    };
    const Case cases[] = {
        {0.4, 100, N, 50, true, true, 50, 1044.1507026144815, 2023.1702308421515, 0.65, 1e-6},
        {0.4, 100, N, 50, false, true, 30, 1027.9597302141691, 2010.8446155428768, 0.31, 1e-6},
        {1.0, 100, N, 50, true, false, 20, 1016.9528305858718, 2024.7376986611257, 4.0515926535897932, 1e-6},
        {1.0, 100, N, 50, false, false, 0, 1023.3562508391711, 2044.0525786460757, 4.3915926535897932, 1e-6},
        {1.0, 100, N, 50, true, false, 50, 1000, 2000, 1.0 + CONSTANT_Pi, 1e-12},  // the base itself
        {0.4, 100, 400, 60, true, true, 60, 1050.8479201535231, 2031.1689202583392, 0.775, 1e-8},
        {2.0, 400, 100, 80, false, false, 25, 966.64348645289868, 2043.2462616557058, 5.5497957785897932, 1e-8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rs << (c.right ? " right " : " left ") << (c.fromBase ? "base " : "far ")
                                        << c.distance);
        coord_CorrectedGrid p;
        double tangent = 0;
        roadcogo_SpiralPointAtDistance(t, ROAD_CogoMask, kStart, c.baseAzimuth, c.rs, c.rl, c.length, c.right,
                                       c.fromBase, c.distance, &p, &tangent);
        EXPECT_NEAR(p.North, c.north, c.tolerance);
        EXPECT_NEAR(p.East, c.east, c.tolerance);
        EXPECT_NEAR(tangent, c.tangent, 1e-13);
    }
    coord_CorrectedGrid p;
    double tangent = 0;
    roadcogo_SpiralPointAtDistance(t, ROAD_CogoMask, kStart, N, 100, N, 50, true, true, 20, &p, &tangent);
    EXPECT_TRUE(p.IsHorizontalNull());
    EXPECT_EQ(tangent, N);
    roadcogo_SpiralPointAtDistance(t, ROAD_CogoMask, kStart, 0.4, 100, N, N, true, false, 20, &p, &tangent);
    EXPECT_TRUE(p.IsHorizontalNull());
    EXPECT_EQ(tangent, N);
}

TEST(RoadCogoScratch, OnePairForTheProcess) {
    roadcogo_Scratch& first = roadcogo_ScratchPositions();
    EXPECT_EQ(&first, &roadcogo_ScratchPositions());
    EXPECT_NE(&first.A, &first.B);
}

}  // namespace

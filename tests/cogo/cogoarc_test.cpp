// Circular arcs: delta, length and chord, the point at an arc length, station and
// offset against an arc, the arc between two tangents and the height of their
// intersection point. Expected values are closed forms on a circle about the origin
// (north, east) unless stated.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cogo/cogoarc.h"
#include "csib/csibplatform.h"
#include "support/recording_environment.h"
#include "transform_definitions.h"

namespace {

constexpr double kNull = MATHS_Null;
constexpr double kPi = CONSTANT_Pi;
constexpr double kDeg = kPi / 180.0;
constexpr double kTight = 1e-9;
constexpr int32_t kRoad = 2212;  // grid azimuths and distances, grid elevations

bool IsNull(double x) { return maths_IsNull(x); }

TEST(CogoArc, DeltaLengthAndChord) {
    struct {
        double radius, length, delta;
    } deltas[] = {
        {100, 628.3185307179586, 2 * kPi},      // a full turn is kept whole
        {100, 628.3185307179586 + 2e-6, 2 * kPi},  // within 0.01"
        {100, 157.07963267948966, kPi / 2},
        {100, -50, 2 * kPi - 0.5},              // backwards, into [0, 2pi)
        {-100, 50, 2 * kPi - 0.5},
        {100, 700, kNull},                      // more than a turn
        {100, -700, kNull},
        {0, 10, kNull},
        {kNull, 10, kNull},
        {100, kNull, kNull},
    };
    for (const auto& c : deltas) {
        SCOPED_TRACE(testing::Message() << c.radius << ", " << c.length);
        double delta = 0;
        cogoarc_DeltaAngle(c.radius, c.length, &delta);
        if (IsNull(c.delta))
            EXPECT_TRUE(IsNull(delta)) << delta;
        else
            EXPECT_NEAR(c.delta, delta, 1e-14);
    }
    double delta = 0;
    cogoarc_DeltaAngle(100, 628.3185307179586, &delta);
    EXPECT_EQ(2 * kPi, delta);

    double length = 0;
    cogoarc_ArcLength(100, kPi / 2, &length);
    EXPECT_DOUBLE_EQ(157.07963267948966, length);
    cogoarc_ArcLength(kNull, kPi / 2, &length);
    EXPECT_TRUE(IsNull(length));

    // 2R |sin(delta / 2)|, also at and beyond a half circle and at a full turn.
    struct {
        double length, chord;
    } chords[] = {
        {50 * kPi, 141.42135623730951},   // quarter
        {100 * kPi, 200.0},               // half: no division by sin(0)
        {150 * kPi, 141.42135623730951},  // three quarters: not the diameter
        {200 * kPi, 0.0},                 // full turn
        {700, kNull},
        {kNull, kNull},
    };
    for (const auto& c : chords) {
        SCOPED_TRACE(c.length);
        double chord = 0;
        cogoarc_ChordLength(100, c.length, &chord);
        if (IsNull(c.chord))
            EXPECT_TRUE(IsNull(chord));
        else
            EXPECT_NEAR(c.chord, chord, 1e-12);
    }
}

TEST(CogoArc, AnglesAndMajorArcs) {
    EXPECT_TRUE(cogoarc_AnglesEqual(1.0, 1.0 + 4.8e-8));
    EXPECT_FALSE(cogoarc_AnglesEqual(1.0, 1.0 + 4.9e-8));
    // No folding across north.
    EXPECT_FALSE(cogoarc_AnglesEqual(0.0, 2 * kPi));
    EXPECT_FALSE(cogoarc_AnglesEqual(kNull, kNull));

    EXPECT_FALSE(cogoarc_IsMajorArc(COGOARC_RightHand, kPi));
    EXPECT_TRUE(cogoarc_IsMajorArc(COGOARC_LeftHand, kPi));
    EXPECT_TRUE(cogoarc_IsMajorArc(COGOARC_RightHand, kPi + 1e-7));
    EXPECT_FALSE(cogoarc_IsMajorArc(COGOARC_LeftHand, kPi - 1e-7));
    EXPECT_FALSE(cogoarc_IsMajorArc(COGOARC_LeftHand, kNull));
}

class CogoArcs : public CogoGridTest {
protected:
    void SetUp() override {
        CogoGridTest::SetUp();
        centre = At(0, 0, 5);
        start = At(0, 100, 10);
    }

    // On the circle about the origin at the azimuth.
    position_Class Around(double azimuth, double radius, double h) {
        return At(radius * std::cos(azimuth), radius * std::sin(azimuth), h);
    }

    position_Class centre, start;
};

TEST_F(CogoArcs, PointsAlongTheArc) {
    position_Class result;
    // Right hand turns clockwise about the centre, left hand the other way; without a
    // grade the point has no height.
    cogoarc_ComputeArcPoint(COGOARC_RightHand, start, centre, transform.get(), 100, kPi / 2, kNull,
                            157.07963267948966, &result, kRoad);
    ExpectAt(-100, 0, kNull, result);
    cogoarc_ComputeArcPoint(COGOARC_LeftHand, start, centre, transform.get(), 100, kPi / 2, kNull,
                            157.07963267948966, &result, kRoad);
    ExpectAt(100, 0, kNull, result);
    // With a grade it rises from the start's height.
    cogoarc_ComputeArcPoint(COGOARC_RightHand, start, centre, transform.get(), 100, kPi / 2, std::atan(0.1),
                            50 * kPi / 3, &result, kRoad);
    ExpectAt(-50, 50 * std::sqrt(3.0), 10 + 5 * kPi / 3, result);
    // Backwards from the start.
    cogoarc_ComputeArcPoint(COGOARC_RightHand, start, centre, transform.get(), 100, kPi / 2, 0.0, -50 * kPi / 3,
                            &result, kRoad);
    ExpectAt(50, 50 * std::sqrt(3.0), 10, result);
    // Nothing along: the start itself; no azimuth: cleared.
    cogoarc_ComputeArcPoint(COGOARC_RightHand, start, centre, transform.get(), 100, kPi / 2, kNull, 0.0, &result,
                            kRoad);
    ExpectAt(0, 100, 10, result);
    cogoarc_ComputeArcPoint(COGOARC_RightHand, start, centre, transform.get(), 100, kNull, kNull, 10.0, &result,
                            kRoad);
    EXPECT_FALSE(result.IsDefined());
    // The result may be the start.
    position_Class moving = start;
    cogoarc_ComputeArcPoint(COGOARC_LeftHand, moving, centre, transform.get(), 100, kPi / 2, 0.0, 50 * kPi,
                            &moving, kRoad);
    ExpectAt(100, 0, 10, moving);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoArcs, StationAndOffsetInsideOutsideAndBehind) {
    // A quarter circle of radius 100 from the east point, clockwise (south) for a right
    // hand arc, anticlockwise (north) for a left hand one. The point lies at an azimuth
    // and distance from the centre, 2 m above the arc.
    struct {
        int direction;
        double azimuth, distance;
        double station, offset;
    } cases[] = {
        {COGOARC_RightHand, 135 * kDeg, 90, 25 * kPi, 10},    // inside: right
        {COGOARC_RightHand, 135 * kDeg, 110, 25 * kPi, -10},  // outside: left
        {COGOARC_RightHand, 45 * kDeg, 100, -25 * kPi, 0},    // behind the start
        {COGOARC_RightHand, 0, 105, -50 * kPi, -5},           // a quarter behind
        {COGOARC_RightHand, 270 * kDeg, 100, 100 * kPi, 0},   // beyond the end, opposite
        {COGOARC_LeftHand, 45 * kDeg, 90, 25 * kPi, -10},     // inside: left
        {COGOARC_LeftHand, 45 * kDeg, 110, 25 * kPi, 10},
        {COGOARC_LeftHand, 135 * kDeg, 95, -25 * kPi, -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.direction << " at " << c.azimuth / kDeg << ", " << c.distance);
        position_Class point = Around(c.azimuth, c.distance, 12);
        position_Class foot;
        double toPoint = kNull, station = kNull, offset = kNull, dv = kNull;
        ASSERT_EQ(COGO_Ok, cogoarc_PointToArc(c.direction, start, transform.get(), centre, kPi / 2, kPi / 2, 100,
                                              0.0, kNull, kNull, point, &foot, &toPoint, &station, &offset, &dv,
                                              kRoad));
        EXPECT_NEAR(c.station, station, kTight);
        EXPECT_NEAR(c.offset, offset, kTight);
        EXPECT_NEAR(2.0, dv, kTight);
        EXPECT_NEAR(c.azimuth, toPoint, 1e-12);
        ExpectAt(100 * std::cos(c.azimuth), 100 * std::sin(c.azimuth), 10, foot);

        // Against the arc shifted 3 m right and 1.5 m up.
        ASSERT_EQ(COGO_Ok, cogoarc_PointToArc(c.direction, start, transform.get(), centre, kPi / 2, kPi / 2, 100,
                                              0.0, 3.0, 1.5, point, &foot, &toPoint, &station, &offset, &dv, kRoad));
        EXPECT_NEAR(c.station, station, kTight);
        EXPECT_NEAR(c.offset - 3.0, offset, kTight);
        EXPECT_NEAR(0.5, dv, kTight);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoArcs, StationAndOffsetFailures) {
    position_Class point = At(50, 50, 0), foot;
    double toPoint = 0, station = 0, offset = 0, dv = 0;
    for (double radius : {kNull, 100.0}) {
        const double azimuth = IsNull(radius) ? kPi / 2 : kNull;
        EXPECT_EQ(COGO_NullInput,
                  cogoarc_PointToArc(COGOARC_RightHand, start, transform.get(), centre, azimuth, kPi / 2, radius, 0.0,
                                     kNull, kNull, point, &foot, &toPoint, &station, &offset, &dv, kRoad));
    }
    // The centre itself has no direction from the centre.
    position_Class atCentre = At(0, 0, 0);
    EXPECT_EQ(COGO_Degenerate, cogoarc_PointToArc(COGOARC_RightHand, start, transform.get(), centre, kPi / 2, kPi / 2,
                                                  100, 0.0, kNull, kNull, atCentre, &foot, &toPoint, &station,
                                                  &offset, &dv, kRoad));
}

TEST_F(CogoArcs, ArcBetweenTwoTangents) {
    // Coming in heading 20 degrees to the intersection point, leaving turned by 40
    // degrees left or right; radius 300: T = R tan(20 degrees).
    const double radius = 300.0, in = 20 * kDeg, turn = 40 * kDeg;
    const double tangent = radius * std::tan(turn / 2);
    position_Class ip = At(1000, 2000, 50);
    for (int direction : {COGOARC_LeftHand, COGOARC_RightHand}) {
        SCOPED_TRACE(direction);
        const double out = direction == COGOARC_LeftHand ? in - turn + 2 * kPi : in + turn;
        double delta = kNull;
        int solved = -1;
        coordsys_CogoSettings mask = kRoad;
        position_Class c, s, e;
        ASSERT_EQ(COGO_Ok, cogoarc_SolveIPAndTangents(ip, transform.get(), in + kPi, out, radius, &delta, &c, &s, &e,
                                                      &solved, &mask, nullptr));
        EXPECT_EQ(direction, solved);
        EXPECT_NEAR(turn, delta, 1e-12);
        ExpectAt(1000 - tangent * std::cos(in), 2000 - tangent * std::sin(in), 50, s);
        ExpectAt(1000 + tangent * std::cos(out), 2000 + tangent * std::sin(out), 50, e);
        const double side = direction == COGOARC_LeftHand ? in - kPi / 2 : in + kPi / 2;
        const coord_CogoGrid sg = s.GetCogoGrid(transform.get());
        ExpectAt(sg.North + radius * std::cos(side), sg.East + radius * std::sin(side), 50, c);
    }
    // Tangents in line: no arc, every point at the intersection point.
    double delta = kNull;
    int solved = -1;
    coordsys_CogoSettings mask = kRoad;
    position_Class c, s, e;
    ASSERT_EQ(COGO_Ok, cogoarc_SolveIPAndTangents(ip, transform.get(), in + kPi, in, radius, &delta, &c, &s, &e,
                                                  &solved, &mask, nullptr));
    EXPECT_NEAR(0.0, delta, 1e-12);
    for (position_Class* p : {&c, &s, &e}) ExpectAt(1000, 2000, 50, *p);
    // Tangents folded back onto each other meet no circle.
    EXPECT_EQ(COGO_Degenerate, cogoarc_SolveIPAndTangents(ip, transform.get(), in + kPi, in + kPi, radius, &delta, &c,
                                                          &s, &e, &solved, &mask, nullptr));
    EXPECT_EQ(COGO_NullInput, cogoarc_SolveIPAndTangents(ip, transform.get(), in + kPi, in, kNull, &delta, &c, &s,
                                                         &e, &solved, &mask, nullptr));
    EXPECT_FALSE(c.IsDefined() || s.IsDefined() || e.IsDefined());
    // A null mask becomes that of the intersection point.
    EXPECT_TRUE(env.assertions.empty());
    coordsys_CogoSettings none;
    cogoarc_SolveIPAndTangents(ip, transform.get(), in + kPi, in + turn, radius, &delta, &c, &s, &e, &solved, &none,
                               &transform->Corrections);
    EXPECT_TRUE(none.IsNotNull());
}

TEST(CogoArcEllipsoid, ArcBetweenLongTangentsOnTheEllipsoid) {
    // On the ellipsoid the plane tangent length leaves the centre 22 m short of the
    // radius from the second tangent; the search has to lengthen the tangent (the
    // other way it runs off and never settles).
    RecordingEnvironment env;
    const transfrm_Class* t = transfrm_GetWGS84Transform();
    const int32_t mask = 0x489;  // WGS84 azimuths and distances on the ellipsoid
    position_Class ip;
    cogo_SetGeodetic(ip, t, coord_Local(46 * kDeg, 7 * kDeg, 0.0), false);
    const double radius = 20000.0;
    double delta = kNull;
    int direction = -1;
    coordsys_CogoSettings m = mask;
    position_Class c, s, e;
    ASSERT_EQ(COGO_Ok, cogoarc_SolveIPAndTangents(ip, t, 200 * kDeg, 290 * kDeg, radius, &delta, &c, &s, &e,
                                                  &direction, &m, nullptr));
    EXPECT_EQ(COGOARC_LeftHand, direction);
    EXPECT_NEAR(kPi / 2, delta, 1e-15);
    double r1 = kNull, r2 = kNull;
    cogo_InverseDistance(c, s, t, &r1, m);
    cogo_InverseDistance(c, e, t, &r2, m);
    EXPECT_NEAR(radius, r1, 1e-4);
    EXPECT_NEAR(radius, r2, 0.0005);
    EXPECT_TRUE(env.assertions.empty());
}

TEST(CogoArcHeights, IntersectionPointHeight) {
    RecordingEnvironment env;
    // Local heights under a job transform: the mean, or none when an end has none.
    auto job = TransformDefinitions().TransverseMercator().International().Create(
        TRANSFRM_Ellipsoid | TRANSFRM_Datum | TRANSFRM_Projection | TRANSFRM_Corrections);
    ASSERT_TRUE(job);
    const int32_t local = 0x492;
    auto geodetic = [&](double lat, double lon, double h) {
        position_Class p;
        p.SetLocal(coord_Local(lat * kDeg, lon * kDeg, h), job.get());
        return p;
    };
    position_Class s = geodetic(46.0, 10.0, 100.0), e = geodetic(46.01, 10.01, 120.0);
    position_Class ip = geodetic(46.0, 10.01, kNull);
    cogoarc_SetIPHeight(s, e, &ip, job.get(), local);
    EXPECT_NEAR(110.0, ip.GetLocal(job.get()).Height, 1e-9);
    EXPECT_NEAR(46.0 * kDeg, ip.GetLocal(job.get()).Lat, 1e-15);
    position_Class heightless = geodetic(46.01, 10.01, kNull);
    cogoarc_SetIPHeight(s, heightless, &ip, job.get(), local);
    EXPECT_TRUE(IsNull(ip.GetLocal(job.get()).Height));
    EXPECT_NEAR(10.01 * kDeg, ip.GetLocal(job.get()).Long, 1e-15);

    // A scale-only transform takes the mean grid elevation.
    TransformDefinitions definitions;
    definitions.projection.ProjectionType = COORDSYS_ScaleOnly;
    definitions.projection.Scale = 1.0;
    auto scaled = definitions.Create(TRANSFRM_Ellipsoid | TRANSFRM_Corrections | TRANSFRM_Projection);
    ASSERT_TRUE(scaled);
    auto grid = [&](double n, double e, double h) {
        position_Class p;
        p.SetGrid(coord_CorrectedGrid(n, e, h), scaled.get());
        return p;
    };
    position_Class gs = grid(0, 0, 10), ge = grid(100, 100, 20), gip = grid(0, 100, kNull);
    cogoarc_SetIPHeight(gs, ge, &gip, scaled.get(), kRoad);
    const coord_CorrectedGrid g = gip.GetGrid(scaled.get());
    EXPECT_NEAR(15.0, g.Elev, 1e-12);
    EXPECT_NEAR(100.0, g.East, 1e-12);
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace

#include "roads/roadcogo.h"

#include <cmath>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"

namespace {

constexpr double N = MATHS_Null;

struct SpiralCase {
    double rs, rl, length, s;
    double deflection, offset, along;  // by quadrature of the Fresnel-type integrals, 40 digits
};

TEST(RoadCogoSpiral, FromAStraightFollowsTheClothoidSeries) {
    // Rl null: the series, which stops at terms of 0.0001; 1e-6 m up to a quarter radian.
    const SpiralCase cases[] = {
        {100, N, 50, 50, 0.25, 4.1481024268547482, 49.688402921479471},
        {100, N, 50, 25, 0.0625, 0.52068802959351981, 24.990236140904357},
        {200, N, 100, 100, 0.25, 8.2962048537094963, 99.376805842958943},
    };
    for (const SpiralCase& c : cases) {
        SCOPED_TRACE(c.s);
        double d, o, a;
        roadcogo_SpiralOffsets(c.rs, c.rl, c.length, c.s, &d, &o, &a);
        EXPECT_NEAR(d, c.deflection, 1e-15);
        EXPECT_NEAR(o, c.offset, 1e-6);
        EXPECT_NEAR(a, c.along, 1e-6);
    }
    // The deflection at the far end is L / 2Rs.
    double d, o, a;
    roadcogo_SpiralOffsets(50, N, 120, 120, &d, &o, &a);
    EXPECT_DOUBLE_EQ(d, 1.2);
}

TEST(RoadCogoSpiral, BetweenTwoRadiiIsIntegratedAlongTheSegment) {
    // Within 1e-8 m. Close radii (offset 2184 m by the far-point difference) and a large
    // radius below the small one (deflection 0.1) were wrong before.
    const SpiralCase cases[] = {
        {100, 400, 60, 60, 0.375, 8.9073638991150104, 58.971785138136333},
        {100, 400, 60, 30, 0.13125, 1.6853042664804994, 29.930798652757795},
        {1000, 1001, 50, 50, 0.049975024975024975, 1.2489075721352772, 49.979195271948238},
        {400, 100, 80, 80, 0.5, 23.406243098660151, 75.609565549936364},
        {1000, 200, 120, 70, 0.26833333333333333, 10.276881916577371, 69.028073145638526},
        {250, 1000, 150, 150, 0.375, 22.268409747787526, 147.42946284534083},
        // Equal radii: a circular arc of 50 m on radius 300.
        {300, 300, 50, 50, 0.16666666666666667, 4.1570305311224826, 49.76883980802451},
        // Ten radians: the tangent turns past the back direction, along goes negative.
        {30, 60, 400, 400, 10.0, 82.957528268346102, -7.9476090503406669},
    };
    for (const SpiralCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rs << " " << c.rl << " " << c.s);
        double d, o, a;
        roadcogo_SpiralOffsets(c.rs, c.rl, c.length, c.s, &d, &o, &a);
        EXPECT_NEAR(d, c.deflection, 1e-14);
        EXPECT_NEAR(o, c.offset, 1e-8);
        EXPECT_NEAR(a, c.along, 1e-8);
    }
}

TEST(RoadCogoSpiral, DegenerateAndNullInputs) {
    struct Case { double rs, rl, length, s; double expected; };
    const Case cases[] = {
        {0, N, 50, 20, 0},   {0, 400, 50, 20, 0},  {100, N, 0, 20, 0},  {100, 400, 0, 20, 0},
        {N, 400, 50, 20, N}, {100, 400, N, 20, N}, {100, 400, 50, N, N}, {N, N, 50, 20, N},
        {100, 0, 50, 20, N}, {NAN, 400, 50, 20, N}, {100, INFINITY, 50, 20, N},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rs << " " << c.rl << " " << c.length << " " << c.s);
        double d = 7, o = 7, a = 7;
        roadcogo_SpiralOffsets(c.rs, c.rl, c.length, c.s, &d, &o, &a);
        EXPECT_EQ(d, c.expected);
        EXPECT_EQ(o, c.expected);
        EXPECT_EQ(a, c.expected);
    }
}

TEST(RoadCogoSpiral, ClothoidSeries) {
    double y = 7, x = 7;
    roadcogo_ClothoidSeries(0, 5000, &y, &x);
    EXPECT_EQ(y, 0.0);
    EXPECT_EQ(x, 0.0);
    // l = 120 on A^2 = 6000 (1.2 rad): the series stops at its 0.0001 term, 2e-6 m off
    // the integrals 43.283469303836418 and 103.83446126151058.
    roadcogo_ClothoidSeries(120, 6000, &y, &x);
    EXPECT_NEAR(y, 43.283469303836418, 2e-6);
    EXPECT_NEAR(x, 103.83446126151058, 2e-6);
    // Far beyond where it converges the series is cut at 30 terms and stays finite.
    roadcogo_ClothoidSeries(2000, 100, &y, &x);
    EXPECT_TRUE(maths_IsNull(y) || std::isfinite(y));
    struct Input { double l, a2; };
    for (const Input in : {Input{N, 100}, Input{10, N}, Input{10, 0}}) {
        roadcogo_ClothoidSeries(in.l, in.a2, &y, &x);
        EXPECT_EQ(y, N);
        EXPECT_EQ(x, N);
    }
}

TEST(RoadCogoVertical, ParabolaElevationAndGrade) {
    // S (80, 9.6), VPI (100, 10), E (120, 9.6): grades +-0.02, A = -0.04, L 40.
    const double s[2] = {80, 9.6}, v[2] = {100, 10}, e[2] = {120, 9.6};
    struct Case { double station, elevation, grade; };
    const Case cases[] = {
        {80, 9.6, std::atan(0.02)},  {90, 9.75, std::atan(0.01)}, {100, 9.8, 0.0},
        {110, 9.75, std::atan(-0.01)}, {120, 9.6, std::atan(-0.02)},
        {70, 9.35, std::atan(0.03)},  // beyond the ends the halves go on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.station);
        double z = 0, g = 0;
        roadcogo_ParabolaElevation(s, v, e, 20, 20, c.station, &z);
        roadcogo_ParabolaGrade(s, v, e, 20, 20, c.station, &g);
        EXPECT_NEAR(z, c.elevation, 1e-12);
        EXPECT_NEAR(g, c.grade, 1e-14);
    }
    // Asymmetric: Lin 10, Lout 30 on S (90, 9.8), VPI (100, 10), E (130, 9.4): r1 = -0.03,
    // r2 = -0.01; the two halves meet at the VPI with the offset Lin Lout A / 2(Lin + Lout).
    const double s2[2] = {90, 9.8}, e2[2] = {130, 9.4};
    double before = 0, at = 0;
    roadcogo_ParabolaElevation(s2, v, e2, 10, 30, 100 - 1e-9, &before);
    roadcogo_ParabolaElevation(s2, v, e2, 10, 30, 100, &at);
    EXPECT_NEAR(at, 10 + 10 * 30 * -0.04 / 80, 1e-12);
    EXPECT_NEAR(before, at, 1e-9);
}

TEST(RoadCogoVertical, ParabolaShortSidesAndNulls) {
    const double s[2] = {80, 9.6}, v[2] = {100, 10}, e[2] = {120, 9.6};
    double z = 0, g = 7;
    // Lin within 0.0005 of 0: the straight grade from S, reported as grade 0.
    roadcogo_ParabolaElevation(s, v, e, 0.0004, 20, 90, &z);
    roadcogo_ParabolaGrade(s, v, e, 0.0004, 20, 90, &g);
    EXPECT_NEAR(z, 9.8, 1e-12);
    EXPECT_EQ(g, 0.0);
    // VPI station within 0.0005 of the start's: that grade counts 0, not 0.4 / 0.0004.
    const double v2[2] = {80.0004, 10};
    roadcogo_ParabolaGrade(s, v2, e, 20, 20, 70, &g);
    EXPECT_LT(std::fabs(g), 0.01);
    const double nullPair[2] = {N, 9.6};
    roadcogo_ParabolaElevation(nullPair, v, e, 20, 20, 90, &z);
    EXPECT_EQ(z, N);
    roadcogo_ParabolaGrade(s, v, e, N, 20, 110, &g);
    EXPECT_EQ(g, N);
    roadcogo_ParabolaElevation(s, v, e, 20, 20, N, &z);
    EXPECT_EQ(z, N);
}

TEST(RoadCogoVertical, CircleElevation) {
    const double sagCentre[2] = {100, 60}, crestCentre[2] = {100, -40}, reference[2] = {100, 10};
    double z = 0;
    roadcogo_VerticalArcElevation(sagCentre, reference, 50, 130, &z);
    EXPECT_NEAR(z, 20, 1e-12);  // 60 - sqrt(2500 - 900)
    roadcogo_VerticalArcElevation(crestCentre, reference, 50, 70, &z);
    EXPECT_NEAR(z, 0, 1e-12);
    roadcogo_VerticalArcElevation(crestCentre, reference, 50, 151, &z);
    EXPECT_EQ(z, N);  // beyond the radius
    roadcogo_VerticalArcElevation(crestCentre, reference, N, 120, &z);
    EXPECT_EQ(z, N);
}

TEST(RoadCogo, InterpolateAndHypotenuse) {
    struct Case { double y1, y2, x1, x2, x, expected; };
    const Case cases[] = {
        {10, 20, 0, 100, 25, 12.5},  {10, 20, 0, 100, 150, 25},  // extrapolates
        {10, 10, 5, 5, 7, 10},       {10, 20, 5, 5, 7, N},
        {N, 20, 0, 100, 25, N},      {10, N, 0, 100, 25, N},
        {10, 20, N, 100, 25, N},     {10, 20, 0, 100, N, N},
    };
    for (const Case& c : cases)
        EXPECT_EQ(roadcogo_Interpolate(c.y1, c.y2, c.x1, c.x2, c.x), c.expected) << c.y1 << " " << c.x;
    EXPECT_EQ(roadcogo_Hypotenuse(3, 4), 5.0);
    EXPECT_EQ(roadcogo_Hypotenuse(N, 4), N);
    EXPECT_EQ(roadcogo_Hypotenuse(3, N), N);
}

}  // namespace

#include "cogo/position_angles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kNull = MATHS_Null;
constexpr double kDeg = CONSTANT_Pi / 180.0;

TEST(PositionAngles, Faces) {
    struct Case { double zenith; int face; bool isFace2; int faceOfZenith; };
    const Case cases[] = {
        {kNull, COORD_Face2, true, COORD_FaceNull},
        {kNull, COORD_Face1, false, COORD_FaceNull},
        {kNull, COORD_FaceNull, false, COORD_FaceNull},
        {CONSTANT_PiOverTwo, COORD_Face2, false, COORD_Face1},
        {3 * CONSTANT_PiOverTwo, COORD_Face1, true, COORD_Face2},
        {CONSTANT_Pi, COORD_FaceNull, false, COORD_Face1},
        {-CONSTANT_PiOverTwo, COORD_Face1, true, COORD_Face2},
        {CONSTANT_TwoPi + 1.0, COORD_Face2, false, COORD_Face1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(position_IsFace2(c.zenith, c.face), c.isFace2) << c.zenith << " " << c.face;
        EXPECT_EQ(position_FaceOfZenith(c.zenith), c.faceOfZenith) << c.zenith;
    }
}

TEST(PositionAngles, DifferencesAndMeansInDegrees) {
    struct Case { double a, b, difference, signedDifference, absDifference, mean, bisect, meanNear; };
    const Case cases[] = {
        {350, 10, 20, -20, 20, 0, 0, 0},
        {10, 350, 340, 20, 20, 0, 180, 0},
        {10, 20, 10, -10, 10, 15, 15, 15},
        {20, 10, 350, 10, 10, 15, 195, 15},
        {0, 270, 270, 90, 90, 315, 135, 315},
        {45, 45, 0, 0, 0, 45, 45, 45},
        {-30, 400, 70, -70, 70, 5, 185, 5},
    };
    for (const Case& c : cases) {
        const double a = c.a * kDeg, b = c.b * kDeg;
        SCOPED_TRACE(testing::Message() << c.a << ", " << c.b);
        EXPECT_NEAR(position_AngleDifference(a, b) / kDeg, c.difference, 1e-9);
        EXPECT_NEAR(position_AngleDifferenceSigned(a, b) / kDeg, c.signedDifference, 1e-9);
        EXPECT_NEAR(position_AngleDifferenceAbs(a, b) / kDeg, c.absDifference, 1e-9);
        // Means at 0 may come out a hair below 360.
        EXPECT_NEAR(std::remainder(position_AngleMean(a, b) / kDeg - c.mean, 360.0), 0.0, 1e-9);
        EXPECT_NEAR(std::remainder(position_AngleBisect(a, b) / kDeg - c.bisect, 360.0), 0.0, 1e-9);
        EXPECT_NEAR(std::remainder(position_AngleMeanNear(a, b) / kDeg - c.meanNear, 360.0), 0.0, 1e-9);
        EXPECT_NEAR(std::remainder(position_AngleMeanNullAware(a, b) / kDeg - c.meanNear, 360.0), 0.0, 1e-9);
        for (double r : {position_AngleDifference(a, b), position_AngleMean(a, b), position_AngleBisect(a, b),
                         position_AngleMeanNear(a, b)}) {
            EXPECT_GE(r, 0.0);
            EXPECT_LT(r, CONSTANT_TwoPi);
        }
    }
}

TEST(PositionAngles, NullInputs) {
    double (*const needBoth[])(double, double) = {
        position_AngleDifference, position_AngleDifferenceSigned, position_AngleDifferenceAbs,
        position_AngleMean,       position_AngleBisect,           position_AngleMeanNear,
    };
    for (auto f : needBoth) {
        EXPECT_TRUE(maths_IsNull(f(kNull, 1.0)));
        EXPECT_TRUE(maths_IsNull(f(1.0, kNull)));
    }
    for (auto f : {position_AngleMeanNullAware, position_MeanNullAware}) {
        EXPECT_EQ(f(kNull, 1.5), 1.5);
        EXPECT_EQ(f(1.5, kNull), 1.5);
        EXPECT_TRUE(maths_IsNull(f(kNull, kNull)));
    }
    // Not an angle mean: no folding.
    EXPECT_EQ(position_MeanNullAware(350.0, 10.0), 180.0);
}

TEST(PositionAngles, LooseEquality) {
    EXPECT_TRUE(position_AnglesEqualLoose(1.0, 1.00009));
    EXPECT_TRUE(position_AnglesEqualLoose(1.00009, 1.0));
    EXPECT_FALSE(position_AnglesEqualLoose(1.0, 1.00011));
    EXPECT_FALSE(position_AnglesEqualLoose(1e-5, CONSTANT_TwoPi - 1e-5));
    EXPECT_FALSE(position_AnglesEqualLoose(kNull, kNull));
    EXPECT_FALSE(position_AnglesEqualLoose(kNull, 1.0));
}

TEST(PositionAngles, ChordAndArc) {
    // R = 100: a chord of 100 spans 60 degrees, an arc of 100 pi / 3; a chord of 200 is
    // the diameter, a half circle.
    struct Case { double radius, chord, arc; };
    const Case cases[] = {
        {100.0, 100.0, 104.71975511965977},
        {100.0, 200.0, 314.1592653589793},
        {100.0, 0.0, 0.0},
        {-100.0, 100.0, 104.71975511965977},
    };
    for (const Case& c : cases) {
        double l = c.chord;
        position_ChordToArc(c.radius, &l);
        EXPECT_NEAR(l, c.arc, 1e-11) << c.chord;
        l = c.arc;
        position_ArcToChord(c.radius, &l);
        EXPECT_NEAR(l, c.chord, 1e-11) << c.arc;
    }
    // A chord longer than the diameter has no arc; a zero radius none either.
    for (double radius : {100.0, 0.0}) {
        double l = 200.001;
        position_ChordToArc(radius, &l);
        EXPECT_TRUE(maths_IsNull(l));
        l = 1.0;
        position_ChordToArc(0.0, &l);
        EXPECT_TRUE(maths_IsNull(l));
        l = 1.0;
        position_ArcToChord(0.0, &l);
        EXPECT_TRUE(maths_IsNull(l));
    }
    // Null inputs leave the length as it was.
    double l = 5.0;
    position_ChordToArc(kNull, &l);
    position_ArcToChord(kNull, &l);
    EXPECT_EQ(l, 5.0);
    l = kNull;
    position_ChordToArc(100.0, &l);
    position_ArcToChord(100.0, &l);
    EXPECT_EQ(l, kNull);
}

TEST(PositionAngles, SlopeDistance) {
    double out = 0.0;
    position_SlopeDistance(coord_Polar(1.0, 3.0, -4.0), &out);
    EXPECT_EQ(out, 5.0);
    position_SlopeDistance(coord_Polar(kNull, 3.0, 4.0), &out);
    EXPECT_EQ(out, 5.0);  // the azimuth plays no part
    position_SlopeDistance(coord_Polar(1.0, kNull, 4.0), &out);
    EXPECT_TRUE(maths_IsNull(out));
    out = 0.0;
    position_SlopeDistance(coord_Polar(1.0, 3.0, kNull), &out);
    EXPECT_TRUE(maths_IsNull(out));
}

}  // namespace

#include "cogo/grade.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/recording_environment.h"

namespace {

constexpr double kHalfPi = CONSTANT_PiOverTwo;
constexpr double kNull = MATHS_Null;

TEST(Grade, VerticalWithinTheTolerance) {
    struct Case { double grade; bool up, down, valid; };
    const Case cases[] = {
        {kHalfPi, true, false, true},
        {kHalfPi - 9e-6, true, false, true},
        {kHalfPi - 2e-5, false, false, true},
        {kHalfPi + 5e-6, true, false, true},
        {kHalfPi + 1e-4, false, false, false},
        {-kHalfPi, false, true, true},
        {-kHalfPi + 9e-6, false, true, true},
        {-kHalfPi - 5e-6, false, true, true},
        {-kHalfPi - 1e-4, false, false, false},
        {0.0, false, false, true},
        {kNull, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(grade_IsUp(c.grade), c.up) << c.grade;
        EXPECT_EQ(grade_IsDown(c.grade), c.down) << c.grade;
        EXPECT_EQ(grade_IsValid(c.grade), c.valid) << c.grade;
    }
}

TEST(Grade, VerticalDifference) {
    struct Case { double grade, distance, expected; };
    const Case cases[] = {
        {0.1, 100.0, 10.033467208545055},  // tan(0.1) x 100
        {-0.1, 100.0, -10.033467208545055},
        {0.0, 100.0, 0.0},
        {kHalfPi, 100.0, 100.0},
        {-kHalfPi, 100.0, -100.0},
        {kHalfPi - 9e-6, 100.0, 100.0},
        // Steeper than the tangent serves, not yet vertical: taken as vertical.
        {kHalfPi - 5e-5, 100.0, 100.0},
        {-kHalfPi + 5e-5, 100.0, -100.0},
        // Just outside that band the tangent is used again: 100 / tan(2e-4).
        {kHalfPi - 2e-4, 100.0, 499999.9933333333},
        {kNull, 100.0, kNull},
        {0.1, kNull, kNull},
    };
    RecordingEnvironment env;
    for (const Case& c : cases) {
        const double v = grade_VerticalDifference(c.grade, c.distance);
        if (maths_IsNull(c.expected))
            EXPECT_TRUE(maths_IsNull(v)) << c.grade;
        else
            EXPECT_NEAR(v, c.expected, 1e-9 * std::fabs(c.expected) + 1e-12) << c.grade;
    }
    EXPECT_TRUE(env.assertions.empty());

    // A null input leaves the output as it was.
    double out = 7.0, grade = kNull, distance = 100.0;
    grade_ComputeVerticalDifference(&grade, &distance, &out);
    EXPECT_EQ(out, 7.0);
}

TEST(Grade, BeyondTheVerticalIsReported) {
    RecordingEnvironment env;
    // Past the vertical within the tolerance: reported, still vertical.
    EXPECT_EQ(grade_VerticalDifference(kHalfPi + 5e-6, 100.0), 100.0);
    EXPECT_EQ(grade_VerticalDifference(-kHalfPi - 5e-6, 100.0), -100.0);
    // Beyond it: reported, nothing computed.
    EXPECT_TRUE(maths_IsNull(grade_VerticalDifference(2.0, 100.0)));
    EXPECT_TRUE(maths_IsNull(grade_VerticalDifference(std::nan(""), 100.0)));
    ASSERT_EQ(env.assertions.size(), 3u);
    EXPECT_EQ(env.assertions[0].expression, "(!(*grade > GRADE_Up)) && (!(*grade < GRADE_Down))");
    EXPECT_EQ(env.assertions[0].module, "QZ/grade");
    env.Clear();
    EXPECT_EQ(grade_HorizontalDistance(kHalfPi + 5e-6, 5.0), 0.0);
    EXPECT_TRUE(maths_IsNull(grade_HorizontalDistance(-2.0, 5.0)));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>(2, "(!(grade > GRADE_Up)) && (!(grade < GRADE_Down))")));
}

TEST(Grade, HorizontalDistance) {
    struct Case { double grade, dv, expected; };
    const Case cases[] = {
        {0.1, 10.033467208545055, 100.0},
        {-0.1, -10.033467208545055, 100.0},
        {-0.1, 10.033467208545055, -100.0},
        {kHalfPi, 5.0, 0.0},
        {-kHalfPi, 5.0, 0.0},
        {kHalfPi - 5e-5, 5.0, 0.00025000000020833336},  // 5 tan(5e-5)
        // Too flat to climb: |tan| below 0.0001.
        {5e-5, 1.0, kNull},
        {0.0, 0.0, kNull},
        {kNull, 1.0, kNull},
        {0.1, kNull, kNull},
    };
    for (const Case& c : cases) {
        const double h = grade_HorizontalDistance(c.grade, c.dv);
        if (maths_IsNull(c.expected))
            EXPECT_TRUE(maths_IsNull(h)) << c.grade;
        else
            EXPECT_NEAR(h, c.expected, 1e-9) << c.grade;
    }
}

}  // namespace

#include "foundation/kernel/maths.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "support/recording_environment.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

uint64_t Bits(double x) { return std::bit_cast<uint64_t>(x); }
double FromBits(uint64_t b) { return std::bit_cast<double>(b); }

TEST(Maths, NullValueAndConstantsHaveTheirBitPatterns) {
    EXPECT_EQ(Bits(MATHS_Null), 0x7FE1CCF385EBC8A0u);
    EXPECT_EQ(Bits(CONSTANT_Pi), 0x400921FB54442D18u);
    EXPECT_EQ(Bits(CONSTANT_PiOverTwo), 0x3FF921FB54442D18u);
    EXPECT_EQ(Bits(CONSTANT_TwoPi), 0x401921FB54442D18u);
    double x = 0.0;
    EXPECT_EQ(maths_SetNull(&x), &x);
    EXPECT_EQ(Bits(x), Bits(MATHS_Null));
}

TEST(Maths, NullIsDecidedByTheUpperWordAlone) {
    struct Case { double x; bool null; };
    const Case cases[] = {
        {1e308, true},
        {FromBits(0x7FE1CCF300000000u), true},
        {FromBits(0x7FE1CCF3FFFFFFFFu), true},
        {1.0000004e308, true},
        {9.999996e307, true},
        {FromBits(0x7FE1CCF2FFFFFFFFu), false},
        {FromBits(0x7FE1CCF400000000u), false},
        {-1e308, false},
        {kInf, false},
        {-kInf, false},
        {kNaN, false},
        {0.0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(maths_IsNull(c.x), c.null) << std::hex << Bits(c.x);
        EXPECT_EQ(maths_IsNotNull(c.x), c.null ? 0 : 1);
    }
    EXPECT_TRUE(maths_IsZero(-0.0));
    EXPECT_FALSE(maths_IsZero(MATHS_Null));
}

TEST(Maths, OneOperandFunctionsCarryNullAndDomain) {
    const double alsoNull = FromBits(0x7FE1CCF300000001u);
    double (*const all[])(double) = {maths_Abs, maths_Floor, maths_Ceil, maths_Negate, maths_Square,
                                     maths_Sqrt, maths_Sin, maths_Cos, maths_Tan, maths_ASin,
                                     maths_ACos, maths_ATan, maths_Exp, maths_Log, maths_Log10,
                                     maths_ATanh};
    for (auto f : all) {
        // The exact 1e308 comes back, whatever null went in.
        EXPECT_EQ(Bits(f(MATHS_Null)), Bits(MATHS_Null));
        EXPECT_EQ(Bits(f(alsoNull)), Bits(MATHS_Null));
    }
    EXPECT_TRUE(maths_IsNull(maths_Sqrt(-1e-300)));
    EXPECT_EQ(Bits(maths_Sqrt(-0.0)), Bits(-0.0));
    EXPECT_EQ(maths_Sqrt(4.0), 2.0);
    EXPECT_EQ(maths_ASin(1.0), std::asin(1.0));
    EXPECT_EQ(maths_ACos(-1.0), std::acos(-1.0));
    EXPECT_TRUE(maths_IsNull(maths_ASin(1.0000001)));
    EXPECT_TRUE(maths_IsNull(maths_ACos(-1.0000001)));
    // No domain test of their own: the C library's answer passes through.
    EXPECT_EQ(maths_Log(0.0), -kInf);
    EXPECT_TRUE(std::isnan(maths_Log10(-1.0)));
    EXPECT_EQ(maths_ATanh(1.0), kInf);
    EXPECT_DOUBLE_EQ(maths_ATanh(0.5), std::atanh(0.5));
    EXPECT_EQ(maths_Negate(-1e308), 1e308);  // not null on the way in
}

TEST(Maths, SeveralOperandFunctionsCarryNull) {
    EXPECT_EQ(maths_Add(2, 3), 5.0);
    EXPECT_EQ(Bits(maths_Add(1e308, 5)), Bits(MATHS_Null));
    EXPECT_EQ(Bits(maths_Add(5, 1.0000004e308)), Bits(MATHS_Null));
    EXPECT_EQ(maths_Subtract(2, 3), -1.0);
    EXPECT_TRUE(maths_IsNull(maths_Subtract(MATHS_Null, 3)));
    EXPECT_EQ(maths_SubtractBoth(10, 3, 2), 5.0);
    for (int i = 0; i < 3; ++i) {
        double v[3] = {10, 3, 2};
        v[i] = MATHS_Null;
        EXPECT_TRUE(maths_IsNull(maths_SubtractBoth(v[0], v[1], v[2])));
    }
    EXPECT_EQ(maths_Multiply(2, 3), 6.0);
    EXPECT_TRUE(maths_IsNull(maths_Multiply(0, MATHS_Null)));
    EXPECT_EQ(maths_Divide(1, 4), 0.25);
    EXPECT_TRUE(maths_IsNull(maths_Divide(1, 0.0)));
    EXPECT_TRUE(maths_IsNull(maths_Divide(1, -0.0)));
    EXPECT_TRUE(maths_IsNull(maths_Divide(MATHS_Null, 2)));
    EXPECT_TRUE(std::isnan(maths_FMod(1, 0)));
    EXPECT_EQ(maths_FMod(7, 3), 1.0);
    EXPECT_EQ(maths_Pow(2, 10), 1024.0);
    EXPECT_TRUE(maths_IsNull(maths_Pow(MATHS_Null, 0)));

    double p = 1.0;
    maths_AddTo(&p, 2.0);
    EXPECT_EQ(p, 3.0);
    maths_SubtractFrom(&p, 0.5);
    EXPECT_EQ(p, 2.5);
    maths_AddTo(&p, MATHS_Null);
    EXPECT_TRUE(maths_IsNull(p));
    maths_SubtractFrom(&p, 1.0);
    EXPECT_EQ(Bits(p), Bits(MATHS_Null));
}

TEST(Maths, ATan2TakesYFirst) {
    struct Case { double y, x, expected; };
    const Case cases[] = {
        {0, -1, CONSTANT_Pi},
        {-0.0, -1, CONSTANT_Pi},  // +pi for either zero
        {-1, 0, -CONSTANT_PiOverTwo},
        {1, 0, CONSTANT_PiOverTwo},
        {1, 1, CONSTANT_Pi / 4},
        {0, 1, 0.0},
        {-1, -1, -3 * CONSTANT_Pi / 4},
        {2, -1, std::atan2(2.0, -1.0)},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(maths_ATan2(c.y, c.x), c.expected) << c.y << "," << c.x;
    EXPECT_EQ(maths_ATan2(-0.0, -1), CONSTANT_Pi);
    EXPECT_TRUE(maths_IsNull(maths_ATan2(0, 0)));
    EXPECT_TRUE(maths_IsNull(maths_ATan2(-0.0, 0)));
    EXPECT_TRUE(maths_IsNull(maths_ATan2(MATHS_Null, 1)));
    EXPECT_TRUE(maths_IsNull(maths_ATan2(1, MATHS_Null)));
}

TEST(Maths, MaxMinTiesReturnTheSecondOperand) {
    EXPECT_TRUE(maths_IsNull(maths_Max(MATHS_Null, 5)));
    EXPECT_EQ(maths_Min(MATHS_Null, 5), 5.0);
    EXPECT_EQ(maths_Max(1, 2), 2.0);
    EXPECT_EQ(maths_Min(1, 2), 1.0);
    // +0 and -0 compare equal, so the sign shows which operand came back.
    EXPECT_EQ(Bits(maths_Max(0.0, -0.0)), Bits(-0.0));
    EXPECT_EQ(Bits(maths_Min(0.0, -0.0)), Bits(-0.0));
    EXPECT_EQ(maths_MaxInt(3, 7), 7);
    EXPECT_EQ(maths_MaxInt(7, 3), 7);
    EXPECT_EQ(maths_MinInt(3, 7), 3);
    EXPECT_EQ(maths_MinInt(7, 3), 3);
}

TEST(Maths, RoundSendsHalvesAwayFromZero) {
    RecordingEnvironment rec;
    struct Case { double x; int32_t expected; };
    const Case cases[] = {
        {2.5, 3}, {-2.5, -3}, {-0.4, 0}, {0.4, 0}, {2.4999, 2}, {-1.5, -2},
        {0.49999999999999994, 1},  // x + 0.5 rounds up to 1.0 before truncation
        {2147483647.0, 2147483647}, {-2147483648.0, INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(maths_Round(c.x), c.expected) << c.x;
    EXPECT_TRUE(rec.assertions.empty());
}

TEST(Maths, RoundOfValuesWithoutAnIntegerIsReportedAndBounded) {
    RecordingEnvironment rec;
    struct Case { double x; int32_t expected; };
    const Case cases[] = {
        {MATHS_Null, INT32_MAX}, {kInf, INT32_MAX}, {-kInf, INT32_MIN}, {kNaN, 0},
        {2147483647.5, INT32_MAX}, {-2147483648.5, INT32_MIN}, {-1e300, INT32_MIN},
    };
    for (const Case& c : cases) {
        rec.Clear();
        EXPECT_EQ(maths_Round(c.x), c.expected) << c.x;
        ASSERT_EQ(rec.assertions.size(), 1u) << c.x;
        EXPECT_EQ(rec.assertions[0].expression, "x >= INT32_MIN && x <= INT32_MAX");
        EXPECT_EQ(rec.assertions[0].module, "Kernel/maths");
    }
}

// Both forms of each normaliser must agree; the returning form leaves its input alone.
double CheckForms(double (*returning)(const double*), void (*inPlace)(double*), double angle) {
    double stored = angle;
    double r = returning(&stored);
    EXPECT_EQ(Bits(stored), Bits(angle));
    inPlace(&stored);
    EXPECT_EQ(Bits(stored), Bits(r));
    return r;
}

double PlusMinusPi(double a) {
    double r = CheckForms(coord_NormalisedPlusMinusPi, coord_NormalisePlusMinusPi, a);
    EXPECT_EQ(Bits(CheckForms(coord_NormalisedLongitude, coord_NormaliseLongitude, a)), Bits(r));
    return r;
}
double Latitude(double a) {
    double r = CheckForms(coord_NormalisedLatitude, coord_NormaliseLatitude, a);
    EXPECT_EQ(Bits(CheckForms(coord_NormalisedPlusMinusPiOverTwo, coord_NormalisePlusMinusPiOverTwo, a)),
              Bits(r));
    return r;
}
double Azimuth(double a) { return CheckForms(coord_NormalisedAzimuth, coord_NormaliseAzimuth, a); }

constexpr double Pi = CONSTANT_Pi;

TEST(Normalise, PlusMinusPiKeepsTheClosedRangeAndReducesTheRest) {
    RecordingEnvironment rec;
    struct Case { double in, out; };
    const Case cases[] = {
        {Pi, Pi}, {-Pi, -Pi}, {0.5, 0.5},
        {3 * Pi / 2, -Pi / 2}, {-7, -7 + 2 * Pi}, {7, 7 - 2 * Pi},
        {std::nextafter(Pi, 4.0), std::nextafter(Pi, 4.0) - 2 * Pi},
        {3 * Pi, Pi - 2 * Pi},  // reduced angles land in [-pi, pi)
        {21.0, 21.0 - 3 * 2 * Pi},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(PlusMinusPi(c.in), c.out) << c.in;
    EXPECT_EQ(PlusMinusPi(Pi), Pi);
    // The reduction is angle - k * 2pi with k truncated, bit for bit.
    EXPECT_EQ(Bits(PlusMinusPi(-7)), Bits(-7 - (-1) * CONSTANT_TwoPi));
    EXPECT_TRUE(rec.assertions.empty());
}

TEST(Normalise, LatitudeFoldsByHalfTurns) {
    RecordingEnvironment rec;
    struct Case { double in, out; };
    const Case cases[] = {
        {Pi / 2, Pi / 2}, {-Pi / 2, -Pi / 2}, {1.0, 1.0},
        {2.0, 2.0 - Pi}, {-2.0, -2.0 + Pi}, {4.0, 4.0 - Pi}, {10.0, 10.0 - 3 * Pi},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(Latitude(c.in), c.out) << c.in;
    EXPECT_EQ(Bits(Latitude(2.0)), Bits(2.0 - CONSTANT_Pi));
    EXPECT_TRUE(rec.assertions.empty());
}

TEST(Normalise, AzimuthIsHalfOpen) {
    RecordingEnvironment rec;
    struct Case { double in, out; };
    const Case cases[] = {
        {0.0, 0.0}, {1.0, 1.0}, {2 * Pi, 0.0}, {-0.1, 2 * Pi - 0.1},
        {7 * Pi / 2, 3 * Pi / 2}, {-7 * Pi / 2, Pi / 2}, {100.0, 100.0 - 15 * 2 * Pi},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(Azimuth(c.in), c.out) << c.in;
    EXPECT_EQ(Azimuth(2 * Pi), 0.0);
    // A tiny negative angle would round up to 2pi; it must come out as 0.
    double r = Azimuth(-1e-20);
    EXPECT_GE(r, 0.0);
    EXPECT_LT(r, CONSTANT_TwoPi);
    EXPECT_TRUE(rec.assertions.empty());
}

TEST(Normalise, NullAndNonFiniteAnglesComeBackUnchanged) {
    RecordingEnvironment rec;
    const double values[] = {MATHS_Null, FromBits(0x7FE1CCF3DEADBEEFu), kInf, -kInf, kNaN};
    for (double v : values) {
        EXPECT_EQ(Bits(PlusMinusPi(v)), Bits(v));
        EXPECT_EQ(Bits(Latitude(v)), Bits(v));
        EXPECT_EQ(Bits(Azimuth(v)), Bits(v));
    }
    EXPECT_TRUE(rec.assertions.empty());
}

TEST(Normalise, HugeFiniteAnglesAreReducedIntoRange) {
    RecordingEnvironment rec;
    const double values[] = {1.3e10, -1.4e10, 1e20, -1e20, 1e300, -1e308, 9e307};
    for (double v : values) {
        double s = PlusMinusPi(v);
        EXPECT_GE(s, -Pi) << v;
        EXPECT_LT(s, Pi) << v;
        EXPECT_NEAR(std::sin(s), std::sin(std::fmod(v, 2 * Pi)), 1e-5) << v;
        double l = Latitude(v);
        EXPECT_GE(l, -Pi / 2) << v;
        EXPECT_LT(l, Pi / 2) << v;
        double a = Azimuth(v);
        EXPECT_GE(a, 0.0) << v;
        EXPECT_LT(a, 2 * Pi) << v;
    }
    EXPECT_TRUE(rec.assertions.empty());
}

}  // namespace

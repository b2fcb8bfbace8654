#include "foundation/kernel/maths.h"

#include <cmath>
#include <cstdint>

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = "Kernel/maths";
}  // namespace

double* maths_SetNull(double* out) {
    *out = MATHS_Null;
    return out;
}

double maths_Abs(double x) { return maths_IsNull(x) ? MATHS_Null : std::fabs(x); }
double maths_Floor(double x) { return maths_IsNull(x) ? MATHS_Null : std::floor(x); }
double maths_Ceil(double x) { return maths_IsNull(x) ? MATHS_Null : std::ceil(x); }
double maths_Negate(double x) { return maths_IsNull(x) ? MATHS_Null : -x; }
double maths_Square(double x) { return maths_IsNull(x) ? MATHS_Null : x * x; }
double maths_Sqrt(double x) { return maths_IsNull(x) || x < 0.0 ? MATHS_Null : std::sqrt(x); }
double maths_Sin(double x) { return maths_IsNull(x) ? MATHS_Null : std::sin(x); }
double maths_Cos(double x) { return maths_IsNull(x) ? MATHS_Null : std::cos(x); }
double maths_Tan(double x) { return maths_IsNull(x) ? MATHS_Null : std::tan(x); }
double maths_ASin(double x) {
    return maths_IsNull(x) || x < -1.0 || x > 1.0 ? MATHS_Null : std::asin(x);
}
double maths_ACos(double x) {
    return maths_IsNull(x) || x < -1.0 || x > 1.0 ? MATHS_Null : std::acos(x);
}
double maths_ATan(double x) { return maths_IsNull(x) ? MATHS_Null : std::atan(x); }
double maths_Exp(double x) { return maths_IsNull(x) ? MATHS_Null : std::exp(x); }
double maths_Log(double x) { return maths_IsNull(x) ? MATHS_Null : std::log(x); }
double maths_Log10(double x) { return maths_IsNull(x) ? MATHS_Null : std::log10(x); }
double maths_ATanh(double x) {
    return maths_IsNull(x) ? MATHS_Null : maths_Log((x + 1.0) / (1.0 - x)) / 2.0;
}

double maths_Add(double a, double b) {
    return maths_IsNull(a) || maths_IsNull(b) ? MATHS_Null : a + b;
}
double maths_Subtract(double a, double b) {
    return maths_IsNull(a) || maths_IsNull(b) ? MATHS_Null : a - b;
}
double maths_SubtractBoth(double a, double b, double c) {
    return maths_IsNull(a) || maths_IsNull(b) || maths_IsNull(c) ? MATHS_Null : a - b - c;
}
double maths_Multiply(double a, double b) {
    return maths_IsNull(a) || maths_IsNull(b) ? MATHS_Null : a * b;
}
double maths_Divide(double a, double b) {
    return maths_IsNull(a) || maths_IsNull(b) || b == 0.0 ? MATHS_Null : a / b;
}
double maths_FMod(double a, double b) {
    return maths_IsNull(a) || maths_IsNull(b) ? MATHS_Null : std::fmod(a, b);
}
double maths_Pow(double a, double b) {
    return maths_IsNull(a) || maths_IsNull(b) ? MATHS_Null : std::pow(a, b);
}

// Built from atan of a ratio no larger than 1, so (+-0, x < 0) gives +pi.
double maths_ATan2(double y, double x) {
    if (maths_IsNull(x) || maths_IsNull(y) || (x == 0.0 && y == 0.0)) return MATHS_Null;
    double ax = maths_Abs(x);
    double ay = maths_Abs(y);
    double e = ax < ay ? CONSTANT_PiOverTwo - maths_ATan(ax / ay) : maths_ATan(ay / ax);
    if (x < 0.0) e = CONSTANT_Pi - e;
    return y < 0.0 ? -e : e;
}

void maths_AddTo(double* p, double x) { *p = maths_Add(*p, x); }
void maths_SubtractFrom(double* p, double x) { *p = maths_Subtract(*p, x); }

double maths_Max(double a, double b) { return b < a ? a : b; }
double maths_Min(double a, double b) { return b <= a ? b : a; }

int32_t maths_Round(double x) {
    // Truncation of x +- 0.5, done in double so only a value that fits is converted.
    double t = x >= 0.0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5);
    if (!QZ_ASSERT_TEXT(t >= -2147483648.0 && t <= 2147483647.0,
                        "x >= INT32_MIN && x <= INT32_MAX")) {
        if (std::isnan(t)) return 0;
        return t < 0.0 ? INT32_MIN : INT32_MAX;
    }
    return static_cast<int32_t>(t);
}

int maths_MaxInt(int a, int b) { return a > b ? a : b; }
int maths_MinInt(int a, int b) { return a < b ? a : b; }

// The normalisers belong to the coordinate module and report under its name.
namespace {
namespace coord_normalise {

constexpr const char* kModule = "Library/coord";

// angle - k * period with k the quotient truncated to a 32-bit integer, as stored
// angles have always been reduced. A quotient beyond 32 bits is reduced exactly by
// fmod instead, so no double is converted to an integer it does not fit.
double ReduceByPeriods(double angle, double period) {
    double q = angle / period;
    if (std::fabs(q) < 2147483648.0) return angle - static_cast<double>(static_cast<int32_t>(q)) * period;
    return std::fmod(angle, period);
}

double Signed(double angle, double bound, double period, const char* lowText, const char* highText) {
    if (maths_IsNull(angle) || !std::isfinite(angle)) return angle;
    if (angle >= -bound && angle <= bound) return angle;
    double r = ReduceByPeriods(angle, period);
    if (r < -bound) r += period;
    if (r >= bound) r -= period;
    QZ_ASSERT_TEXT(r >= -bound, lowText);
    QZ_ASSERT_TEXT(r <= bound, highText);
    return r;
}

double PlusMinusPi(double angle) {
    return Signed(angle, CONSTANT_Pi, CONSTANT_TwoPi, "output >= -CONSTANT_Pi", "output <= CONSTANT_Pi");
}

double PlusMinusPiOverTwo(double angle) {
    return Signed(angle, CONSTANT_PiOverTwo, CONSTANT_Pi, "output >= -CONSTANT_PiOverTwo",
                  "output <= CONSTANT_PiOverTwo");
}

double Azimuth(double angle) {
    if (maths_IsNull(angle) || !std::isfinite(angle)) return angle;
    if (angle >= 0.0 && angle < CONSTANT_TwoPi) return angle;
    double r = ReduceByPeriods(angle, CONSTANT_TwoPi);
    if (r < 0.0) r += CONSTANT_TwoPi;
    if (r >= CONSTANT_TwoPi) r -= CONSTANT_TwoPi;
    QZ_ASSERT_TEXT(r >= 0.0, "output >= 0.0");
    QZ_ASSERT_TEXT(r < CONSTANT_TwoPi, "output < CONSTANT_TwoPi");
    return r;
}

}  // namespace coord_normalise
}  // namespace

double coord_NormalisedPlusMinusPi(const double* angle) { return coord_normalise::PlusMinusPi(*angle); }
void coord_NormalisePlusMinusPi(double* angle) { *angle = coord_normalise::PlusMinusPi(*angle); }
double coord_NormalisedLongitude(const double* angle) { return coord_normalise::PlusMinusPi(*angle); }
void coord_NormaliseLongitude(double* angle) { *angle = coord_normalise::PlusMinusPi(*angle); }
double coord_NormalisedPlusMinusPiOverTwo(const double* angle) {
    return coord_normalise::PlusMinusPiOverTwo(*angle);
}
void coord_NormalisePlusMinusPiOverTwo(double* angle) {
    *angle = coord_normalise::PlusMinusPiOverTwo(*angle);
}
double coord_NormalisedLatitude(const double* angle) { return coord_normalise::PlusMinusPiOverTwo(*angle); }
void coord_NormaliseLatitude(double* angle) { *angle = coord_normalise::PlusMinusPiOverTwo(*angle); }
double coord_NormalisedAzimuth(const double* angle) { return coord_normalise::Azimuth(*angle); }
void coord_NormaliseAzimuth(double* angle) { *angle = coord_normalise::Azimuth(*angle); }

// Null-aware maths. Every double that may be absent (a coordinate component, an
// observation, a time, a setting) holds MATHS_Null instead of a separate flag; the
// functions here carry that null through a computation instead of producing a
// meaningless number. Also the angle constants and the angle normalisers.
#pragma once

#include <bit>
#include <cstdint>

// 1e308, bit pattern 0x7FE1CCF385EBC8A0. Stored in records and files unchanged.
inline constexpr double MATHS_Null = 1e308;

inline constexpr double CONSTANT_Pi = 3.141592653589793;
inline constexpr double CONSTANT_PiOverTwo = 1.5707963267948966;
inline constexpr double CONSTANT_TwoPi = 6.283185307179586;

// Null is decided by the upper word alone, so every double that shares 1e308's upper
// 32 bits is null (from about 9.999996e307 to 1.0000004e308); -1e308 is not.
inline constexpr bool maths_IsNull(double x) {
    return static_cast<uint32_t>(std::bit_cast<uint64_t>(x) >> 32) == 0x7FE1CCF3u;
}
inline constexpr int maths_IsNotNull(double x) { return maths_IsNull(x) ? 0 : 1; }
// Not null-aware: a null value is not zero.
inline constexpr bool maths_IsZero(double x) { return x == 0.0; }
double* maths_SetNull(double* out);

// One operand: null when x is null or outside the function's domain.
double maths_Abs(double x);
double maths_Floor(double x);
double maths_Ceil(double x);
double maths_Negate(double x);
double maths_Square(double x);
double maths_Sqrt(double x);  // x < 0 gives null; -0.0 is accepted
double maths_Sin(double x);
double maths_Cos(double x);
double maths_Tan(double x);
double maths_ASin(double x);  // outside [-1, 1] gives null
double maths_ACos(double x);  // outside [-1, 1] gives null
double maths_ATan(double x);
double maths_Exp(double x);
// No domain test: zero or negative x give the C library's infinity or NaN.
double maths_Log(double x);
double maths_Log10(double x);
double maths_ATanh(double x);

// Several operands: null when any operand is null.
double maths_Add(double a, double b);
double maths_Subtract(double a, double b);
double maths_SubtractBoth(double a, double b, double c);  // a - b - c
double maths_Multiply(double a, double b);
double maths_Divide(double a, double b);  // b == 0 (either sign) gives null
double maths_FMod(double a, double b);
double maths_Pow(double a, double b);
// The angle of the vector (x, y), y first; in (-pi, pi]; (0, 0) gives null.
double maths_ATan2(double y, double x);
void maths_AddTo(double* p, double x);
void maths_SubtractFrom(double* p, double x);

// Not null-aware. Ties return the second operand; a null is simply 1e308.
double maths_Max(double a, double b);
double maths_Min(double a, double b);
// Halves go away from zero. A value without a 32-bit result (NaN, infinite, null,
// too large) is reported and gives 0 for NaN, else the nearest 32-bit bound.
int32_t maths_Round(double x);
int maths_MaxInt(int a, int b);
int maths_MinInt(int a, int b);

// Angle normalisers. A value already inside the closed target range comes back
// unchanged (+pi stays +pi); any other is reduced by whole periods into the half-open
// range. Null, NaN and infinite angles come back unchanged. The returning forms leave
// the stored angle alone; the in-place forms store the result back.
double coord_NormalisedPlusMinusPi(const double* angle);  // [-pi, pi]
void coord_NormalisePlusMinusPi(double* angle);
double coord_NormalisedLongitude(const double* angle);  // as PlusMinusPi
void coord_NormaliseLongitude(double* angle);
// Folds by half turns into [-pi/2, pi/2]; it does not reflect over the pole.
double coord_NormalisedPlusMinusPiOverTwo(const double* angle);
void coord_NormalisePlusMinusPiOverTwo(double* angle);
double coord_NormalisedLatitude(const double* angle);  // as PlusMinusPiOverTwo
void coord_NormaliseLatitude(double* angle);
double coord_NormalisedAzimuth(const double* angle);  // [0, 2pi)
void coord_NormaliseAzimuth(double* angle);

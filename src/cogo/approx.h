// Comparison of doubles within a tolerance, null-aware. The coordinate geometry and
// the road alignments compare distances and stations through these rather than with
// the bare operators.
#pragma once

// The relation of a comparison; d = a - b.
enum approx_Relation : int {
    APPROX_EqualTo = 0,         // |d| <= delta
    APPROX_NotEqualTo = 1,      // |d| > delta
    APPROX_LessThan = 2,        // d < -delta
    APPROX_GreaterThan = 3,     // d > delta
    APPROX_LessOrEqual = 4,     // d <= delta
    APPROX_GreaterOrEqual = 5,  // d >= -delta
};

// The tolerance of approx_Equal: half a millimetre.
inline constexpr double APPROX_Delta = 0.0005;

// delta is expected in (0, 1); outside it the comparison is reported and still made.
// With a null operand only equality (exact) and inequality (exact) can hold; every
// ordering is false. An unknown relation is reported and gives false.
bool approx_Compare(double a, int relation, double b, double delta);
bool approx_Equal(double a, int relation, double b);
// delta = 10^-decimals.
bool approx_EqualDecimals(double a, int relation, double b, int decimals);

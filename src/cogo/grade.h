// Grades: slopes held as angles in radians from the horizontal, from straight down
// (GRADE_Down) to straight up (GRADE_Up), and the vertical difference or horizontal
// distance they give. Vertical grades are decided within GRADE_Tolerance.
#pragma once

#include "foundation/kernel/maths.h"

inline constexpr double GRADE_Up = CONSTANT_PiOverTwo;
inline constexpr double GRADE_Down = -CONSTANT_PiOverTwo;
inline constexpr double GRADE_Tolerance = 1e-5;

// Straight up or down within the tolerance.
bool grade_IsUp(double grade);
bool grade_IsDown(double grade);
// Inside [GRADE_Down, GRADE_Up] widened by the tolerance.
bool grade_IsValid(double grade);

// The vertical difference over a horizontal distance, written to out. A null grade or
// distance, and a grade that is not valid, leave out unwritten; a grade beyond the
// vertical is reported. Near the vertical, where the tangent is no use, a rising grade
// gives the distance and a falling one minus the distance.
void grade_ComputeVerticalDifference(const double* grade, const double* distance, double* out);
// The same, returned; null when nothing was computed.
double grade_VerticalDifference(double grade, double distance);

// The horizontal distance over which the grade climbs the vertical difference: 0 for
// a vertical grade; null for a null input, an invalid grade or a grade too flat to
// climb at all.
double grade_HorizontalDistance(double grade, double verticalDifference);

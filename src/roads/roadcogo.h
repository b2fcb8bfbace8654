// Geometry primitives of the road elements: offsets along a transition spiral and the
// clothoid series, elevations and grades on vertical parabolas and circles, and a
// null-aware interpolation. Angles are radians, azimuths clockwise from grid north,
// lengths in the grid's unit. A vertical point is a pair {station, elevation} handed
// over as a pointer to its first double. A null (or non-finite) input gives null
// outputs throughout.
#pragma once

// The clothoid series from its origin: y (perpendicular) and x (along) at length l on
// the clothoid of parameter A^2 = a2. Each series stops after its first term of at
// most 0.0001 in magnitude, or after 30 terms; for a spiral from a straight turning a
// quarter radian that is within 1e-7 m. A zero a2 has no clothoid: null.
void roadcogo_ClothoidSeries(double l, double a2, double* y, double* x);

// Deflection of the tangent, offset from the base tangent (never negative; the side is
// the caller's) and distance along it, at distance s from the large-radius end of a
// spiral of length L between radius smallRadius and largeRadius (null: from a straight,
// by the clothoid series). Between two finite radii the curvature runs linearly from
// 1/largeRadius at the base to 1/smallRadius at L and the point is integrated along
// the segment itself, to 1e-9 m; equal radii give a circular arc and a large radius
// smaller than the small one is a spiral that opens out. A zero small radius or length
// gives all three 0.
void roadcogo_SpiralOffsets(double smallRadius, double largeRadius, double length, double s,
                            double* deflection, double* offset, double* along);

// Elevation on the vertical curve of two parabolas meeting at the VPI station, through
// start and end, tangent to the grades start-VPI and VPI-end, with lengthIn before the
// VPI and lengthOut after it. The VPI station itself is computed from the end's side.
void roadcogo_ParabolaElevation(const double* start, const double* vpi, const double* end, double lengthIn,
                                double lengthOut, double station, double* elevation);
// The grade angle on the same curve; 0 on a side whose length is within 0.0005 of 0.
void roadcogo_ParabolaGrade(const double* start, const double* vpi, const double* end, double lengthIn,
                            double lengthOut, double station, double* grade);

// Elevation on the vertical circle about centre through the reference point's side:
// below the centre when the centre lies above the reference (a sag), else above it. A
// station farther than the radius from the centre's has no point: null.
void roadcogo_VerticalArcElevation(const double* centre, const double* reference, double radius, double station,
                                   double* elevation);

// y at x on the line through (x1, y1) and (x2, y2), also outside them. Equal x1 and x2
// give y1 when y1 equals y2, else null.
double roadcogo_Interpolate(double y1, double y2, double x1, double x2, double x);

// sqrt(a^2 + b^2).
double roadcogo_Hypotenuse(double a, double b);

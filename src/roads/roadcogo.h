// Geometry primitives of the road elements: points and tangents along a straight, a
// circular arc and a transition spiral, the inverse between two grid points, offsets
// along a spiral and the clothoid series, elevations and grades on vertical parabolas
// and circles, and a null-aware interpolation. Angles are radians, azimuths clockwise
// from grid north ("right" turns clockwise), lengths in the grid's unit; every azimuth
// returned lies in [0, 2pi). A vertical point is a pair {station, elevation} handed
// over as a pointer to its first double. A null (or non-finite) input gives null
// outputs throughout.
//
// The horizontal functions take grid points of the transform and leave every point
// computation to the coordinate geometry under the given cogo mask; without a
// transform their outputs are null.
#pragma once

#include "cogo/position.h"
#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"

class transfrm_Class;

// The two positions the point and inverse computations work in, kept for the life of
// the process so that a computation builds no position of its own. The functions
// below that use them are not re-entrant.
struct roadcogo_Scratch {
    position_Class A;
    position_Class B;
};
roadcogo_Scratch& roadcogo_ScratchPositions();

// The point at the grid azimuth and horizontal distance from start. Its elevation is
// the start's (none when the start has none).
void roadcogo_PointAtAzimuthDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                     const coord_CorrectedGrid& start, double azimuth, double distance,
                                     coord_CorrectedGrid* point);
// The grid azimuth and horizontal distance from the first point to the second; the
// coordinate geometry's own outputs, null without a transform.
void roadcogo_InverseAzimuthDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                     const coord_CorrectedGrid& first, const coord_CorrectedGrid& second,
                                     double* azimuth, double* distance);
// The point at the distance along a straight; the same as the point at an azimuth.
void roadcogo_StraightPointAtDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                      const coord_CorrectedGrid& start, double azimuth, double distance,
                                      coord_CorrectedGrid* point);
// The point and tangent azimuth at the distance along a circular arc of the given
// central angle, radius and length, turning right or left; distances beyond the
// length go on around the circle. A zero length gives the start (reported when the
// distance is positive).
void roadcogo_ArcPointAtDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                 const coord_CorrectedGrid& start, double startAzimuth, double angle, double radius,
                                 double length, bool right, double distance, coord_CorrectedGrid* point,
                                 double* tangentAzimuth);
// The point and forward tangent azimuth on a spiral whose base is its large-radius end,
// at the distance from the base (fromBase) or from the far, small-radius end. Measured
// from the far end, baseAzimuth points backwards along the spiral, from the base
// towards the small radius.
void roadcogo_SpiralPointAtDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                    const coord_CorrectedGrid& base, double baseAzimuth, double smallRadius,
                                    double largeRadius, double length, bool right, bool fromBase, double distance,
                                    coord_CorrectedGrid* point, double* tangentAzimuth);

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

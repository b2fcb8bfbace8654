// Transition spirals: the local offsets of a point along a clothoid, the four
// placements of a spiral (measured from either end, turning either way), the point at
// a station and offset, and the station and offset of a point against a spiral.
//
// Local offsets are (deflection, x, y): the turn of the tangent since the spiral's
// start, the distance along the start tangent and the distance across it, positive to
// its right. Spiral types:
//   0  measured from the far end (an exit spiral), turning right
//   1  measured from the start (an entry spiral), turning right
//   2  as 1, mirrored (deflection and y negated)
//   3  as 0, mirrored
// Before the start (distance < 0) and beyond the end the spiral continues as a
// straight along the tangent there.
//
// Accuracy: from a straight the clothoid series stops at the resolution (1e-10 m
// against integration at 1 rad of deflection with resolution 1e-7); between two finite
// radii the segment is integrated, within 1e-12 m per 100 m. The point search stops
// within about twice the resolution.
#pragma once

#include "cogo/cogo.h"

// The clothoid series at length l on the clothoid of parameter A^2 = a2: y across and
// x along its origin tangent. Each series stops once its last term is at or below the
// resolution, after 30 terms at most. A null, zero or non-finite a2 gives null.
void cogospiral_Series(double l, double a2, double resolution, double* y, double* x);

// Offsets at distance s from the large-radius end of a spiral of the given length
// running from the large radius (null: a straight) to the small radius. Equal radii
// are a circular arc. A null input is reported and gives null outputs.
void cogospiral_ComputeOffsets(double smallRadius, double largeRadius, double length, double s, double resolution,
                               double* deflection, double* x, double* y);

// The segment of a spiral between two finite radii, integrated along itself: the
// curvature runs linearly from 1/largeRadius at the base to 1/smallRadius at the
// length, so the tangent turns by theta(u) = u/Rl + u^2 (1/Rs - 1/Rl) / (2 length).
// x = integral of cos(theta), y = |integral of sin(theta)| over [0, s]. A large radius
// below the small one is a spiral that opens out. Zero radii or length give null.
void cogospiral_SegmentOffsets(double smallRadius, double largeRadius, double length, double s,
                               double* deflection, double* x, double* y);

// Offsets by spiral type at distance d from the spiral's start; the totals are the
// offsets of the far end from the large-radius end (cogospiral_ComputeOffsets at the
// full length). Types 0 and 3, and every type beyond the end, need the totals: null
// totals give null outputs.
void cogospiral_SpiralOffsets(int type, double smallRadius, double largeRadius, double length, double d,
                              double resolution, double totalDeflection, double totalX, double totalY,
                              double* deflection, double* x, double* y);

// The point at a station along the spiral from the start (offsets by type, then the
// rise by the grade) and the tangent azimuth there.
void cogospiral_ComputePoint(int type, position_Class& start, const transfrm_Class* transform, double startAzimuth,
                             double smallRadius, double largeRadius, double length, double grade, double resolution,
                             double station, double totalDeflection, double totalX, double totalY,
                             position_Class* result, double* azimuth, coordsys_CogoSettings mask);

void cogospiral_ApplyVerticalDifference(position_Class* position, const transfrm_Class* transform,
                                        double verticalDifference, coordsys_CogoSettings mask);

// Station and offset (positive right) of the point against the spiral, the foot, the
// tangent azimuth there and the vertical difference foot to point. Half Newton steps,
// at most 40 rounds.
cogo_Result cogospiral_PointToSpiral(int type, position_Class& start, const transfrm_Class* transform,
                                     double startAzimuth, double smallRadius, double largeRadius, double length,
                                     double grade, double resolution, double totalDeflection, double totalX,
                                     double totalY, position_Class& point, position_Class* foot,
                                     double* azimuthAtFoot, double* station, double* offset,
                                     double* verticalDifference, coordsys_CogoSettings mask);

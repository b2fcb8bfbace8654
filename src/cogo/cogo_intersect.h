// Intersections of coordinate geometry: two lines given by a point and an azimuth each
// (in the cogo grid, or on the ellipsoid by iterating the direct and inverse series
// from a plane start value), a line and a circle, and two circles.
//
// Results are written into the caller's positions; a failed intersection leaves them
// cleared. Intersections that first bring both inputs to a common height drop the
// heights they borrowed, so a result has a height only where its inputs had one. The
// iterations stop within 0.0005 m (circles) or 0.01" (lines on the ellipsoid), after
// 20 rounds at most; in the cogo grid they are exact at once.
#pragma once

#include "cogo/cogo.h"

// Equal or opposite within 0.01".
bool cogo_AzimuthsParallel(double azimuth1, double azimuth2);
// The plane intersection of two cogo-grid lines; no elevation.
cogo_Result cogo_IntersectLines(const coord_CogoGrid& point1, const double* azimuth1, const coord_CogoGrid& point2,
                                const double* azimuth2, coord_CogoGrid* result);

// In the cogo grid under COORDSYS_CogoAzimuthGrid or a scale-only transform, else on
// the ellipsoid the azimuth bits choose. The result starts as a copy of p1.
cogo_Result cogo_IntersectBearingBearing(position_Class& p1, const double* azimuth1, position_Class& p2,
                                         const transfrm_Class* transform, const double* azimuth2,
                                         position_Class* result, coordsys_CogoSettings mask);
cogo_Result cogo_IntersectBearingBearingOnGrid(position_Class& p1, const double* azimuth1, position_Class& p2,
                                               const double* azimuth2, const transfrm_Class* transform,
                                               position_Class* result);
// The line from p1 is followed on p1's ellipsoid until the inverse from p2 gives
// azimuth 2. Starts from the grid intersection, or, where either position has no cogo
// grid, from the plane tangent at p1. Nearly parallel lines may not converge.
cogo_Result cogo_IntersectBearingBearingOnEllipsoid(position_Class& p1, const double* azimuth1, position_Class& p2,
                                                    const double* azimuth2, const transfrm_Class* transform,
                                                    position_Class* result, bool useLocal,
                                                    coordsys_CogoSettings mask);
// Through a temporary plane projection tangent at p1, deleted again on every path; the
// result keeps p1's height.
cogo_Result cogo_IntersectBearingBearingOnPlane(position_Class& p1, const double* azimuth1, position_Class& p2,
                                                const double* azimuth2, const transfrm_Class* transform,
                                                bool useLocal, position_Class* result);

// The points at the radius from the centre on the line from the start along the
// azimuth: one where the line touches the circle (result 2 untouched), else two, the
// first along the azimuth from the foot of the centre, the second against it.
cogo_Result cogo_IntersectBearingDistance(position_Class& start, const double* azimuth, position_Class& centre,
                                          const transfrm_Class* transform, const double* radius,
                                          position_Class* result1, position_Class* result2,
                                          coordsys_CogoSettings mask);
// The point on the line from the foot along the azimuth at the radius from the centre,
// whose offset from the line is given; bracketed between the foot and 1.01 radius.
cogo_Result cogo_SolveDistanceOnLine(position_Class& centre, const transfrm_Class* transform, const double* radius,
                                     position_Class& foot, const double* azimuth, const double* offset,
                                     position_Class* result, coordsys_CogoSettings mask);

// The points at radius 1 from centre 1 and radius 2 from centre 2: result 1 at the
// azimuth centre 1 to centre 2 plus the angle at centre 1, result 2 minus it. Touching
// circles give their one point as result 1 and clear result 2.
cogo_Result cogo_IntersectDistanceDistance(position_Class& centre1, const double* radius1, position_Class& centre2,
                                           const double* radius2, const transfrm_Class* transform,
                                           position_Class* result1, position_Class* result2,
                                           coordsys_CogoSettings mask);
// Moves the result onto both circles by intersecting their tangent lines.
cogo_Result cogo_RefineCircleIntersection(position_Class& centre1, const double* radius1, position_Class& centre2,
                                          const double* radius2, const transfrm_Class* transform,
                                          position_Class* result, coordsys_CogoSettings mask);

// Coordinate geometry between positions under a job's transform: the forward point
// (start, azimuth, horizontal distance, vertical difference), the inverse, coordinate
// deltas, station and offset against a line, common heights, and the choice of the
// cogo mask for a pair of positions.
//
// The mask (COORDSYS_Cogo* bits) says where azimuths are reckoned, on which surface and
// at which scale distances are measured and which heights go with them:
// - distances lie in the cogo grid with COORDSYS_CogoDistanceGrid or a scale-only
//   transform, else on the local ellipsoid with COORDSYS_CogoDistanceLocal, else on
//   WGS-84; heights follow the distance bits;
// - ground distances (COORDSYS_CogoGroundDistances) are reduced to the ellipsoid by
//   6378137 / (6378137 + h) where the transform's corrections ask for the sea-level
//   factor, h being the point's height or else the ground-origin height.
// A mask breaking the consistency rules is reported; the operation then runs with
// whatever the bits select.
//
// Azimuths, distances and heights are passed as pointers to doubles that may hold
// MATHS_Null (a missing input pointer reads as null; every output must be given); a
// failure leaves null outputs or a cleared result position, never throws. A result
// position may be the start itself.
// On the ellipsoid the geometry is that of roadcogo_ellipsoid.h (the geodesic, by the
// short-line series up to 5 km): the forward point converges within 0.01" and 0.00005 m
// onto its inverse.
#pragma once

#include "cogo/position.h"
#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"

class transfrm_Class;

using cogo_Result = int;

enum : int {
    COGO_Ok = 0,
    COGO_NotFound = 1,           // a named point was not found, or no bracket was found
    COGO_Parallel = 2,           // the lines' azimuths are equal or opposite within 0.01"
    COGO_NullInput = 3,          // a required value or coordinate is null
    COGO_CoincidentCentres = 4,  // the two circle centres coincide
    COGO_CircleInside = 5,       // one circle lies inside the other
    COGO_TooFarApart = 6,        // the circles are farther apart than their radii
    COGO_TooShort = 7,           // the distance is shorter than the point's offset
    COGO_NoConvergence = 8,      // an iteration ran out of rounds
    COGO_Behind = 9,             // the point lies behind the start of the line
    COGO_Degenerate = 10,        // a zero radius or a degenerate configuration
    COGO_UnequalRadii = 11,      // an arc's ends differ in radius by more than 0.001 m
};

// 0.01 arc-second.
inline constexpr double COGO_AngleTolerance = 4.84813681109536e-8;
// Distances below this count as zero.
inline constexpr double COGO_DistanceTolerance = 0.0005;

// --- Shared --------------------------------------------------------------------------

bool cogo_IsScaleOnly(const transfrm_Class* transform);
// Both present and within 0.01" once folded into [0, pi].
bool cogo_AnglesEqual(double a, double b);
// Reports each broken consistency rule of the mask.
void cogo_CheckMask(coordsys_CogoSettings mask);
// pi for azimuths reckoned from south, else 0.
double cogo_GetAzimuthOffset(const transfrm_Class* transform);
// The local (useLocal) or WGS84 latitude, longitude and height of the position.
void cogo_GetGeodetic(position_Class& position, const transfrm_Class* transform, coord_Local* coordinate,
                      bool useLocal);
void cogo_SetGeodetic(position_Class& position, const transfrm_Class* transform, const coord_Local& coordinate,
                      bool useLocal);
// The position's ellipsoid, raised by its height where the sea-level factor applies.
void cogo_GetEllipsoid(position_Class& position, const transfrm_Class* transform, coordsys_Ellipsoid* ellipsoid,
                       bool useLocal, coordsys_CogoSettings mask);
void cogo_GetW(position_Class& position, const transfrm_Class* transform, double* w, bool useLocal,
               coordsys_CogoSettings mask);

// --- Forward point -------------------------------------------------------------------

// The result starts as a copy of the start (name and links kept).
void cogo_ComputePoint(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                       const double* distance, const double* verticalDifference, position_Class* result,
                       coordsys_CogoSettings mask);
// In the cogo grid at the given projection scale (used without COORDSYS_CogoDistanceGrid).
void cogo_ComputePointOnGrid(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                             const double* distance, const double* verticalDifference, double scale,
                             position_Class* result, coordsys_CogoSettings mask);
// On the local (useLocal) or WGS-84 ellipsoid: at most 5 rounds of direct and inverse;
// distances above 1,000,000 m leave a cleared result.
void cogo_ComputePointOnEllipsoid(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                                  const double* distance, const double* verticalDifference,
                                  position_Class* result, bool useLocal, coordsys_CogoSettings mask);
void cogo_ComputePointFromPolar(position_Class& start, const transfrm_Class* transform, const coord_Polar& polar,
                                position_Class* result, coordsys_CogoSettings mask);
// A (near) vertical sight clears the result.
void cogo_ComputePointFromGround(position_Class& start, const transfrm_Class* transform,
                                 const coord_Ground& ground, position_Class* result, coordsys_CogoSettings mask);
// Adds the difference to the height the distance bits choose; a null one nulls it.
void cogo_ApplyVerticalDifference(position_Class* position, const transfrm_Class* transform,
                                  const double* verticalDifference, coordsys_CogoSettings mask);
// Gives `to` the height of `from` in the system the distance bits choose.
void cogo_CopyHeight(position_Class& from, position_Class* to, const transfrm_Class* transform,
                     coordsys_CogoSettings mask);

// --- Inverse -------------------------------------------------------------------------

// In the grid case the azimuth is written only under COORDSYS_CogoAzimuthGrid.
void cogo_InverseAzimuthDistance(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                                 double* azimuth, double* distance, coordsys_CogoSettings mask);
void cogo_InverseDistance(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* distance,
                          coordsys_CogoSettings mask);
void cogo_InverseAzimuth(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* azimuth,
                         coordsys_CogoSettings mask);
void cogo_Inverse(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* azimuth,
                  double* horizontalDistance, double* verticalDifference, double* slopeDistance,
                  coordsys_CogoSettings mask);
void cogo_InversePolar(position_Class& p1, position_Class& p2, const transfrm_Class* transform, coord_Polar* polar,
                       double* slopeDistance, coordsys_CogoSettings mask);
// Null for coincident points or a missing grid.
void cogo_GridAzimuth(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* azimuth);
// Divided by the scale and raised to ground where asked; a null or zero scale gives null.
void cogo_GridDistance(const coord_CogoGrid& cogo1, const coord_CogoGrid& cogo2, const transfrm_Class* transform,
                       double scale, double* distance, coordsys_CogoSettings mask);
void cogo_EllipsoidInverse(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* azimuth,
                           double* distance, bool useLocal, coordsys_CogoSettings mask);
void cogo_MeanEllipsoid(position_Class& p1, position_Class& p2, const transfrm_Class* transform, bool useLocal,
                        coordsys_Ellipsoid* ellipsoid, coordsys_CogoSettings mask);
void cogo_VerticalDifference(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                             const double* horizontalDistance, double* verticalDifference, double* slopeDistance,
                             coordsys_CogoSettings mask);
void cogo_CogoGridDeltas(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* north,
                         double* east, double* elevation);
void cogo_GridDeltas(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* north,
                     double* east, double* elevation);
// Both present and within 0.0005 (loose: 0.005).
bool cogo_DistancesEqual(double a, double b);
bool cogo_DistancesEqualLoose(double a, double b);

// --- Lines and heights ---------------------------------------------------------------

// Station and offset (positive right) of the point against the line from the start
// along the azimuth at the grade; the foot, the line's azimuth there and the vertical
// difference foot to point. At most 20 rounds.
cogo_Result cogo_PointToLine(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                             const double* grade, position_Class& point, position_Class* foot,
                             double* azimuthAtFoot, double* station, double* offset, double* verticalDifference,
                             coordsys_CogoSettings mask);
// Against the line shifted right by the horizontal offset and up by the vertical one;
// the station and the azimuth at the foot stay those of the base line.
cogo_Result cogo_PointToLineWithOffsets(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                                        const double* horizontalOffset, const double* verticalOffset,
                                        const double* grade, position_Class& point, position_Class* foot,
                                        double* azimuthAtFoot, double* station, double* offset,
                                        double* verticalDifference, coordsys_CogoSettings method);
// Both ends brought to their common height first; the line is level.
cogo_Result cogo_PointToLineCommonHeight(position_Class& start, const double* azimuth, position_Class& point,
                                         const transfrm_Class* transform, double* station, double* offset,
                                         coordsys_CogoSettings mask);
// COGO_Behind when the point lies more than a right angle off the azimuth, else 0.
cogo_Result cogo_IsBehind(position_Class& start, const double* azimuth, position_Class& point,
                          const transfrm_Class* transform, coordsys_CogoSettings mask);
double cogo_MeanHeight(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                       coordsys_CogoSettings mask);
// Copies of both with their mean ellipsoid height, marked borrowed where they had none;
// in the grid case plain copies.
void cogo_CommonHeight(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                       position_Class* copy1, position_Class* copy2, coordsys_CogoSettings mask);

// --- Mask choice ---------------------------------------------------------------------

// The mask to measure between the two positions: the job's default settings, moved to
// the surfaces the positions can be reckoned on when the transform lacks a datum or a
// projection.
coordsys_CogoSettings cogo_GetSystem(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                                     const coordsys_Corrections* corrections);
coordsys_CogoSettings cogo_GetSystemForPosition(position_Class& position, const transfrm_Class* transform,
                                                const coordsys_Corrections* corrections);

// Circular arcs between positions: delta angle, length and chord, the point at an arc
// length, station and offset of a point against an arc, and the arc that joins two
// tangents meeting at an intersection point.
//
// An arc is given by its direction (COGOARC_RightHand: the centre lies right of the
// direction of travel), its start and centre positions, the azimuth from the centre to
// the start, its radius and its delta (the angle it subtends, in [0, 2pi]). Distances,
// azimuths and heights follow the cogo mask (cogo.h). In the cogo grid the values are
// closed forms, exact to rounding; on the ellipsoid they carry the accuracy of the
// forward point and the inverse.
#pragma once

#include "cogo/cogo.h"

class db_Arc;

enum : int {
    COGOARC_RightHand = 0,
    COGOARC_LeftHand = 1,
};

// |a - b| below 0.01", without folding across 0 and 2pi; a null never matches.
bool cogoarc_AnglesEqual(double a, double b);
// radius x delta; null when either is null.
void cogoarc_ArcLength(double radius, double delta, double* length);
// length / radius in [0, 2pi), exactly 2pi within 0.01" of it; null for a null or zero
// radius, a null length, or more than a full turn either way.
void cogoarc_DeltaAngle(double radius, double length, double* delta);
// 2R |sin(delta / 2)| of the arc of that length; null when the delta is.
void cogoarc_ChordLength(double radius, double length, double* chord);
// More than a half circle; at exactly a half circle only a left-hand arc counts. A
// null delta is not major.
bool cogoarc_IsMajorArc(int direction, double delta);

// The point at an arc length along the arc (negative: back from the start). With a
// grade it rises by tan(grade) x arc length from the start's height; without one it
// has no height.
void cogoarc_ComputeArcPoint(int direction, position_Class& start, position_Class& centre,
                             const transfrm_Class* transform, double radius, double azimuth, double grade,
                             double arcLength, position_Class* result, coordsys_CogoSettings mask);

// Station along the arc and offset (positive right) of the point against the arc
// shifted right by the horizontal offset and up by the vertical one; the foot on the
// arc, the azimuth from the centre to the point and the vertical difference. A point
// on the start's half of the circle outside the arc gets a negative station.
cogo_Result cogoarc_PointToArc(int direction, position_Class& start, const transfrm_Class* transform,
                               position_Class& centre, double azimuth, double delta, double radius, double grade,
                               double horizontalOffset, double verticalOffset, position_Class& point,
                               position_Class* foot, double* azimuthToPoint, double* station, double* offset,
                               double* verticalDifference, coordsys_CogoSettings mask);

// The arc of the radius tangent to the line from the intersection point back along
// backAzimuth (towards the start) and to the line along forwardAzimuth (towards the
// end): its delta, centre, start and end tangent points, and its direction. A null
// mask becomes that of the intersection point. Tangents in line give a zero delta with
// every point at the intersection point; tangents folded back on themselves have no
// arc (COGO_Degenerate). At most 20 rounds.
cogo_Result cogoarc_SolveIPAndTangents(position_Class& intersection, const transfrm_Class* transform,
                                       double backAzimuth, double forwardAzimuth, double radius, double* delta,
                                       position_Class* centre, position_Class* start, position_Class* end,
                                       int* direction, coordsys_CogoSettings* mask,
                                       const coordsys_Corrections* corrections);

// The intersection point's height: the mean of the ends' (grid elevations on a
// scale-only transform, else the local height, left null where either end had none).
void cogoarc_SetIPHeight(position_Class& start, position_Class& end, position_Class* intersection,
                         const transfrm_Class* transform, coordsys_CogoSettings mask);

// Solves a job's arc record by its construction method: the start, end and centre
// positions, the tangents' intersection position, the azimuth from the centre to the
// start and the start-to-end vertical difference; the record's derived fields (delta,
// length, tangents, chord, tangent length, grade, large-arc flag, and the radius or
// direction where the method finds them) are written back, even when a later step
// fails. Point names are looked up in the job index, or in every attached index with
// searchAllIndexes. A null mask is set to the mask of the first points looked at.
// COGO_UnequalRadii: the two radii of a centre-point arc differ by more than 0.001 m.
cogo_Result cogoarc_ComputeArc(dbJobIndex* jobIndex, db_Arc* arc, position_Class* start, position_Class* end,
                               position_Class* centre, position_Class* intersection, double* azimuth,
                               double* verticalDifference, coordsys_CogoSettings* mask,
                               const coordsys_Corrections* corrections, bool searchAllIndexes);

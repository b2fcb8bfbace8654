// Null-aware helpers on angles shared by coordinate geometry, positions, circle
// corrections and the road elements: the face of a zenith reading, differences and
// means of directions, chord and arc on a circle, and the slope distance of a reduced
// observation. Angles are radians; a result that needs a null input is null.
#pragma once

#include "foundation/coords/coord.h"

// Face 2 when the zenith, in [0, 2pi), lies beyond pi; a null zenith trusts the
// face code.
bool position_IsFace2(double zenith, int face);
// COORD_FaceNull for a null zenith, else COORD_Face1 or COORD_Face2.
int position_FaceOfZenith(double zenith);

// b - a in [0, 2pi): the clockwise turn from a to b.
double position_AngleDifference(double a, double b);
// a - b in [-pi, pi).
double position_AngleDifferenceSigned(double a, double b);
// The smaller angle between a and b, in [0, pi].
double position_AngleDifferenceAbs(double a, double b);
// The bisector of the smaller angle between a and b, in [0, 2pi).
double position_AngleMean(double a, double b);
// The middle of the clockwise arc from a to b, in [0, 2pi).
double position_AngleBisect(double a, double b);
// (a + b) / 2, turned by pi when a and b lie more than pi apart; in [0, 2pi).
double position_AngleMeanNear(double a, double b);
// As position_AngleMeanNear, but one null value gives the other.
double position_AngleMeanNullAware(double a, double b);
// (a + b) / 2, but one null value gives the other.
double position_MeanNullAware(double a, double b);
// Both present and within 0.0001 of each other, without folding.
bool position_AnglesEqualLoose(double a, double b);

// Turn a chord length into the arc length on a circle of radius R, in place. A null R
// or length leaves it unchanged; a chord longer than the diameter (or a zero radius)
// has no arc and gives null.
void position_ChordToArc(double radius, double* length);
// Turn an arc length into the chord length, in place; null R or length leave it
// unchanged, a zero radius gives null.
void position_ArcToChord(double radius, double* length);
// sqrt(h^2 + v^2) of the observation's horizontal distance and vertical difference;
// null when either is null.
void position_SlopeDistance(const coord_Polar& observation, double* out);

// What the projection kinds share: the transverse Mercator constants (also the leading
// part of the United Kingdom and Denmark records), the meridian arc, angle reduction,
// complex arithmetic and the slot pieces every kind uses the same way.
//
// Every Forward returns north and east relative to the false origin and passes the
// heights through; every Inverse takes them so.
#pragma once

#include "csib/csib.h"

struct csib_TMParameters {
    double secondEccentricitySquared;  // e'^2 = (a^2 - b^2) / b^2
    double arcCoefficient1;
    double arcCoefficient2;
    double arcCoefficient3;
    double arcCoefficient4;
    double arcCoefficient5;
    double arcToOriginAbs;       // arc(|s0|)
    double arcToOrigin;          // arc(s0)
    double arcToOriginMirrored;  // arc(-s0)
};

// Fills the constants from the block's axes and origin latitude.
void csib_FillTMParameters(const csib_Block* block, csib_TMParameters* parameters);

// Meridian arc from the north pole to the latitude whose reduced latitude has sine s
// (s < 0 runs past the equator), from the block's csib_TMParameters and b. Within
// 1e-7 m of the true arc from 89.9 N to 89.9 S; b pi at s = -1.
double csib_MeridianArc(const csib_Block* block, double s);

double csib_NormalizeAngle2Pi(double x);
double csib_NormalizeAnglePi(double x);
double csib_NormalizeLatitude(double x);
double csib_Atan2(double y, double x);
// lambda - lambda0 reduced once into about [-pi, pi].
double csib_DeltaLongitude(const csib_Block* block, double longitude);

struct csib_Complex {
    double re;
    double im;
};
csib_Complex complex_Scale(csib_Complex z, double r);
csib_Complex complex_Add(csib_Complex z, csib_Complex w);
csib_Complex complex_Multiply(csib_Complex z, csib_Complex w);
csib_Complex complex_Divide(csib_Complex z, csib_Complex w);

using csib_ForwardSlot = csib_Status (*)(csib_Block*, const csib_GeodeticPoint*, csib_GridPoint*);

// d(north, east) / d(latitude, longitude) of a forward, metres per radian, by central
// differences over 1e-5 rad (about 64 m): truncation and rounding both stay below
// 1e-10 of the value; one-sided from the point where a step leaves the model (a
// grid's edge). Taken at `latitude`, the point's latitude kept one step inside the poles.
struct csib_ForwardDerivatives {
    double latitude;
    double northByLatitude, northByLongitude;
    double eastByLatitude, eastByLongitude;
};
csib_Status csib_DifferentiateForward(csib_Block* block, csib_ForwardSlot forward, const csib_GeodeticPoint* point,
                                      csib_ForwardDerivatives* out);

// Newton steps on the kind's own forward from an inverse series' answer in `point`,
// until the forward gives back (north, east) within a micrometre. Series and fitted
// inverses miss their forward by up to centimetres; stored grid values rely on the
// forward, so it is the inverse that gives way. A step that does not come closer
// ends the refinement with the best point found. 0 when that point is finite, its
// latitude within the poles, its longitude within pi of the origin's (or of
// Greenwich) and its forward within 0.1 mm of (north, east); else `failure`, the
// kind's status for a grid point it cannot take back.
csib_Status csib_RefineInverse(csib_Block* block, csib_ForwardSlot forward, double north, double east,
                               csib_GeodeticPoint* point, csib_Status failure);

// A closed-form inverse held to the same rule: a null grid point stays null, the closed
// form's own failure passes up, and its answer goes through csib_RefineInverse.
using csib_InverseSlot = csib_Status (*)(csib_Block*, csib_GridPoint*, csib_GeodeticPoint*);
csib_Status csib_CheckedInverse(csib_Block* block, csib_InverseSlot closed, csib_ForwardSlot forward,
                                csib_GridPoint* in, csib_GeodeticPoint* out, csib_Status failure);

// A grid point whose north or east is null has a null latitude and longitude (heights
// passed through): true, and the inverse answers that with 0.
bool csib_NullInverse(const csib_GridPoint* in, csib_GeodeticPoint* out);

// Heights pass unchanged between the two points.
void csib_HeightsToGrid(const csib_GeodeticPoint* in, csib_GridPoint* out);
void csib_HeightsToGeodetic(const csib_GridPoint* in, csib_GeodeticPoint* out);

// Free slot of every kind with one plain record.
csib_Status csib_FreeProjectionRecord(csib_Block* block);
// Save and GetSavedSize slots of a kind without a saved part.
csib_Status csib_SaveNothing(csib_Block* block, uint8_t* out, uint8_t gridMode);
csib_Status csib_NoSavedPart(csib_Block* block, uint8_t gridMode, int32_t* size);
// ScaleFactor (-19) and Convergence (-21) slots of the kinds that give neither; the
// pipeline falls back to its numeric values.
csib_Status csib_ScaleFactorUnavailable(csib_Block* block, const csib_GeodeticPoint* point, double* k);
csib_Status csib_ConvergenceUnavailable(csib_Block* block, const csib_GeodeticPoint* point, double* gamma);
// GetParameters slot of a kind without defining parameters.
csib_Status csib_NoProjectionParameters(csib_Block* block, int16_t selector, void** parameter);

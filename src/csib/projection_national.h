// Records and helpers of the national projection kinds: Krovak (3), the New Zealand
// map grid (6), Denmark (16) and the Hungarian EOV (17). The grid systems' constants
// are built in; each Load writes its system's origin, false origin and scale into the
// block. Kinds 6 and 17 have no record.
#pragma once

#include "csib/csib.h"
#include "csib/projection.h"

// Added to a Greenwich longitude to give the longitude east of Ferro.
struct csib_KrovakParameters {
    double ferroOffset;
};
inline constexpr double CSIB_FerroOffset = 0.3083415011856649;  // 17 degrees 40 minutes

// tm as the transverse Mercator stage computes it, then the area (1 Jutland,
// 2 Zealand, 3 Bornholm).
struct csib_DenmarkParameters {
    csib_TMParameters tm;
    uint8_t area;
};

// Converts between the area's UTM zone (direction >= 1 from UTM, < 0 back) and the
// area system through its polynomial tables: -16 outside the area's bounds or for an
// area without tables, -18 for direction 0, -27 when the way back misses the input
// by 0.06 or more (the outputs keep the result).
csib_Status denmark_Polynomial(double north, double east, double* outNorth, double* outEast, uint8_t area,
                               int direction);

// An area's two tables: UTM to the area system and back. A table is a run of doubles:
// the degree D, E = (D + 1)(D + 2) / 2 coefficients of the first output, the first
// input's centre, E coefficients of the second output, the second input's centre.
// This build carries no tables (their values are not available to it), so every
// Danish point is outside its area; tests install their own. Null empties the slot.
void denmark_SetAreaTables(uint8_t area, const double* toArea, const double* toUtm);

// sum of c[k] z^(k+1), k = 0 .. count - 1.
csib_Complex nzmg_ComplexPolynomial(csib_Complex z, const csib_Complex* c, int count);
// One Newton step towards the zeta whose forward series gives z.
csib_Complex nzmg_NewtonStep(csib_Complex z, csib_Complex zeta);

// Corrections of a total-station reading, each reversible. A raw circle reading
// (horizontal circle, zenith angle, slope distance, face) is corrected for the prism,
// the atmosphere and earth curvature with refraction; the instrument and target heights
// and the station's scale then turn it into the unturned observation between the ground
// marks (horizontal circle reading, horizontal distance, vertical difference).
//
// Direction r: 0 applies a correction, 1 removes it. Constant prisms, the atmosphere,
// curvature and refraction and the heights undo to rounding; the zenith-dependent
// prisms (types 0 and 1) evaluate their polynomials at the zenith they are handed, so
// removing one is exact only to about 2.5e-6 m at 100 m.
#pragma once

#include "cogo/total_target.h"
#include "foundation/coords/coord.h"

class db_TotalAtmosphere;
class db_TotalInstrument;
class position_ReductionRecords;

void position_CircleToCorrected(const coord_Circle& circle, coord_Corrected* corrected,
                                const position_ReductionRecords& environment);
// A null or zero station scale gives a null horizontal distance.
void position_CorrectedToUnturned(const coord_Corrected& corrected, coord_Unturned* unturned,
                                  const position_ReductionRecords& environment);
void position_CircleToUnturned(const coord_Circle& circle, coord_Unturned* unturned,
                               const position_ReductionRecords& environment);
// A null or zero station scale gives a null zenith and slope distance.
void position_UnturnedToCorrected(const coord_Unturned& unturned, coord_Corrected* corrected,
                                  const position_ReductionRecords& environment);
void position_CorrectedToCircle(const coord_Corrected& corrected, coord_Circle* circle,
                                const position_ReductionRecords& environment);
void position_UnturnedToCircle(const coord_Unturned& unturned, coord_Circle* circle,
                               const position_ReductionRecords& environment);

void position_ApplyPrismCorrection(coord_Circle* circle, const total_Target& target, int r);
void position_PrismCorrectionType1(coord_Circle* circle, const total_Prism& prism, int r);
void position_PrismCorrectionType0(coord_Circle* circle, const total_Target& target, int r);
// A - B x pressure / (temperature + 273.15) with the instrument's constants, unless the
// atmosphere already holds a PPM; null when a value is missing.
void position_ComputePPM(db_TotalAtmosphere* atmosphere, const db_TotalInstrument& instrument);
void position_ApplyAtmosphere(coord_Circle* circle, const db_TotalAtmosphere& atmosphere,
                              const db_TotalInstrument& instrument, int r);
void position_ApplyCurvatureRefraction(coord_Circle* circle, double earthRadius, bool applyCurvature,
                                       bool applyRefraction, double coefficient, int r);
// From instrument height hi to target height ht (r 0) or back (r 1); a null value
// nulls the slope distance and zenith.
void position_ApplyHeightsToZenith(double* slopeDistance, double* zenith, double hi, double ht, int r);
void position_ApplyHeights(coord_Corrected* corrected, double hi, double ht, int r);
// A face-2 observation as its face-1 equivalent; the face code is kept.
void position_NormaliseFace(coord_Corrected* corrected);

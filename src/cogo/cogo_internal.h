// Helpers the cogo sources share; not for other modules.
#pragma once

#include <cstdint>

#include "foundation/coords/coordsys.h"

class transfrm_Class;

// The radius the sea-level factor reduces ground distances by.
inline constexpr double COGO_SeaLevelRadius = 6378137.0;

// The pointed value; a missing pointer reads as null.
double cogo_Value(const double* value);
// Ground distances under corrections that ask for the sea-level factor.
bool cogo_SeaLevelApplies(const transfrm_Class* transform, coordsys_CogoSettings mask);
// Distances (and heights) in the cogo grid.
bool cogo_IsGridCase(const transfrm_Class* transform, coordsys_CogoSettings mask);
double cogo_GroundOriginHeight(const transfrm_Class* transform);
// The distance bit whose heights apply; a mask with none or several is reported and
// counts as grid.
int32_t cogo_ElevationSystem(const transfrm_Class* transform, coordsys_CogoSettings mask);

// Transverse Mercator (kind 14, also UTM), whose slots the United Kingdom and Denmark
// kinds call on their own blocks; they read the block's axes, origin and scale at the
// time of the call.
#pragma once

#include "csib/csib.h"

csib_Status tm_Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out);
csib_Status tm_Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out);
csib_Status tm_ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k);
csib_Status tm_Convergence(csib_Block* block, const csib_GeodeticPoint* in, double* gamma);

// Blocks of one projection built from the job's definitions, as the transform builds
// them: the ellipsoid and projection components alone, no options.
#pragma once

#include "csib/glue.h"

namespace csibtest {

inline bool BuildProjection(const coordsys_Ellipsoid& ellipsoid, const coordsys_Projection& projection,
                            csib_Block** block, int32_t* error) {
    return csibglue_BuildCsib(block, CSIBGLUE_Ellipsoid | CSIBGLUE_Projection, ellipsoid, projection,
                              coordsys_Datum(), coordsys_Plane(), coordsys_Height(), coordsys_Corrections(), 0,
                              error);
}

}  // namespace csibtest

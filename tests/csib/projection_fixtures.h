// Blocks of one projection built from the job's definitions, as the transform builds
// them: the ellipsoid and projection components alone, no options.
#pragma once

#include <cmath>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/glue.h"

namespace csibtest {

inline bool BuildProjection(const coordsys_Ellipsoid& ellipsoid, const coordsys_Projection& projection,
                            csib_Block** block, int32_t* error) {
    return csibglue_BuildCsib(block, CSIBGLUE_Ellipsoid | CSIBGLUE_Projection, ellipsoid, projection,
                              coordsys_Datum(), coordsys_Plane(), coordsys_Height(), coordsys_Corrections(), 0,
                              error);
}

// The point lies within `metres` of (latitude, longitude) in degrees, on the ground
// (a degree taken as 111.2 km of latitude and 111.3 km of longitude at the equator).
inline ::testing::AssertionResult NearOnTheGround(const csib_GeodeticPoint& point, double latitude,
                                                  double longitude, double metres) {
    constexpr double kDegree = 3.141592653589793 / 180.0;
    const double north = (point.latitude / kDegree - latitude) * 111200.0;
    const double east = (point.longitude / kDegree - longitude) * 111300.0 * std::cos(latitude * kDegree);
    if (std::fabs(north) <= metres && std::fabs(east) <= metres) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << latitude << ", " << longitude << ") missed by " << north
                                         << " m north and " << east << " m east";
}

}  // namespace csibtest

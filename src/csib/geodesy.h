// Geodesy the models share: earth-centred cartesian coordinates, radii of curvature
// and the inverse problem along the normal section, on an ellipsoid of semi-axes a, b.
#pragma once

#include "csib/csib.h"

// -501 when the point has no ellipsoid height.
csib_Status csib_GeodeticToECEF(double a, double b, const csib_GeodeticPoint* point, double* x, double* y, double* z);
// -502 when the latitude does not settle in 100 passes.
csib_Status csib_ECEFToGeodetic(double a, double b, double x, double y, double z, csib_GeodeticPoint* point);

// Distance and the azimuths at both ends (the reverse one at point 2 towards point 1),
// in [0, 2pi]. Within 3e-6 m (1e-6 m below 50 degrees of latitude) and 2e-6 rad of
// the geodesic for lines under 100 km.
void csib_NormalSectionInverse(double latitude1, double longitude1, double latitude2, double longitude2, double a,
                               double b, double* distance, double* forwardAzimuth, double* reverseAzimuth);
// Meridian radius M, prime-vertical radius N and the radius of the normal section in
// the azimuth.
void csib_RadiiOfCurvature(double latitude, double azimuth, double* m, double* n, double* radius, double a, double b);
// x when y >= 0, -x when y < 0 (0 stays 0).
double csib_CopySign(double x, double y);

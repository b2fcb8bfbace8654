// The direct and inverse geodetic problems on an ellipsoid, and the ellipsoid's W
// factor. They are the coordinate geometry's definition of lines on the ellipsoid.
// Lines up to 5 km that keep 11 km (0.1 degree of latitude) from the poles follow the
// short-line series, within 0.002 mm of the geodesic and, on lines over 10 m, within
// 0.0001" (on shorter ones an azimuth is as good as the coordinates' last bits, a few
// nanometres sideways); all other lines, of any length up to the antipode, follow the
// geodesic itself (geodesic.h), within 0.0001 mm.
//
// Coordinates are (latitude, longitude) in radians; the heights are neither read nor
// written.
#pragma once

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"

// W = sqrt(1 - e^2 sin^2(latitude)); null for a null latitude or ellipsoid.
void roadcogo_EllipsoidW(const coordsys_Ellipsoid& ellipsoid, const coord_Local& coordinate, double* w);

// The point at a distance along an azimuth from the start, whose W is given. Writes
// the destination's latitude and longitude only; both null when an input is null.
void roadcogo_EllipsoidDirect(const coord_Local& start, double azimuth, double distance,
                              const coordsys_Ellipsoid& ellipsoid, double w1, coord_Local* destination);

// The mean of the azimuths at both ends, the azimuth at point 1 and the distance from
// point 1 to point 2, whose W are given. Coincident points give distance 0 and null
// azimuths; a null input gives all three null.
void roadcogo_EllipsoidInverse(const coordsys_Ellipsoid& ellipsoid, const coord_Local& p1, double w1,
                               const coord_Local& p2, double w2, double* meanAzimuth, double* azimuth,
                               double* distance);

// Within 1e-13; exact when either is null.
bool roadcogo_NearlyEqual(double a, double b);

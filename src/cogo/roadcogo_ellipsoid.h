// The direct and inverse geodetic problems on an ellipsoid by short-line series, and
// the ellipsoid's W factor. They are the coordinate geometry's definition of lines on
// the ellipsoid: against the geodesic the direct point is off by about 1e-8 m at
// 1 km, 1e-5 m at 10 km, 7 mm at 100 km and 6 m at 1,000 km; the inverse distance stays
// within 5e-5 m and its azimuth within 1.3" up to 1,000 km. The inverse refuses lines
// longer than a quarter great circle.
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
// azimuths; a null input or a line beyond a quarter great circle gives all three null.
void roadcogo_EllipsoidInverse(const coordsys_Ellipsoid& ellipsoid, const coord_Local& p1, double w1,
                               const coord_Local& p2, double w2, double* meanAzimuth, double* azimuth,
                               double* distance);

// Within 1e-13; exact when either is null.
bool roadcogo_NearlyEqual(double a, double b);

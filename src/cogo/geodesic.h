// Geodesics on an ellipsoid of revolution, solved on the auxiliary sphere with the
// distance and longitude integrals expanded to sixth order in the third flattening n
// and in eps = (sqrt(1 + k^2) - 1) / (sqrt(1 + k^2) + 1), k = e' cos(azimuth at the
// equator). For terrestrial flattenings (|f| < 1/150) lengths and end points come
// within 0.0001 mm of the exact geodesic, over lines of any length, and azimuths within
// 1e-6" (near the antipode, where the end barely moves with the start azimuth, within
// what moves it by 0.0001 mm).
//
// The inverse finds the start azimuth by Newton's method on the longitude difference,
// kept inside a bracket that it bisects whenever a step would leave it, so it converges
// for every pair of points; the start is a spherical estimate, or near the antipode the
// solution of the astroid that the geodesics envelop there.
//
// Latitudes, longitudes and azimuths are in radians; azimuths clockwise from north.
// The ellipsoid is its semi-major axis and flattening.
#pragma once

// The end of the geodesic leaving (lat1, lon1) along azimuth1 for the distance s
// (negative: backwards), and the geodesic's forward azimuth there. The end longitude is
// lon1 plus the longitude difference, not reduced to a range. False for an input that
// is not finite.
bool geodesic_Direct(double a, double f, double lat1, double lon1, double azimuth1, double s, double* lat2,
                     double* lon2, double* azimuth2);

// The shortest geodesic from (lat1, lon1) to (lat2, lon2): its length, its azimuth at
// point 1 and its forward azimuth at point 2, both in (-pi, pi]. Coincident points give
// length 0 with azimuths 0 and 0. False for an input that is not finite, or should the
// iteration not settle.
bool geodesic_Inverse(double a, double f, double lat1, double lon1, double lat2, double lon2, double* s12,
                      double* azimuth1, double* azimuth2);

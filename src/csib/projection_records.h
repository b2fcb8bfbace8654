// Records of the conic, cylindrical, oblique and stereographic projection kinds. The
// glue builds them with their defining fields filled (the rest zero); each kind's Load
// makes its own record from the saved part and derives the other fields.
#pragma once

#include <cstdint>

#include "csib/csib.h"

// Kind 1. Saved: parallel1, parallel2.
struct csib_AlbersParameters {
    double parallel1;
    double parallel2;
    double n;
    double c;     // m1^2 + n q1
    double rho0;  // k0 a sqrt(C - n q0) / n
};

// Kind 4. Saved: the count byte, then the two parallels when the count is 2.
struct csib_LambertParameters {
    uint8_t parallelCount;
    double parallel1;
    double parallel2;
    double n;
    double e0;  // exp(n psi0): 1e20 and 0 at the poles
    double rho0;
};

// Kind 5.
struct csib_MercatorParameters {
    double m0;
};

// Kind 2.
struct csib_CassiniParameters {
    double e4;
    double e6;
    double arcToOrigin;  // M(phi0), scaled by k0
};

// Kind 7.
struct csib_ObliqueCylindricalParameters {
    double sphereExponent;   // c
    double sphereLatitude0;  // chi0
    double sphereRadius;     // R, scaled by k0
    double sphereConstant;   // K
};

// Kind 8. Saved: mode, rectify, originAtCentre, then the angle, or the two points in
// mode 2.
inline constexpr uint8_t CSIB_HotineAzimuth = 0;
inline constexpr uint8_t CSIB_HotineRectifiedAngle = 1;
inline constexpr uint8_t CSIB_HotineTwoPoints = 2;
struct csib_ObliqueMercatorParameters {
    uint8_t mode;
    uint8_t rectify;
    uint8_t originAtCentre;
    double angle;
    double point1Latitude;
    double point1Longitude;
    double point2Latitude;
    double point2Longitude;
    double A;
    double B;
    double E;
    double azimuth;  // alpha_c
    double centreU;
    double gamma0;
    double lambda0;  // longitude of the natural origin
};

// Kind 9.
struct csib_ObliqueStereoParameters {
    double chi1;
    double cosChi1;
    double sinChi1;
    double m1;
};

// Kind 11.
struct csib_PolarStereoParameters {
    double originLatitudeAbs;  // kept, not used
    double lambda0;            // -lambda0 for the south aspect
    uint8_t south;
};

// Kind 18.
struct csib_DoubleStereoParameters {
    double n;
    double c;
    double R;
    double chi0;
    double nLambda0;
    double sinChi0;
    double cosChi0;
};

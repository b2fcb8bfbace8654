// Records of the two plane kinds built on earth-centred coordinates: the horizontal
// plane at the origin (kind 10) and the oblique plane of ten parameters (kind 13).
#pragma once

#include "csib/csib.h"

// Kind 10. The glue fills the first three fields; Load derives the rest. Saved in the
// order rotation, originHeight, originElevation.
struct csib_PlaneParameters {
    double originHeight;     // h0, the origin's ellipsoid height
    double originElevation;  // H0, the elevation given to the origin
    double rotation;         // theta
    double sinLat0, cosLat0;
    double cosLon0, sinLon0;
    double cosMinusRotation, sinMinusRotation;
    double cosRotation, sinRotation;
    double originX, originY, originZ;
};

// Kind 13, always on the WGS84 semi-axes; the first ten fields are saved.
struct csib_EcefPlaneParameters {
    double originX, originY, originZ;
    double falseEasting, falseNorthing, falseElevation;
    double omega, phi, kappa;
    double scale;
    double rotation[9];            // R(omega, phi, kappa), row by row
    double inverseRotation[9];     // its transpose
    double localFrame[9];          // M: earth-centred differences to east, north, up
    double inverseLocalFrame[9];   // M^-1
};

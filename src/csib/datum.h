// The parametric datum kinds' records and the transformations they share with the
// glue and the Helmert estimator: three-parameter Molodensky (kind 1), multiple
// regression equations (kind 2) and the seven-parameter Helmert (kind 3).
#pragma once

#include "csib/csib.h"

// WGS84 flattening of the Molodensky differences.
inline constexpr double CSIB_WGS84Flattening = 0.003352810664747;

// Kind 1. dX, dY, dZ shift the local datum to WGS84 in earth-centred axes; da and df
// are WGS84 less the block's ellipsoid, computed at load.
struct csib_MolodenskyParameters {
    double dX;
    double dY;
    double dZ;
    double da;
    double df;
};

// Kind 3: X' = T + s R X, local to WGS84, R = R3(rz) R2(ry) R1(rx) row by row.
// values: tx, ty, tz (metres), rx, ry, rz (radians), s (a factor).
struct csib_HelmertParameters {
    double values[7];
    double r[9];
};
enum : int { CSIB_HelmertTx, CSIB_HelmertTy, CSIB_HelmertTz, CSIB_HelmertRx, CSIB_HelmertRy, CSIB_HelmertRz,
             CSIB_HelmertScale };

// One series of the regression model: coefficient and the two powers per term; the
// first term is the constant.
struct csib_RegressionSeries {
    int16_t count;
    double* coefficients;
    int16_t* latitudePowers;
    int16_t* longitudePowers;
};

// Kind 2. Series in order latitude, longitude (arc-seconds), height (metres).
struct csib_RegressionDatum {
    char* fileName;  // null for images before 1.1
    double scale;
    double meanLatitude;  // degrees
    double meanLongitude;
    csib_RegressionSeries series[3];
};

inline constexpr int16_t CSIB_RegressionMaxPower = 9;

// The Molodensky shifts at a local point: standard with an ellipsoid height, abridged
// (and dH 0) without.
void csib_MolodenskyShifts(const csib_Block* block, const csib_GeodeticPoint* point, double* dLat, double* dLon,
                           double* dH);
// Fills R from the record's rotations.
void csib_HelmertRotation(csib_HelmertParameters* record);
void csib_HelmertForward(const csib_HelmertParameters* record, const double in[3], double out[3]);
void csib_HelmertReverse(const csib_HelmertParameters* record, const double in[3], double out[3]);

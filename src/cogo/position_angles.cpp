#include "cogo/position_angles.h"

#include <cmath>

namespace {

double Azimuth(double angle) { return coord_NormalisedAzimuth(&angle); }

}  // namespace

bool position_IsFace2(double zenith, int face) {
    if (maths_IsNull(zenith)) return face == COORD_Face2;
    return Azimuth(zenith) > CONSTANT_Pi;
}

int position_FaceOfZenith(double zenith) {
    if (maths_IsNull(zenith)) return COORD_FaceNull;
    return Azimuth(zenith) > CONSTANT_Pi ? COORD_Face2 : COORD_Face1;
}

double position_AngleDifference(double a, double b) {
    if (maths_IsNull(a) || maths_IsNull(b)) return MATHS_Null;
    return Azimuth(b - a);
}

double position_AngleDifferenceSigned(double a, double b) {
    if (maths_IsNull(a) || maths_IsNull(b)) return MATHS_Null;
    double d = a - b;
    coord_NormalisePlusMinusPi(&d);
    return d;
}

double position_AngleDifferenceAbs(double a, double b) {
    if (maths_IsNull(a) || maths_IsNull(b)) return MATHS_Null;
    const double d = Azimuth(a - b);
    return d > CONSTANT_Pi ? CONSTANT_TwoPi - d : d;
}

double position_AngleMean(double a, double b) {
    const double d = position_AngleDifference(a, b);
    if (maths_IsNull(d)) return MATHS_Null;
    return Azimuth(d > CONSTANT_Pi ? b + (CONSTANT_TwoPi - d) / 2.0 : a + d / 2.0);
}

double position_AngleBisect(double a, double b) {
    if (maths_IsNull(a) || maths_IsNull(b)) return MATHS_Null;
    const double mid = (a + b) / 2.0;
    return Azimuth(b < a ? mid + CONSTANT_Pi : mid);
}

double position_AngleMeanNear(double a, double b) {
    if (maths_IsNull(a) || maths_IsNull(b)) return MATHS_Null;
    const double mid = (a + b) / 2.0;
    return Azimuth(std::fabs(a - b) > CONSTANT_Pi ? mid + CONSTANT_Pi : mid);
}

double position_AngleMeanNullAware(double a, double b) {
    if (maths_IsNull(a)) return b;
    if (maths_IsNull(b)) return a;
    return position_AngleMeanNear(a, b);
}

double position_MeanNullAware(double a, double b) {
    if (maths_IsNull(a)) return b;
    if (maths_IsNull(b)) return a;
    return (a + b) / 2.0;
}

bool position_AnglesEqualLoose(double a, double b) {
    return !maths_IsNull(a) && !maths_IsNull(b) && std::fabs(a - b) < 0.0001;
}

void position_ChordToArc(double radius, double* length) {
    if (maths_IsNull(radius) || maths_IsNull(*length)) return;
    const double half = *length / (2.0 * radius);
    // Also refuses the NaN of a zero radius.
    if (!(std::fabs(half) <= 1.0)) {
        *length = MATHS_Null;
        return;
    }
    *length = 2.0 * radius * std::asin(half);
}

void position_ArcToChord(double radius, double* length) {
    if (maths_IsNull(radius) || maths_IsNull(*length)) return;
    if (radius == 0.0) {
        *length = MATHS_Null;
        return;
    }
    *length = 2.0 * radius * std::sin(*length / (2.0 * radius));
}

void position_SlopeDistance(const coord_Polar& observation, double* out) {
    if (maths_IsNull(observation.HDist) || maths_IsNull(observation.VDist)) {
        *out = MATHS_Null;
        return;
    }
    *out = std::sqrt(observation.HDist * observation.HDist + observation.VDist * observation.VDist);
}

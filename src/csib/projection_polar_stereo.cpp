// Polar stereographic, kind 11 (also UPS): scale k0 at the pole, the aspect from the
// sign of the origin latitude. The south aspect is the north aspect of (-phi, -lambda)
// with both coordinates negated. Record: csib_PolarStereoParameters; no saved part.
#include <cmath>

#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTiny = 1e-15;

using Record = csib_PolarStereoParameters;

csib_Status Load(csib_Block* block, const uint8_t*) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    p->originLatitudeAbs = std::fabs(block->originLatitude);
    p->south = block->originLatitude < 0.0 ? 1 : 0;
    p->lambda0 = p->south ? -block->originLongitude : block->originLongitude;
    return CSIB_Ok;
}

// 2 a k0 / sqrt((1 + e)^(1 + e) (1 - e)^(1 - e)).
double RadiusFactor(const csib_Block* block) {
    const double e = block->eccentricity;
    return 2.0 * block->semiMajorAxis * block->scaleFactor /
           std::sqrt(std::pow(1.0 + e, 1.0 + e) * std::pow(1.0 - e, 1.0 - e));
}

// The north-aspect radius of a latitude already turned to the north aspect.
double Rho(const csib_Block* block, double latitude) {
    return RadiusFactor(block) * csib_ConformalT(block->eccentricity, latitude);
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double sign = p->south ? -1.0 : 1.0;
    const double rho = Rho(block, sign * in->latitude);
    const double delta = csib_NormalizeAnglePi(sign * in->longitude - p->lambda0);
    out->north = -sign * rho * std::cos(delta);
    out->east = sign * rho * std::sin(delta);
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status ClosedInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double sign = p->south ? -1.0 : 1.0;
    const double north = sign * in->north;
    const double east = sign * in->east;
    const double t = std::sqrt(east * east + north * north) / RadiusFactor(block);
    double latitude = 0.0;
    const csib_Status status = csib_LatitudeFromT(block->eccentricity, t, &latitude);
    if (status < 0) return status;
    double longitude = p->lambda0;
    if (std::fabs(north) >= kTiny) {
        longitude += std::atan(-east / north);
        if (north > 0.0) longitude += kPi;
    } else if (std::fabs(east) >= kTiny) {
        longitude += east > 0.0 ? kPi / 2.0 : -kPi / 2.0;
    }
    out->latitude = sign * latitude;
    // lambda0 + atan + pi reaches 3 pi / 2 past the central meridian; the same meridian within pi.
    out->longitude = csib_NormalizeAnglePi(sign * longitude);
    csib_HeightsToGeodetic(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    return csib_CheckedInverse(block, ClosedInverse, Forward, in, out, CSIB_IterationLimit);
}

// At the pole itself rho / m is 0 / 0; its limit there is k0.
csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    const double latitude = csib_Record<Record>(block)->south ? -in->latitude : in->latitude;
    const double m = csib_ParallelFactor(block->eccentricitySquared, latitude);
    *k = m < kTiny ? block->scaleFactor : Rho(block, latitude) / (block->semiMajorAxis * m);
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_PolarStereoFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, Forward,
    Inverse, ScaleFactor,     csib_ConvergenceUnavailable, csib_NoProjectionParameters, csib_NothingSaved,
};

// Oblique conformal cylindrical, kind 7: the ellipsoid onto a conformal (Gauss) sphere
// of radius R, then an oblique Mercator of the sphere about the great circle through
// the origin square to its meridian. Record: csib_ObliqueCylindricalParameters; no
// saved part.
#include <cmath>

#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kLatitudeRounds = 100;
constexpr double kLatitudeStep = 1e-15;

using Record = csib_ObliqueCylindricalParameters;

double LnTanHalf(double x) { return std::log(std::tan(x / 2.0 + kPi / 4.0)); }
double LnEccentric(double e, double phi) {
    const double s = e * std::sin(phi);
    return std::log((1.0 + s) / (1.0 - s));
}

csib_Status Load(csib_Block* block, const uint8_t*) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    const double e = block->eccentricity;
    const double e2 = block->eccentricitySquared;
    const double phi0 = block->originLatitude;
    const double c = csib_SphereExponent(e2, phi0);
    p->sphereExponent = c;
    p->sphereLatitude0 = std::asin(std::sin(phi0) / c);
    p->sphereRadius = csib_SphereRadius(block->scaleFactor * block->semiMajorAxis, e2, phi0);
    p->sphereConstant = LnTanHalf(p->sphereLatitude0) - c * LnTanHalf(phi0) + c * e / 2.0 * LnEccentric(e, phi0);
    return CSIB_Ok;
}

// Latitude on the sphere.
double SphereLatitude(const csib_Block* block, const Record* p, double phi) {
    const double c = p->sphereExponent;
    const double S = c * LnTanHalf(phi) - c * block->eccentricity / 2.0 * LnEccentric(block->eccentricity, phi) +
                     p->sphereConstant;
    return 2.0 * (std::atan(std::exp(S)) - kPi / 4.0);
}

// Latitude in the oblique aspect.
double ObliqueLatitude(const Record* p, double chi, double lambda) {
    const double chi0 = p->sphereLatitude0;
    return std::asin(std::sin(chi) * std::cos(chi0) - std::cos(lambda) * std::cos(chi) * std::sin(chi0));
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double chi = SphereLatitude(block, p, in->latitude);
    const double lambda = p->sphereExponent * csib_DeltaLongitude(block, in->longitude);
    const double chiOblique = ObliqueLatitude(p, chi, lambda);
    const double lambdaOblique = std::asin(std::cos(chi) * std::sin(lambda) / std::cos(chiOblique));
    out->north = p->sphereRadius * LnTanHalf(chiOblique);
    out->east = p->sphereRadius * lambdaOblique;
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status ClosedInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double e = block->eccentricity;
    const double c = p->sphereExponent;
    const double chi0 = p->sphereLatitude0;
    const double chiOblique = 2.0 * (std::atan(std::exp(in->north / p->sphereRadius)) - kPi / 4.0);
    const double lambdaOblique = in->east / p->sphereRadius;
    const double chi = std::asin(std::cos(lambdaOblique) * std::cos(chiOblique) * std::sin(chi0) +
                                 std::sin(chiOblique) * std::cos(chi0));
    const double lambda = std::asin(std::sin(lambdaOblique) * std::cos(chiOblique) / std::cos(chi));
    const double sphere = (LnTanHalf(chi) - p->sphereConstant) / c;
    double phi = block->originLatitude;
    for (int i = 0;; ++i) {
        if (i == kLatitudeRounds) return CSIB_IterationLimit;
        const double next = 2.0 * (std::atan(std::exp(e / 2.0 * LnEccentric(e, phi) + sphere)) - kPi / 4.0);
        const bool settled = std::fabs(next - phi) < kLatitudeStep;
        phi = next;
        if (settled) break;
    }
    out->latitude = phi;
    out->longitude = block->originLongitude + lambda / c;
    csib_HeightsToGeodetic(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    return csib_CheckedInverse(block, ClosedInverse, Forward, in, out, CSIB_IterationLimit);
}

// The conformal scale of both steps: c R cos(chi) / (N cos(phi) cos(chi')).
csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    const Record* p = csib_Record<Record>(block);
    const double phi = in->latitude;
    const double s = std::sin(phi);
    const double chi = SphereLatitude(block, p, phi);
    const double chiOblique =
        ObliqueLatitude(p, chi, p->sphereExponent * csib_DeltaLongitude(block, in->longitude));
    const double N = block->semiMajorAxis / std::sqrt(1.0 - block->eccentricitySquared * s * s);
    *k = p->sphereExponent * p->sphereRadius * std::cos(chi) / (N * std::cos(phi) * std::cos(chiOblique));
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_ObliqueCylindricalFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, Forward,
    Inverse, ScaleFactor,     csib_ConvergenceUnavailable, csib_NoProjectionParameters, csib_NothingSaved,
};

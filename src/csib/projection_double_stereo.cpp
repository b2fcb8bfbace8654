// Double stereographic, kind 18: the ellipsoid onto the Gauss conformal sphere, then a
// stereographic projection of the sphere about the origin. Record:
// csib_DoubleStereoParameters; no saved part.
#include <cmath>

#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kNewtonRounds = 100;
constexpr double kNewtonStep = 1e-15;

using Record = csib_DoubleStereoParameters;

// tan(phi/2 + pi/4) ((1 - e sin phi) / (1 + e sin phi))^(e/2)
double IsometricFactor(double e, double phi) {
    const double s = e * std::sin(phi);
    return std::tan(phi / 2.0 + kPi / 4.0) * std::pow((1.0 - s) / (1.0 + s), e / 2.0);
}

csib_Status Load(csib_Block* block, const uint8_t*) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    const double e2 = block->eccentricitySquared;
    const double phi0 = block->originLatitude;
    p->n = csib_SphereExponent(e2, phi0);
    p->chi0 = std::asin(std::sin(phi0) / p->n);
    p->c = std::tan(p->chi0 / 2.0 + kPi / 4.0) * std::pow(IsometricFactor(block->eccentricity, phi0), -p->n);
    p->R = csib_SphereRadius(block->semiMajorAxis, e2, phi0);
    p->nLambda0 = p->n * block->originLongitude;
    p->sinChi0 = std::sin(p->chi0);
    p->cosChi0 = std::cos(p->chi0);
    return CSIB_Ok;
}

// The point on the sphere and the stereographic denominator.
struct Sphere {
    double chi, lambda, D;
};
Sphere ToSphere(const csib_Block* block, const Record* p, const csib_GeodeticPoint* in) {
    Sphere s;
    s.chi = 2.0 * (std::atan(p->c * std::pow(IsometricFactor(block->eccentricity, in->latitude), p->n)) - kPi / 4.0);
    s.lambda = p->n * in->longitude - p->nLambda0;
    s.D = 1.0 + p->sinChi0 * std::sin(s.chi) + p->cosChi0 * std::cos(s.chi) * std::cos(s.lambda);
    return s;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const Sphere s = ToSphere(block, p, in);
    const double diameter = block->scaleFactor * 2.0 * p->R;
    out->east = diameter * std::cos(s.chi) * std::sin(s.lambda) / s.D;
    out->north =
        diameter * (std::sin(s.chi) * p->cosChi0 - std::cos(s.lambda) * std::cos(s.chi) * p->sinChi0) / s.D;
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status ClosedInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double e = block->eccentricity;
    const double e2 = block->eccentricitySquared;
    const double x = in->east / block->scaleFactor;
    const double y = in->north / block->scaleFactor;
    const double rho = std::sqrt(x * x + y * y);
    const double theta = std::atan2(y, x);
    const double s = 2.0 * std::atan(rho / (2.0 * p->R));
    const double chi = std::asin(std::sin(theta) * std::sin(s) * p->cosChi0 + std::cos(s) * p->sinChi0);
    const double lambda = std::asin(std::sin(s) * std::cos(theta) / std::cos(chi));
    const double target = std::tan(chi / 2.0 + kPi / 4.0);
    double u = chi;
    for (int i = 0;; ++i) {
        if (i == kNewtonRounds) return CSIB_IterationLimit;
        const double es = e * std::sin(u);
        const double H = std::pow((1.0 - es) / (1.0 + es), e / 2.0);
        const double tanU = std::tan(u / 2.0 + kPi / 4.0);
        const double cosU = std::cos(u / 2.0 + kPi / 4.0);
        const double T = tanU * H;
        const double F = p->c * std::pow(T, p->n) - target;
        const double dF = p->c * p->n * std::pow(T, p->n - 1.0) * H *
                          (1.0 / (2.0 * cosU * cosU) - tanU * e2 * std::cos(u) / (1.0 - es * es));
        const double next = u - F / dF;
        const bool settled = std::fabs(next - u) < kNewtonStep;
        u = next;
        if (settled) break;
    }
    out->latitude = u;
    out->longitude = (p->nLambda0 + lambda) / p->n;
    csib_HeightsToGeodetic(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    return csib_CheckedInverse(block, ClosedInverse, Forward, in, out, CSIB_IterationLimit);
}

csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    const Record* p = csib_Record<Record>(block);
    const Sphere s = ToSphere(block, p, in);
    const double sinPhi = std::sin(in->latitude);
    const double N = block->semiMajorAxis / std::sqrt(1.0 - block->eccentricitySquared * sinPhi * sinPhi);
    *k = block->scaleFactor * 2.0 * p->R * p->n * std::cos(s.chi) / (s.D * N * std::cos(in->latitude));
    return CSIB_Ok;
}

csib_Status Convergence(csib_Block* block, const csib_GeodeticPoint* in, double* gamma) {
    const Record* p = csib_Record<Record>(block);
    const Sphere s = ToSphere(block, p, in);
    const double sinChi = std::sin(s.chi);
    *gamma = std::atan((sinChi + p->sinChi0) * std::sin(s.lambda) /
                       (std::cos(s.lambda) * (1.0 + sinChi * p->sinChi0) + std::cos(s.chi) * p->cosChi0));
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_DoubleStereoFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, Forward,
    Inverse, ScaleFactor,     Convergence,     csib_NoProjectionParameters, csib_NothingSaved,
};

// Albers equal-area conic on the ellipsoid, kind 1. Record: csib_AlbersParameters;
// saved part: the two standard parallels.
#include <cmath>

#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

constexpr int kLatitudeRounds = 200;
constexpr double kLatitudeStep = 1e-12;
constexpr double kEqualParallels = 1e-10;
constexpr double kPi = 3.141592653589793;
constexpr double kOnPole = 1e-12;

using Record = csib_AlbersParameters;

double Q(double e, double phi) {
    const double s = std::sin(phi);
    const double es = e * s;
    return (1.0 - e * e) * (s / (1.0 - es * es) - std::log((1.0 - es) / (1.0 + es)) / (2.0 * e));
}

csib_Status Load(csib_Block* block, const uint8_t* saved) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    if (block->version <= 1.1) block->scaleFactor = 1.0;
    p->parallel1 = csib_GetDouble(saved, block->swapBytes);
    p->parallel2 = csib_GetDouble(saved + 8, block->swapBytes);
    const double e = block->eccentricity;
    const double e2 = block->eccentricitySquared;
    const double q0 = Q(e, block->originLatitude);
    const double q1 = Q(e, p->parallel1);
    const double q2 = Q(e, p->parallel2);
    const double m1 = csib_ParallelFactor(e2, p->parallel1);
    const double m2 = csib_ParallelFactor(e2, p->parallel2);
    p->n = std::fabs(q2 - q1) < kEqualParallels ? std::sin(p->parallel2) : (m1 * m1 - m2 * m2) / (q2 - q1);
    p->c = m1 * m1 + p->n * q1;
    p->rho0 = block->scaleFactor * block->semiMajorAxis * std::sqrt(p->c - p->n * q0) / p->n;
    return CSIB_Ok;
}

csib_Status Save(csib_Block* block, uint8_t* out, uint8_t) {
    const Record* p = csib_Record<Record>(block);
    csib_PutDouble(out, p->parallel1);
    csib_PutDouble(out + 8, p->parallel2);
    return CSIB_Ok;
}

csib_Status GetParameters(csib_Block* block, int16_t selector, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    auto* p = static_cast<Record*>(block->projectionParameters);
    *parameter = selector == 0 ? &p->parallel1 : selector == 1 ? static_cast<void*>(&p->parallel2) : nullptr;
    return CSIB_Ok;
}

double Rho(const csib_Block* block, double phi) {
    const Record* p = csib_Record<Record>(block);
    return block->scaleFactor * block->semiMajorAxis * std::sqrt(p->c - p->n * Q(block->eccentricity, phi)) / p->n;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double theta = p->n * csib_DeltaLongitude(block, in->longitude);
    const double rho = Rho(block, in->latitude);
    out->north = p->rho0 - rho * std::cos(theta);
    out->east = rho * std::sin(theta);
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status ClosedInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double e = block->eccentricity;
    const double e2 = block->eccentricitySquared;
    const double ak0 = block->semiMajorAxis * block->scaleFactor;
    const double theta = p->n < 0.0 ? std::atan2(-in->east, in->north - p->rho0)
                                    : std::atan2(in->east, p->rho0 - in->north);
    const double dn = p->rho0 - in->north;
    const double rho2 = in->east * in->east + dn * dn;
    const double q = (p->c - rho2 * p->n * p->n / (ak0 * ak0)) / p->n;
    if (std::fabs(q / 2.0) > 1.0) return CSIB_MissingOutput;
    double phi = std::asin(q / 2.0);
    // On the pole's arc q is the pole's own, where the step below divides by cos 90 degrees.
    const bool onPole = std::fabs(q) >= Q(e, kPi / 2.0) - kOnPole;
    if (onPole) phi = std::copysign(kPi / 2.0, q);
    for (int i = 0; !onPole; ++i) {
        if (i == kLatitudeRounds) return CSIB_AlbersIterationLimit;
        const double s = std::sin(phi);
        const double w = 1.0 - e2 * s * s;
        const double next = phi + w * w / (2.0 * std::cos(phi)) *
                                      (q / (1.0 - e2) - s / w + std::log((1.0 - e * s) / (1.0 + e * s)) / (2.0 * e));
        const bool settled = std::fabs(phi - next) < kLatitudeStep;
        phi = next;
        if (settled) break;
    }
    out->latitude = phi;
    out->longitude = block->originLongitude + theta / p->n;
    csib_HeightsToGeodetic(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    return csib_CheckedInverse(block, ClosedInverse, Forward, in, out, CSIB_MissingOutput);
}

csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    const Record* p = csib_Record<Record>(block);
    *k = Rho(block, in->latitude) * p->n /
         (block->semiMajorAxis * csib_ParallelFactor(block->eccentricitySquared, in->latitude));
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_AlbersFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord, Save,        Forward,
    Inverse, ScaleFactor,     csib_ConvergenceUnavailable, GetParameters,             csib_FixedSavedSize<16>,
};

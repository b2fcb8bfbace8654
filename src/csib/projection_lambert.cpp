// Lambert conformal conic, kind 4: one standard parallel at the origin latitude, or
// two. Record: csib_LambertParameters; saved part: the count byte, then the two
// parallels when the count is 2 (any count other than 1 is read as two parallels).
#include <cmath>

#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kLatitudeRounds = 100;
constexpr double kLatitudeStep = 1e-15;
constexpr double kPoleSine = 0.999999999999999;

using Record = csib_LambertParameters;

double lambert_Atanh(double x) { return std::log((1.0 + x) / (1.0 - x)) / 2.0; }

// Isometric latitude.
double Psi(double e, double phi) {
    const double s = std::sin(phi);
    return lambert_Atanh(s) - e * lambert_Atanh(e * s);
}

// cos of the reduced latitude.
double CosReduced(const csib_Block* block, double phi) {
    return std::cos(std::atan(std::tan(phi) * block->semiMinorAxis / block->semiMajorAxis));
}

bool OneParallel(const Record* p) { return p->parallelCount == 1; }

csib_Status Load(csib_Block* block, const uint8_t* saved) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    p->parallelCount = saved[0];
    const double e = block->eccentricity;
    const double phi0 = block->originLatitude;
    const double sin0 = std::sin(phi0);
    double r1 = 0.0, psi1 = 0.0;
    if (OneParallel(p)) {
        p->n = sin0;
    } else {
        if (block->version <= 1.1) block->scaleFactor = 1.0;
        p->parallel1 = csib_GetDouble(saved + 1, block->swapBytes);
        p->parallel2 = csib_GetDouble(saved + 9, block->swapBytes);
        const double ak0 = block->scaleFactor * block->semiMajorAxis;
        r1 = ak0 * CosReduced(block, p->parallel1);
        const double r2 = ak0 * CosReduced(block, p->parallel2);
        psi1 = Psi(e, p->parallel1);
        p->n = (std::log(r2) - std::log(r1)) / (psi1 - Psi(e, p->parallel2));
    }
    p->e0 = sin0 > kPoleSine ? 1e20 : sin0 < -kPoleSine ? 0.0 : std::exp(p->n * Psi(e, phi0));
    p->rho0 = OneParallel(p) ? block->scaleFactor * block->semiMajorAxis * CosReduced(block, phi0) / p->n
                             : std::exp(p->n * psi1) * r1 / (p->n * p->e0);
    return CSIB_Ok;
}

csib_Status Save(csib_Block* block, uint8_t* out, uint8_t) {
    const Record* p = csib_Record<Record>(block);
    out[0] = p->parallelCount;
    if (p->parallelCount == 2) {
        csib_PutDouble(out + 1, p->parallel1);
        csib_PutDouble(out + 9, p->parallel2);
    }
    return CSIB_Ok;
}

csib_Status GetSavedSize(csib_Block* block, uint8_t, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = OneParallel(csib_Record<Record>(block)) ? 1 : 17;
    return CSIB_Ok;
}

csib_Status GetParameters(csib_Block* block, int16_t selector, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    auto* p = static_cast<Record*>(block->projectionParameters);
    void* fields[] = {&p->parallelCount, &p->parallel1, &p->parallel2};
    *parameter = selector >= 0 && selector < 3 ? fields[selector] : nullptr;
    return CSIB_Ok;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double g = p->e0 * std::exp(-p->n * Psi(block->eccentricity, in->latitude));
    const double theta = p->n * csib_DeltaLongitude(block, in->longitude);
    out->north = p->rho0 * (1.0 - g * std::cos(theta));
    out->east = p->rho0 * g * std::sin(theta);
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status ClosedInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double e = block->eccentricity;
    const double d = p->rho0 - in->north;
    const double theta = std::atan(in->east / d);
    const double expPsi = std::pow(std::cos(theta) * p->rho0 * p->e0 / d, 1.0 / p->n);
    double f = 2.0 * std::atan(expPsi);
    for (int i = 0;; ++i) {
        if (i == kLatitudeRounds) return CSIB_IterationLimit;
        const double next = 2.0 * std::atan(std::exp(e * lambert_Atanh(-e * std::cos(f))) * expPsi);
        const bool settled = std::fabs(next - f) < kLatitudeStep;
        f = next;
        if (settled) break;
    }
    out->latitude = f - kPi / 2.0;
    out->longitude = theta / p->n + block->originLongitude;
    csib_HeightsToGeodetic(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    return csib_CheckedInverse(block, ClosedInverse, Forward, in, out, CSIB_IterationLimit);
}

csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    const Record* p = csib_Record<Record>(block);
    const double cosBeta = CosReduced(block, in->latitude);
    const double psi = Psi(block->eccentricity, in->latitude);
    if (OneParallel(p)) {
        *k = block->scaleFactor * CosReduced(block, block->originLatitude) * p->e0 * std::exp(-p->n * psi) / cosBeta;
    } else {
        *k = block->scaleFactor * CosReduced(block, p->parallel1) * std::exp(p->n * Psi(block->eccentricity, p->parallel1)) /
             (cosBeta * std::exp(p->n * psi));
    }
    return CSIB_Ok;
}

csib_Status Convergence(csib_Block* block, const csib_GeodeticPoint* in, double* gamma) {
    *gamma = csib_Record<Record>(block)->n * csib_DeltaLongitude(block, in->longitude);
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_LambertFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord, Save,        Forward,
    Inverse, ScaleFactor,     Convergence,     GetParameters,             GetSavedSize,
};

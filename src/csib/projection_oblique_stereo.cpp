// Oblique stereographic through the conformal latitude, kind 9. Record:
// csib_ObliqueStereoParameters; no saved part.
#include <cmath>
#include <limits>

#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kLargest = std::numeric_limits<double>::max();
constexpr double kTiny = 1e-15;
constexpr int kLatitudeRounds = 100;
constexpr double kLatitudeStep = 1e-15;

using Record = csib_ObliqueStereoParameters;

// Conformal latitude; at a pole the infinite ratios become the largest double.
double Conformal(double e, double phi) {
    const double s = std::sin(phi);
    const double r1 = std::fabs(1.0 - s) < kTiny ? kLargest : (1.0 + s) / (1.0 - s);
    const double r2 = std::fabs(1.0 + e * s) < kTiny ? kLargest : (1.0 - e * s) / (1.0 + e * s);
    return 2.0 * std::atan(std::sqrt(std::pow(r2, e) * r1)) - kPi / 2.0;
}

csib_Status Load(csib_Block* block, const uint8_t*) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    const double phi0 = block->originLatitude;
    const double s = std::sin(phi0);
    const double root = std::sqrt(1.0 - block->eccentricitySquared * s * s);
    p->chi1 = Conformal(block->eccentricity, phi0);
    p->cosChi1 = std::cos(p->chi1);
    p->sinChi1 = std::sin(p->chi1);
    p->m1 = root < kTiny ? kLargest : std::cos(phi0) / root;
    return CSIB_Ok;
}

// 2 a k0 m1 / cos(chi1), the radius of the projection.
double Diameter(const csib_Block* block, const Record* p) {
    return 2.0 * block->semiMajorAxis * block->scaleFactor * p->m1;
}

struct Projected {
    double chi, A;
};
Projected Project(const csib_Block* block, const Record* p, double latitude, double delta) {
    const double chi = Conformal(block->eccentricity, latitude);
    return {chi, Diameter(block, p) / (p->cosChi1 * (1.0 + p->sinChi1 * std::sin(chi) +
                                                     p->cosChi1 * std::cos(chi) * std::cos(delta)))};
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double delta = csib_DeltaLongitude(block, in->longitude);
    const Projected x = Project(block, p, in->latitude, delta);
    out->north = x.A * (p->cosChi1 * std::sin(x.chi) - p->sinChi1 * std::cos(x.chi) * std::cos(delta));
    out->east = x.A * std::cos(x.chi) * std::sin(delta);
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status ClosedInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double e = block->eccentricity;
    const double rho = std::sqrt(in->east * in->east + in->north * in->north);
    double chi = p->chi1;
    double longitude = block->originLongitude;
    if (rho >= kTiny) {
        const double c = 2.0 * std::atan(rho * p->cosChi1 / Diameter(block, p));
        const double sinC = std::sin(c), cosC = std::cos(c);
        chi = std::asin(cosC * p->sinChi1 + in->north * sinC * p->cosChi1 / rho);
        const double d = rho * p->cosChi1 * cosC - in->north * p->sinChi1 * sinC;
        longitude += std::atan(in->east * sinC / d);
        if (d < 0.0) longitude += longitude < 0.0 ? kPi : -kPi;
    }
    double phi = chi;
    for (int i = 0;; ++i) {
        if (i == kLatitudeRounds) return CSIB_IterationLimit;
        const double s = e * std::sin(phi);
        const double next =
            2.0 * std::atan(std::tan(kPi / 4.0 + chi / 2.0) * std::pow((1.0 + s) / (1.0 - s), e / 2.0)) - kPi / 2.0;
        const bool settled = std::fabs(next - phi) < kLatitudeStep;
        phi = next;
        if (settled) break;
    }
    out->latitude = phi;
    out->longitude = longitude;
    csib_HeightsToGeodetic(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    return csib_CheckedInverse(block, ClosedInverse, Forward, in, out, CSIB_IterationLimit);
}

csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    const Record* p = csib_Record<Record>(block);
    const Projected x = Project(block, p, in->latitude, csib_DeltaLongitude(block, in->longitude));
    *k = x.A * std::cos(x.chi) /
         (block->semiMajorAxis * csib_ParallelFactor(block->eccentricitySquared, in->latitude));
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_ObliqueStereoFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, Forward,
    Inverse, ScaleFactor,     csib_ConvergenceUnavailable, csib_NoProjectionParameters, csib_NothingSaved,
};

// Cassini-Soldner on the ellipsoid, kind 2: the series in the longitude difference,
// scaled by k0. Record: csib_CassiniParameters; no saved part. Neither scale nor
// convergence is given. The inverse series (6 cm off the forward four degrees out) is
// refined on the forward.
#include <cmath>

#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

using Record = csib_CassiniParameters;

double Arc(const csib_Block* block, const Record* p, double phi) {
    const double e2 = block->eccentricitySquared;
    const double e4 = p->e4, e6 = p->e6;
    return block->scaleFactor * block->semiMajorAxis *
           ((1.0 - e2 / 4.0 - 3.0 * e4 / 64.0 - 5.0 * e6 / 256.0) * phi -
            (3.0 * e2 / 8.0 + 3.0 * e4 / 32.0 + 45.0 * e6 / 1024.0) * std::sin(2.0 * phi) +
            (15.0 * e4 / 256.0 + 45.0 * e6 / 1024.0) * std::sin(4.0 * phi) - (35.0 * e6 / 3072.0) * std::sin(6.0 * phi));
}

csib_Status Load(csib_Block* block, const uint8_t*) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    const double e2 = block->eccentricitySquared;
    p->e4 = e2 * e2;
    p->e6 = p->e4 * e2;
    p->arcToOrigin = Arc(block, p, block->originLatitude);
    return CSIB_Ok;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const Record* p = csib_Record<Record>(block);
    const double e2 = block->eccentricitySquared;
    const double phi = in->latitude;
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double tanPhi = std::tan(phi);
    const double A = csib_DeltaLongitude(block, in->longitude) * c;
    const double T = tanPhi * tanPhi;
    const double C = e2 * c * c / (1.0 - e2);
    const double N = block->scaleFactor * block->semiMajorAxis / std::sqrt(1.0 - e2 * s * s);
    const double A2 = A * A;
    out->east = N * (A - T * A2 * A / 6.0 - (8.0 - T + 8.0 * C) * T * A2 * A2 * A / 120.0);
    out->north = Arc(block, p, phi) - p->arcToOrigin + N * tanPhi * (A2 / 2.0 + (5.0 - T + 6.0 * C) * A2 * A2 / 24.0);
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    const Record* p = csib_Record<Record>(block);
    const double e2 = block->eccentricitySquared;
    const double ak0 = block->scaleFactor * block->semiMajorAxis;
    const double mu = (p->arcToOrigin + in->north) / (ak0 * (1.0 - e2 / 4.0 - 3.0 * p->e4 / 64.0 - 5.0 * p->e6 / 256.0));
    const double r = std::sqrt(1.0 - e2);
    const double e1 = (1.0 - r) / (1.0 + r);
    const double e1_2 = e1 * e1, e1_3 = e1_2 * e1, e1_4 = e1_2 * e1_2;
    const double phi1 = mu + (3.0 * e1 / 2.0 - 27.0 * e1_3 / 32.0) * std::sin(2.0 * mu) +
                        (21.0 * e1_2 / 16.0 - 55.0 * e1_4 / 32.0) * std::sin(4.0 * mu) +
                        (151.0 * e1_3 / 96.0) * std::sin(6.0 * mu) + (1097.0 * e1_4 / 512.0) * std::sin(8.0 * mu);
    const double s1 = std::sin(phi1);
    const double tan1 = std::tan(phi1);
    const double T1 = tan1 * tan1;
    const double w = 1.0 - e2 * s1 * s1;
    const double N1 = ak0 / std::sqrt(w);
    const double R1 = ak0 * (1.0 - e2) / std::pow(w, 1.5);
    const double D = in->east / N1;
    const double D2 = D * D;
    out->latitude = phi1 - (N1 * tan1 / R1) * (D2 / 2.0 - (1.0 + 3.0 * T1) * D2 * D2 / 24.0);
    out->longitude = block->originLongitude +
                     (D - T1 * D2 * D / 3.0 + (1.0 + 3.0 * T1) * T1 * D2 * D2 * D / 15.0) / std::cos(phi1);
    csib_HeightsToGeodetic(in, out);
    return csib_RefineInverse(block, Forward, in->north, in->east, out, CSIB_OutsideDomain);
}

csib_Status ScaleFactor(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_CassiniNoScaleFactor; }
csib_Status Convergence(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_CassiniNoConvergence; }

}  // namespace

const csib_ProjectionFunctions csib_CassiniFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, Forward,
    Inverse, ScaleFactor,     Convergence,     csib_NoProjectionParameters, csib_NothingSaved,
};

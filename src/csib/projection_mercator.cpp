// Mercator on the ellipsoid with its standard parallel at the origin latitude, kind 5;
// northings count from the equator. Record: csib_MercatorParameters; no saved part.
#include <cmath>

#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

using Record = csib_MercatorParameters;

csib_Status Load(csib_Block* block, const uint8_t*) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    // Older images put the standard parallel at the equator whatever they hold.
    if (block->version <= 1.1) block->originLatitude = 0.0;
    p->m0 = csib_ParallelFactor(block->eccentricitySquared, block->originLatitude);
    return CSIB_Ok;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const double m0 = csib_Record<Record>(block)->m0;
    const double e = block->eccentricity;
    const double ak0 = block->scaleFactor * block->semiMajorAxis;
    const double s = std::sin(in->latitude);
    out->north = ak0 / 2.0 * m0 * std::log(std::pow((1.0 - e * s) / (1.0 + e * s), e) * (1.0 + s) / (1.0 - s));
    out->east = ak0 * m0 * csib_DeltaLongitude(block, in->longitude);
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status ClosedInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const double m0 = csib_Record<Record>(block)->m0;
    const double ak0 = block->scaleFactor * block->semiMajorAxis;
    const csib_Status status =
        csib_LatitudeFromT(block->eccentricity, std::exp(-in->north / (m0 * ak0)), &out->latitude);
    if (status < 0) return status;
    out->longitude = in->east / m0 / ak0 + block->originLongitude;
    csib_HeightsToGeodetic(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    return csib_CheckedInverse(block, ClosedInverse, Forward, in, out, CSIB_IterationLimit);
}

csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    *k = block->scaleFactor * csib_Record<Record>(block)->m0 /
         csib_ParallelFactor(block->eccentricitySquared, in->latitude);
    return CSIB_Ok;
}

csib_Status Convergence(csib_Block*, const csib_GeodeticPoint*, double* gamma) {
    *gamma = 0.0;
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_MercatorFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, Forward,
    Inverse, ScaleFactor,     Convergence,     csib_NoProjectionParameters, csib_NothingSaved,
};

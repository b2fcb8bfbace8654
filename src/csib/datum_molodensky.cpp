// Datum kind 1, three-parameter Molodensky: the standard formulas with an ellipsoid
// height, the abridged ones without it. Saved part: dX, dY, dZ (24 bytes).
#include <cmath>

#include "csib/csibplatform.h"
#include "csib/datum.h"
#include "csib/image.h"
#include "csib/kinds.h"

namespace {

constexpr int kRounds = 100;
constexpr double kAngleSettled = 1e-15;
constexpr double kHeightSettled = 1e-12;

csib_MolodenskyParameters* Record(const csib_Block* block) {
    return static_cast<csib_MolodenskyParameters*>(block->datumParameters);
}

csib_Status csib_LoadMolodensky(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<csib_MolodenskyParameters*>(csib_MemAlloc(sizeof(csib_MolodenskyParameters)));
    if (!record) return CSIB_OutOfMemory;
    block->datumParameters = record;
    record->dX = csib_GetDouble(saved, block->swapBytes);
    record->dY = csib_GetDouble(saved + 8, block->swapBytes);
    record->dZ = csib_GetDouble(saved + 16, block->swapBytes);
    record->da = 6378137.0 - block->semiMajorAxis;
    record->df = CSIB_WGS84Flattening - block->flattening;
    return CSIB_Ok;
}

csib_Status csib_SaveMolodensky(csib_Block* block, uint8_t* out, uint8_t) {
    const csib_MolodenskyParameters* record = Record(block);
    csib_PutDouble(out, record->dX);
    csib_PutDouble(out + 8, record->dY);
    csib_PutDouble(out + 16, record->dZ);
    return CSIB_Ok;
}

csib_Status csib_MolodenskyToWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    double dLat = 0.0, dLon = 0.0, dH = 0.0;
    csib_MolodenskyShifts(block, in, &dLat, &dLon, &dH);
    *out = *in;
    out->latitude = in->latitude + dLat;
    out->longitude = in->longitude + dLon;
    if (in->hasEllipsoidHeight) out->ellipsoidHeight = in->ellipsoidHeight + dH;
    return CSIB_Ok;
}

// The shifts belong to the local point: iterate from the WGS84 one.
csib_Status csib_MolodenskyFromWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    csib_GeodeticPoint estimate = *in;
    double lastLat = 0.0, lastLon = 0.0, lastH = 0.0;
    for (int round = 0; round < kRounds; ++round) {
        double dLat = 0.0, dLon = 0.0, dH = 0.0;
        csib_MolodenskyShifts(block, &estimate, &dLat, &dLon, &dH);
        estimate.latitude = in->latitude - dLat;
        estimate.longitude = in->longitude - dLon;
        if (in->hasEllipsoidHeight) estimate.ellipsoidHeight = in->ellipsoidHeight - dH;
        if (std::fabs(dLat - lastLat) < kAngleSettled && std::fabs(dLon - lastLon) < kAngleSettled &&
            (!in->hasEllipsoidHeight || std::fabs(dH - lastH) < kHeightSettled)) {
            *out = estimate;
            return CSIB_Ok;
        }
        lastLat = dLat;
        lastLon = dLon;
        lastH = dH;
    }
    return CSIB_IterationLimit;
}

csib_Status csib_GetMolodenskyParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    double* values[3] = {&Record(block)->dX, &Record(block)->dY, &Record(block)->dZ};
    *parameter = index >= 0 && index < 3 ? values[index] : nullptr;
    return CSIB_Ok;
}

csib_Status csib_FreeMolodensky(csib_Block* block) { return csib_FreeDatumRecord(block); }

csib_Status csib_GetMolodenskySavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    return csib_FixedSavedSize<24>(block, gridMode, size);
}

}  // namespace

void csib_MolodenskyShifts(const csib_Block* block, const csib_GeodeticPoint* point, double* dLat, double* dLon,
                           double* dH) {
    const csib_MolodenskyParameters* p = Record(block);
    const double a = block->semiMajorAxis;
    const double b = block->semiMinorAxis;
    const double f = block->flattening;
    const double e2 = block->eccentricitySquared;
    const double sinLat = std::sin(point->latitude), cosLat = std::cos(point->latitude);
    const double sinLon = std::sin(point->longitude), cosLon = std::cos(point->longitude);
    const double w = 1.0 - e2 * sinLat * sinLat;
    const double rn = a / std::sqrt(w);
    const double rm = a * (1.0 - e2) / std::pow(w, 1.5);
    const double common = -p->dX * sinLat * cosLon - p->dY * sinLat * sinLon + p->dZ * cosLat;
    const double east = -p->dX * sinLon + p->dY * cosLon;
    if (point->hasEllipsoidHeight) {
        const double h = point->ellipsoidHeight;
        *dLat = (common + p->da * rn * e2 * sinLat * cosLat / a + p->df * (rm * a / b + rn * b / a) * sinLat * cosLat) /
                (rm + h);
        *dLon = east / ((rn + h) * cosLat);
        *dH = p->dX * cosLat * cosLon + p->dY * cosLat * sinLon + p->dZ * sinLat - p->da * a / rn +
              p->df * (b / a) * rn * sinLat * sinLat;
    } else {
        *dLat = (common + (a * p->df + f * p->da) * std::sin(2.0 * point->latitude)) / rm;
        *dLon = east / (rn * cosLat);
        *dH = 0.0;
    }
}

const csib_DatumFunctions csib_MolodenskyFunctions = {
    csib_LoadMolodensky, csib_NoFileWork, csib_NoFileWork, csib_FreeMolodensky, csib_SaveMolodensky,
    csib_MolodenskyFromWGS84, csib_MolodenskyToWGS84, csib_GetMolodenskyParameters, csib_GetMolodenskySavedSize,
};

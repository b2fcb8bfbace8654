// Datum kind 3, seven-parameter Helmert: a similarity transformation of earth-centred
// coordinates with the exact rotation matrix. Saved part: tx, ty, tz, rx, ry, rz, s
// (56 bytes); R is derived at load.
#include <cmath>

#include "csib/csibplatform.h"
#include "csib/datum.h"
#include "csib/geodesy.h"
#include "csib/image.h"
#include "csib/kinds.h"

namespace {

constexpr double kWGS84A = 6378137.0;
constexpr double kWGS84B = 6356752.3142;
constexpr int kSavedValues = 7;

csib_HelmertParameters* Record(const csib_Block* block) {
    return static_cast<csib_HelmertParameters*>(block->datumParameters);
}

csib_Status csib_LoadHelmert(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<csib_HelmertParameters*>(csib_MemAlloc(sizeof(csib_HelmertParameters)));
    if (!record) return CSIB_OutOfMemory;
    block->datumParameters = record;
    for (int i = 0; i < kSavedValues; ++i) record->values[i] = csib_GetDouble(saved + 8 * i, block->swapBytes);
    csib_HelmertRotation(record);
    return CSIB_Ok;
}

csib_Status csib_SaveHelmert(csib_Block* block, uint8_t* out, uint8_t) {
    for (int i = 0; i < kSavedValues; ++i) csib_PutDouble(out + 8 * i, Record(block)->values[i]);
    return CSIB_Ok;
}

// Geodetic on one ellipsoid, transformed, geodetic on the other.
csib_Status Convert(const csib_GeodeticPoint* in, csib_GeodeticPoint* out, double fromA, double fromB, double toA,
                    double toB, const csib_HelmertParameters* record,
                    void (*transform)(const csib_HelmertParameters*, const double*, double*)) {
    if (!in->hasEllipsoidHeight) return CSIB_HelmertNoHeight;
    double x[3];
    csib_Status status = csib_GeodeticToECEF(fromA, fromB, in, &x[0], &x[1], &x[2]);
    if (status < 0) return status;
    double y[3];
    transform(record, x, y);
    csib_GeodeticPoint result = *in;
    if ((status = csib_ECEFToGeodetic(toA, toB, y[0], y[1], y[2], &result)) < 0) return status;
    *out = result;
    return CSIB_Ok;
}

csib_Status csib_HelmertToWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    return Convert(in, out, block->semiMajorAxis, block->semiMinorAxis, kWGS84A, kWGS84B, Record(block),
                   csib_HelmertForward);
}

csib_Status csib_HelmertFromWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    return Convert(in, out, kWGS84A, kWGS84B, block->semiMajorAxis, block->semiMinorAxis, Record(block),
                   csib_HelmertReverse);
}

csib_Status csib_GetHelmertParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = index >= 0 && index < kSavedValues ? &Record(block)->values[index] : nullptr;
    return CSIB_Ok;
}

csib_Status csib_FreeHelmert(csib_Block* block) { return csib_FreeDatumRecord(block); }

csib_Status csib_GetHelmertSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    return csib_FixedSavedSize<8 * kSavedValues>(block, gridMode, size);
}

}  // namespace

void csib_HelmertRotation(csib_HelmertParameters* p) {
    const double* v = p->values;
    const double sx = std::sin(v[CSIB_HelmertRx]), cx = std::cos(v[CSIB_HelmertRx]);
    const double sy = std::sin(v[CSIB_HelmertRy]), cy = std::cos(v[CSIB_HelmertRy]);
    const double sz = std::sin(v[CSIB_HelmertRz]), cz = std::cos(v[CSIB_HelmertRz]);
    const double r[9] = {cy * cz,  cz * sx * sy + cx * sz,  -cz * sy * cx + sx * sz,
                         -cy * sz, -sz * sx * sy + cz * cx, sz * sy * cx + cz * sx,
                         sy,       -cy * sx,                cy * cx};
    for (int i = 0; i < 9; ++i) p->r[i] = r[i];
}

void csib_HelmertForward(const csib_HelmertParameters* p, const double in[3], double out[3]) {
    const double* v = p->values;
    for (int i = 0; i < 3; ++i) {
        const double rotated = p->r[3 * i] * in[0] + p->r[3 * i + 1] * in[1] + p->r[3 * i + 2] * in[2];
        out[i] = v[CSIB_HelmertTx + i] + v[CSIB_HelmertScale] * rotated;
    }
}

void csib_HelmertReverse(const csib_HelmertParameters* p, const double in[3], double out[3]) {
    const double* v = p->values;
    const double d[3] = {in[0] - v[CSIB_HelmertTx], in[1] - v[CSIB_HelmertTy], in[2] - v[CSIB_HelmertTz]};
    for (int i = 0; i < 3; ++i)
        out[i] = (p->r[i] * d[0] + p->r[3 + i] * d[1] + p->r[6 + i] * d[2]) / v[CSIB_HelmertScale];
}

const csib_DatumFunctions csib_HelmertFunctions = {
    csib_LoadHelmert, csib_NoFileWork, csib_NoFileWork, csib_FreeHelmert, csib_SaveHelmert, csib_HelmertFromWGS84,
    csib_HelmertToWGS84, csib_GetHelmertParameters, csib_GetHelmertSavedSize,
};

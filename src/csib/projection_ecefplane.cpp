// Oblique plane through earth-centred coordinates, kind 13: differences from an
// earth-centred origin taken into the origin's east, north, up frame, rotated by
// R(omega, phi, kappa), scaled by s and offset; always on the WGS84 semi-axes. Read
// only from an image. Record: csib_EcefPlaneParameters; saved part its first ten
// values. Exact up to the earth-centred conversions (0.1 mm, 1e-9 degrees).
#include <cmath>

#include "csib/csibplatform.h"
#include "csib/geodesy.h"
#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/matrix.h"
#include "csib/projection.h"
#include "csib/projection_plane.h"

namespace {

constexpr double kA = 6378137.0;
constexpr double kB = 6356752.3142;
constexpr int kSavedValues = 10;

csib_EcefPlaneParameters* Record(csib_Block* block) {
    return static_cast<csib_EcefPlaneParameters*>(block->projectionParameters);
}

double* SavedValue(csib_EcefPlaneParameters* p, int index) {
    double* values[kSavedValues] = {&p->originX,       &p->originY,        &p->originZ, &p->falseEasting,
                                    &p->falseNorthing, &p->falseElevation, &p->omega,   &p->phi,
                                    &p->kappa,         &p->scale};
    return values[index];
}

// m times v, m row by row.
void Multiply(const double* m, const double* v, double* out) {
    for (int i = 0; i < 3; ++i) out[i] = m[3 * i] * v[0] + m[3 * i + 1] * v[1] + m[3 * i + 2] * v[2];
}

csib_Status Load(csib_Block* block, const uint8_t* saved) {
    auto* p = static_cast<csib_EcefPlaneParameters*>(csib_MemAlloc(sizeof(csib_EcefPlaneParameters)));
    if (!p) return CSIB_OutOfMemory;
    block->projectionParameters = p;
    block->falseNorthing = 0.0;
    block->falseEasting = 0.0;
    for (int i = 0; i < kSavedValues; ++i)
        *SavedValue(p, i) = saved ? csib_GetDouble(saved + 8 * i, block->swapBytes) : (i == 9 ? 1.0 : 0.0);

    const double cw = std::cos(p->omega), sw = std::sin(p->omega);
    const double cf = std::cos(p->phi), sf = std::sin(p->phi);
    const double ck = std::cos(p->kappa), sk = std::sin(p->kappa);
    const double r[9] = {cf * ck,  cw * sk + sw * sf * ck, sw * sk - cw * sf * ck,
                         -cf * sk, cw * ck - sw * sf * sk, sw * ck + cw * sf * sk,
                         sf,       -sw * cf,               cw * cf};
    // R is a rotation: its inverse is its transpose.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            p->rotation[3 * i + j] = r[3 * i + j];
            p->inverseRotation[3 * j + i] = r[3 * i + j];
        }

    csib_GeodeticPoint origin{};
    const csib_Status status = csib_ECEFToGeodetic(kA, kB, p->originX, p->originY, p->originZ, &origin);
    if (status < 0) return status;
    block->originLatitude = origin.latitude;
    block->originLongitude = origin.longitude;
    const double sinLat = std::sin(origin.latitude), cosLat = std::cos(origin.latitude);
    const double sinLon = std::sin(origin.longitude), cosLon = std::cos(origin.longitude);
    const double m[9] = {-sinLon,          cosLon,           0.0,
                         -sinLat * cosLon, -sinLat * sinLon, cosLat,
                         cosLat * cosLon,  cosLat * sinLon,  sinLat};
    for (int i = 0; i < 9; ++i) p->localFrame[i] = m[i];
    return matrix_Invert3x3(p->localFrame, p->inverseLocalFrame) ? CSIB_Ok : CSIB_Singular;
}

csib_Status Save(csib_Block* block, uint8_t* out, uint8_t) {
    for (int i = 0; i < kSavedValues; ++i) csib_PutDouble(out + 8 * i, *SavedValue(Record(block), i));
    return CSIB_Ok;
}

csib_Status GetParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = index >= 0 && index < kSavedValues ? SavedValue(Record(block), index) : nullptr;
    return CSIB_Ok;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const csib_EcefPlaneParameters* p = Record(block);
    double x = 0.0, y = 0.0, z = 0.0;
    const csib_Status status = csib_GeodeticToECEF(kA, kB, in, &x, &y, &z);
    if (status < 0) return status;
    const double d[3] = {x - p->originX, y - p->originY, z - p->originZ};
    double local[3], plane[3];
    Multiply(p->localFrame, d, local);
    Multiply(p->rotation, local, plane);
    out->east = p->scale * plane[0] + p->falseEasting;
    out->north = p->scale * plane[1] + p->falseNorthing;
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

// The plane's third coordinate comes from the elevation; without one there is no
// point to find.
csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    if (!in->hasElevation) return CSIB_ECEFNoHeight;
    const csib_EcefPlaneParameters* p = Record(block);
    const double plane[3] = {(in->east - p->falseEasting) / p->scale, (in->north - p->falseNorthing) / p->scale,
                             (in->elevation - p->falseElevation) / p->scale};
    double local[3], d[3];
    Multiply(p->inverseRotation, plane, local);
    Multiply(p->inverseLocalFrame, local, d);
    csib_GeodeticPoint point{};
    csib_Status status = csib_ECEFToGeodetic(kA, kB, p->originX + d[0], p->originY + d[1], p->originZ + d[2], &point);
    if (status < 0) return status;
    // Checked by the forward at the point's own height, before the grid point's heights replace it.
    status = csib_RefineInverse(block, Forward, in->north, in->east, &point, CSIB_ECEFNotConverged);
    if (status < 0) return status;
    out->latitude = point.latitude;
    out->longitude = point.longitude;
    csib_HeightsToGeodetic(in, out);
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_EcefPlaneFunctions = {
    Load,        csib_NoFileWork,  csib_NoFileWork,  csib_FreeProjectionRecord,
    Save,        Forward,          Inverse,          csib_ScaleFactorUnavailable,
    csib_ConvergenceUnavailable, GetParameters, csib_FixedSavedSize<8 * kSavedValues>,
};

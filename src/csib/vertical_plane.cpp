// Vertical kind 2, inclined plane: N from a plane through an earth-centred origin on
// WGS84, tilted by alpha (about east) and beta (about north), scaled by s and offset by
// c. Saved part: X0, Y0, Z0, c, alpha, beta, s (seven doubles); the local axes at the
// origin and the plane normal are derived at load.
#include <cmath>

#include "csib/csibplatform.h"
#include "csib/geodesy.h"
#include "csib/image.h"
#include "csib/kinds.h"

namespace {

constexpr double kA = 6378137.0;
constexpr double kB = 6356752.3142;
constexpr int kSavedValues = 7;

struct csib_InclinedPlane {
    double saved[kSavedValues];  // X0, Y0, Z0, c, alpha, beta, s
    double east[3];
    double north[3];
    double up[3];
    double normal[3];  // in (east, north, up)
};

csib_InclinedPlane* Record(csib_Block* block) { return static_cast<csib_InclinedPlane*>(block->verticalParameters); }

csib_Status csib_LoadInclinedPlane(csib_Block* block, const uint8_t* saved) {
    auto* plane = static_cast<csib_InclinedPlane*>(csib_MemAlloc(sizeof(csib_InclinedPlane)));
    if (!plane) return CSIB_OutOfMemory;
    block->verticalParameters = plane;
    for (int i = 0; i < kSavedValues; ++i) plane->saved[i] = csib_GetDouble(saved + 8 * i, block->swapBytes);
    const double alpha = plane->saved[4];
    const double beta = plane->saved[5];
    plane->normal[0] = std::sin(beta);
    plane->normal[1] = -std::sin(alpha) * std::cos(beta);
    plane->normal[2] = std::cos(alpha) * std::cos(beta);
    csib_GeodeticPoint origin{};
    const csib_Status status = csib_ECEFToGeodetic(kA, kB, plane->saved[0], plane->saved[1], plane->saved[2], &origin);
    if (status < 0) return status;
    const double sinLat = std::sin(origin.latitude), cosLat = std::cos(origin.latitude);
    const double sinLon = std::sin(origin.longitude), cosLon = std::cos(origin.longitude);
    const double east[3] = {-sinLon, cosLon, 0.0};
    const double north[3] = {-sinLat * cosLon, -sinLat * sinLon, cosLat};
    const double up[3] = {cosLat * cosLon, cosLat * sinLon, sinLat};
    for (int i = 0; i < 3; ++i) {
        plane->east[i] = east[i];
        plane->north[i] = north[i];
        plane->up[i] = up[i];
    }
    return CSIB_Ok;
}

csib_Status csib_SaveInclinedPlane(csib_Block* block, uint8_t* out, uint8_t) {
    for (int i = 0; i < kSavedValues; ++i) csib_PutDouble(out + 8 * i, Record(block)->saved[i]);
    return CSIB_Ok;
}

double Dot(const double* x, const double* y) { return x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; }

csib_Status csib_InclinedPlaneSeparation(csib_Block* block, const csib_GeodeticPoint* point, double* n) {
    const csib_InclinedPlane* plane = Record(block);
    const csib_GeodeticPoint onEllipsoid{point->latitude, point->longitude, 0.0, 0.0, 1, 0};
    double x = 0.0, y = 0.0, z = 0.0;
    const csib_Status status = csib_GeodeticToECEF(kA, kB, &onEllipsoid, &x, &y, &z);
    if (status < 0) return status;
    const double d[3] = {x - plane->saved[0], y - plane->saved[1], z - plane->saved[2]};
    const double local[3] = {Dot(plane->east, d), Dot(plane->north, d), Dot(plane->up, d)};
    *n = -(Dot(plane->normal, local) * plane->saved[6] + plane->saved[3]);
    return CSIB_Ok;
}

csib_Status csib_GetInclinedPlaneParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = index >= 0 && index < kSavedValues ? &Record(block)->saved[index] : nullptr;
    return CSIB_Ok;
}

csib_Status csib_FreeInclinedPlane(csib_Block* block) { return csib_FreeVerticalRecord(block); }

csib_Status csib_GetInclinedPlaneSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    return csib_FixedSavedSize<8 * kSavedValues>(block, gridMode, size);
}

}  // namespace

const csib_VerticalFunctions csib_InclinedPlaneFunctions = {
    csib_LoadInclinedPlane, csib_NoFileWork, csib_NoFileWork, csib_FreeInclinedPlane, csib_SaveInclinedPlane,
    csib_InclinedPlaneSeparation, csib_GetInclinedPlaneParameters, csib_GetInclinedPlaneSavedSize,
};

// Plane through earth-centred coordinates, kind 10: the plane tangent at the origin at
// its ellipsoid height h0, rotated by theta and scaled by k0; elevations are ellipsoid
// heights less h0 - H0. Points are taken at h0, so north and east do not depend on a
// point's own height. Record: csib_PlaneParameters; saved part theta, h0, H0. Within
// 1 mm of the local tangent plane up to 25 km from the origin; the inverse (one height
// correction, 0.02 mm off the forward there and kilometres far out) is refined on the
// forward.
#include <cmath>

#include "csib/csibplatform.h"
#include "csib/geodesy.h"
#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_plane.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;

csib_PlaneParameters* Record(csib_Block* block) {
    return static_cast<csib_PlaneParameters*>(block->projectionParameters);
}

csib_Status Load(csib_Block* block, const uint8_t* saved) {
    auto* p = static_cast<csib_PlaneParameters*>(csib_MemAlloc(sizeof(csib_PlaneParameters)));
    if (!p) return CSIB_OutOfMemory;
    block->projectionParameters = p;
    // Without a saved part the plane has no rotation and h0 = H0 = 0.
    p->rotation = saved ? csib_GetDouble(saved, block->swapBytes) : 0.0;
    p->originHeight = saved ? csib_GetDouble(saved + 8, block->swapBytes) : 0.0;
    p->originElevation = saved ? csib_GetDouble(saved + 16, block->swapBytes) : 0.0;
    p->sinLat0 = std::cos(kHalfPi - block->originLatitude);
    p->cosLat0 = std::sin(kHalfPi - block->originLatitude);
    p->cosLon0 = std::cos(block->originLongitude);
    p->sinLon0 = std::sin(block->originLongitude);
    p->cosMinusRotation = std::cos(-p->rotation);
    p->sinMinusRotation = std::sin(-p->rotation);
    p->cosRotation = std::cos(p->rotation);
    p->sinRotation = std::sin(p->rotation);
    const csib_GeodeticPoint origin{block->originLatitude, block->originLongitude, p->originHeight, 0.0, 1, 0};
    return csib_GeodeticToECEF(block->semiMajorAxis, block->semiMinorAxis, &origin, &p->originX, &p->originY,
                               &p->originZ);
}

csib_Status Save(csib_Block* block, uint8_t* out, uint8_t) {
    const csib_PlaneParameters* p = Record(block);
    csib_PutDouble(out, p->rotation);
    csib_PutDouble(out + 8, p->originHeight);
    csib_PutDouble(out + 16, p->originElevation);
    return CSIB_Ok;
}

csib_Status GetParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    csib_PlaneParameters* p = Record(block);
    double* saved[] = {&p->rotation, &p->originHeight, &p->originElevation};
    *parameter = index >= 0 && index < 3 ? saved[index] : nullptr;
    return CSIB_Ok;
}

// Both heights from whichever a point has (the orthometric one first), through the
// origin's separation; 1 when it has one, else 0 with the given values passed on.
uint8_t BothHeights(const csib_PlaneParameters* p, double ellipsoid, bool hasEllipsoid, double orthometric,
                    bool hasOrthometric, double& ellipsoidOut, double& orthometricOut) {
    const double separation = p->originHeight - p->originElevation;
    ellipsoidOut = ellipsoid;
    orthometricOut = orthometric;
    if (hasOrthometric) {
        ellipsoidOut = orthometric + separation;
    } else if (hasEllipsoid) {
        orthometricOut = ellipsoid - separation;
    }
    return hasOrthometric || hasEllipsoid ? 1 : 0;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const csib_PlaneParameters* p = Record(block);
    const csib_GeodeticPoint atOrigin{in->latitude, in->longitude, p->originHeight, 0.0, 1, 0};
    double x = 0.0, y = 0.0, z = 0.0;
    const csib_Status status = csib_GeodeticToECEF(block->semiMajorAxis, block->semiMinorAxis, &atOrigin, &x, &y, &z);
    if (status < 0) return status;
    const double dx = x - p->originX, dy = y - p->originY, dz = z - p->originZ;
    const double a1 = dx * p->cosLon0 + dy * p->sinLon0;
    const double e1 = dy * p->cosLon0 - dx * p->sinLon0;
    const double b1 = a1 * p->sinLat0 - dz * p->cosLat0;
    const double n1 = -b1 * block->scaleFactor;
    const double east1 = e1 * block->scaleFactor;
    out->north = n1 * p->cosRotation + east1 * p->sinRotation;
    out->east = east1 * p->cosRotation - n1 * p->sinRotation;

    const uint8_t known = BothHeights(p, in->ellipsoidHeight, in->hasEllipsoidHeight, in->orthometricHeight,
                                      in->hasOrthometricHeight, out->ellipsoidHeight, out->elevation);
    out->hasEllipsoidHeight = known;
    out->hasElevation = known;
    return CSIB_Ok;
}

// Both heights from whichever the grid point has.
void HeightsBack(const csib_PlaneParameters* p, const csib_GridPoint* in, csib_GeodeticPoint* out) {
    const uint8_t known = BothHeights(p, in->ellipsoidHeight, in->hasEllipsoidHeight, in->elevation,
                                      in->hasElevation, out->ellipsoidHeight, out->orthometricHeight);
    out->hasEllipsoidHeight = known;
    out->hasOrthometricHeight = known;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const csib_PlaneParameters* p = Record(block);
    if (csib_NullInverse(in, out)) {
        HeightsBack(p, in, out);
        return CSIB_Ok;
    }
    const double a = block->semiMajorAxis;
    const double b = block->semiMinorAxis;
    const double x = -in->north / block->scaleFactor;
    const double y = in->east / block->scaleFactor;
    const double b1 = x * p->cosRotation + y * p->sinRotation;
    const double e1 = y * p->cosRotation - x * p->sinRotation;
    auto pointAt = [&](double u, csib_GeodeticPoint* point) {
        const double w = u * p->cosLat0 + b1 * p->sinLat0;
        return csib_ECEFToGeodetic(a, b, p->originX + w * p->cosLon0 - e1 * p->sinLon0,
                                   p->originY + w * p->sinLon0 + e1 * p->cosLon0,
                                   p->originZ + u * p->sinLat0 - b1 * p->cosLat0, point);
    };
    // The up component starts at H0 and is corrected once towards the height h0.
    csib_GeodeticPoint point{};
    double u = p->originElevation;
    csib_Status status = pointAt(u, &point);
    if (status < 0) return status;
    const double radius = a / std::sqrt(1.0 - block->eccentricitySquared * p->cosLat0 * p->cosLat0);
    const double l = std::sqrt(e1 * e1 + b1 * b1);
    u -= std::cos(std::atan2(l, p->originHeight + radius)) * (point.ellipsoidHeight - p->originHeight);
    if ((status = pointAt(u, &point)) < 0) return status;
    out->latitude = point.latitude;
    out->longitude = point.longitude;
    HeightsBack(p, in, out);
    return csib_RefineInverse(block, Forward, in->north, in->east, out, CSIB_ECEFNotConverged);
}

}  // namespace

const csib_ProjectionFunctions csib_PlaneFunctions = {
    Load,        csib_NoFileWork,  csib_NoFileWork,  csib_FreeProjectionRecord,
    Save,        Forward,          Inverse,          csib_ScaleFactorUnavailable,
    csib_ConvergenceUnavailable, GetParameters, csib_FixedSavedSize<24>,
};

// The cogo mask for measuring between two positions. The job's default settings hold
// when the transform has a datum and a projection; without them the mask moves to
// the surface both positions can be reckoned on: WGS-84, the cogo grid or the local
// ellipsoid.
#include "cogo/cogo.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "jobdb/dbJobIndex.h"

namespace {

constexpr const char* kModule = "QZ/cogo";

constexpr int32_t kAzimuthBits = 0x7;
constexpr int32_t kDistanceBits = 0x38;
constexpr int32_t kKindBits = 0xC0;
constexpr int32_t kHeightBits = 0xC00;

}  // namespace

coordsys_CogoSettings cogo_GetSystem(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                                     const coordsys_Corrections* corrections) {
    if (!QZ_ASSERT_TEXT(transform != nullptr, "transform != 0"))
        return dbJobIndex_DefaultCogoSettings(corrections, 0, COORDSYS_NoProjection);
    const uint32_t components = transform->Components;
    const int32_t projectionKind = transform->Projection.ProjectionType;
    const int32_t d = dbJobIndex_DefaultCogoSettings(corrections, components, projectionKind).Value();
    const int32_t azimuth = d & kAzimuthBits;
    const int32_t distance = d & kDistanceBits;
    const int32_t kind = d & kKindBits;
    const int32_t heights = d & kHeightBits;
    const bool datum = (components & TRANSFRM_Datum) != 0;
    const bool projection = (components & TRANSFRM_Projection) != 0 && !(components & TRANSFRM_ScaleOnly);
    const bool gridDistance = distance == COORDSYS_CogoDistanceGrid;

    if (datum && projection) return d;
    if (projectionKind == COORDSYS_ScaleOnly) return d;
    if (!datum && !p1.GetWGS84(transform).IsNull() && !p2.GetWGS84(transform).IsNull())
        return COORDSYS_CogoAzimuthWGS84 | COORDSYS_CogoDistanceWGS84 | COORDSYS_CogoEllipsoidHeights |
               (gridDistance ? COORDSYS_CogoGroundDistances : kind);
    const bool cogoGrids = !p1.GetCogoGrid(transform).IsNull() && !p2.GetCogoGrid(transform).IsNull();
    if (!projection && cogoGrids) return azimuth | distance | kind | COORDSYS_CogoOrthoHeights;
    if (projection && !datum && cogoGrids)
        return azimuth | distance | kind |
               ((components & TRANSFRM_Height) ? heights : static_cast<int32_t>(COORDSYS_CogoEllipsoidHeights));
    if (!projection && !p1.GetLocal(transform).IsNull() && !p2.GetLocal(transform).IsNull())
        return (gridDistance ? COORDSYS_CogoDistanceLocal : distance) |
               (gridDistance ? COORDSYS_CogoGroundDistances : kind) | COORDSYS_CogoAzimuthLocal |
               COORDSYS_CogoEllipsoidHeights;
    return d;
}

coordsys_CogoSettings cogo_GetSystemForPosition(position_Class& position, const transfrm_Class* transform,
                                                const coordsys_Corrections* corrections) {
    return cogo_GetSystem(position, position, transform, corrections);
}

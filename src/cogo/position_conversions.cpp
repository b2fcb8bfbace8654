// The routes between the coordinates of the point itself: WGS84 and the uncalibrated
// local coordinate through the datum, the uncalibrated local coordinate and the grid
// through the projection with the horizontal adjustment, the local coordinate and the
// grid through the projection alone. Deltas, observations and locally transformed
// grids need the base point or the index and answer as a failed attempt here.
#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr const char* kModule = "QZ/position";

// Types that convert through the base point, the observations or the index, which
// positions do not reach yet.
bool IsDeferredType(int32_t type) {
    return type == COORD_GridDeltasType || type == COORD_ECEFType || type == COORD_ECEFDeltasType ||
           type == COORD_LocalTransformedGridType || type == COORD_PolarType || type == COORD_GroundType ||
           type == COORD_UnturnedType || type == COORD_CircleType || type == COORD_LaserOffsetType ||
           type == COORD_MTAType;
}

}  // namespace

bool position_Class::ComputeWGS84(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneWGS84)) return (Status & POSITION_DoneWGS84) != 0;
    switch (Original) {
        case COORD_LocalType:
        case COORD_GridType:
            if (!ComputeUncalibratedLocal(transform)) return false;
            [[fallthrough]];
        case COORD_UncalibratedLocalType:
            transform->LocalToWGS84(UncalibratedLocal, &WGS84);
            break;
        case COORD_ECEFGroundType:
            WGS84 = ECEFGround.ToECEF().ToWGS84(coordsys_WGS84Ellipsoid);
            break;
        default:
            QZ_ASSERT_TEXT(IsDeferredType(Original), "");
            return false;
    }
    if (WGS84.IsNull()) return false;
    Status |= POSITION_DoneWGS84;
    return true;
}

bool position_Class::ComputeUncalibratedLocal(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    QZ_ASSERT_TEXT(transform != nullptr, "currentTransform != NULL");
    if (!BeginComputing(POSITION_DoneUncalibratedLocal)) return (Status & POSITION_DoneUncalibratedLocal) != 0;
    if (transform == nullptr) return false;
    switch (Original) {
        case COORD_LocalType:
            if ((transform->Components & TRANSFRM_Projection) == 0) {
                QZ_ASSERT_TEXT((transform->Components & TRANSFRM_HorizontalAdjustment) == 0,
                               "!(COORDSYS_SetHorzAdjustment & currentTransform->Components)");
                UncalibratedLocal = Local;
                break;
            }
            if (!ComputeGrid(transform)) return false;
            [[fallthrough]];
        case COORD_GridType:
            transform->CogoGridAdjustedToLocal(transform->GridToCogoGrid(Grid), &UncalibratedLocal);
            break;
        case COORD_ECEFGroundType:
            if (!ComputeWGS84(transform)) return false;
            [[fallthrough]];
        case COORD_WGS84Type:
            transform->WGS84ToLocal(WGS84, &UncalibratedLocal);
            break;
        default:
            QZ_ASSERT_TEXT(IsDeferredType(Original), "");
            return false;
    }
    if (UncalibratedLocal.IsNull()) return false;
    Status |= POSITION_DoneUncalibratedLocal;
    return true;
}

bool position_Class::ComputeLocal(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneLocal)) return (Status & POSITION_DoneLocal) != 0;
    if (transform == nullptr) return false;
    if (transform->Components & TRANSFRM_Projection) {
        if (!ComputeGrid(transform)) return false;
        if (Status & POSITION_DoneLocal) return true;
        transform->CogoGridToLocal(transform->GridToCogoGrid(Grid), &Local);
    } else {
        QZ_ASSERT_TEXT((transform->Components & TRANSFRM_HorizontalAdjustment) == 0,
                       "!(COORDSYS_SetHorzAdjustment & currentTransform->Components)");
        if (!ComputeUncalibratedLocal(transform)) return false;
        Local = UncalibratedLocal;
    }
    if (Local.IsNull()) return false;
    Status |= POSITION_DoneLocal;
    return true;
}

bool position_Class::ComputeGrid(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneGrid)) return (Status & POSITION_DoneGrid) != 0;
    if (transform == nullptr) return false;
    coord_CogoGrid cogo;
    switch (Original) {
        case COORD_WGS84Type:
        case COORD_ECEFGroundType:
            if (!ComputeUncalibratedLocal(transform)) return false;
            [[fallthrough]];
        case COORD_UncalibratedLocalType:
            transform->LocalToCogoGridAdjusted(UncalibratedLocal, &cogo);
            Grid = transform->CogoGridToGrid(cogo);
            break;
        case COORD_LocalType:
            transform->LocalToCogoGrid(Local, &cogo);
            Grid = transform->CogoGridToGrid(cogo);
            break;
        default:
            QZ_ASSERT_TEXT(IsDeferredType(Original), "");
            return false;
    }
    if (Grid.IsNull()) return false;
    Status |= POSITION_DoneGrid;
    return true;
}

bool position_Class::ComputeECEFGround(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneECEFGround)) return (Status & POSITION_DoneECEFGround) != 0;
    if (!ComputeWGS84(transform) || WGS84.HasNull()) return false;
    const coord_ECEF ecef = WGS84.ToECEF(coordsys_WGS84Ellipsoid);
    ECEFGround = ecef.ToECEFGround();
    if (ECEFGround.HasNull()) return false;
    Status |= POSITION_DoneECEFGround;
    return true;
}

bool position_Class::OriginalOnly(int32_t bit) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(bit)) return (Status & bit) != 0;
    return false;
}

bool position_Class::ComputeECEF(const transfrm_Class*) { return OriginalOnly(POSITION_DoneECEF); }
bool position_Class::ComputeECEFDeltas(const transfrm_Class*) { return OriginalOnly(POSITION_DoneECEFDeltas); }
bool position_Class::ComputeGridDeltas(const transfrm_Class*) { return OriginalOnly(POSITION_DoneGridDeltas); }
bool position_Class::ComputePolar(const transfrm_Class*) { return OriginalOnly(POSITION_DonePolar); }
bool position_Class::ComputeGround(const transfrm_Class*) { return OriginalOnly(POSITION_DoneGround); }
bool position_Class::ReduceCircle(const transfrm_Class*) { return OriginalOnly(POSITION_DoneUnturned); }

bool position_Class::Resolve(const transfrm_Class* transform) {
    if (coord_IsPositionType(Original)) {
        if (DefaultNullHeights) ApplyDefaultHeight(transform);
        return true;
    }
    QZ_ASSERT_TEXT(IsDeferredType(Original), "");
    return false;
}

void position_Class::ApplyDefaultHeight(const transfrm_Class* transform) {
    if (!coord_IsPositionType(Original) || transform == nullptr) return;
    const double h = transform->IsScaleOnly() ? 0.0 : transform->GetGroundOriginHeight();
    if (maths_IsNull(h)) return;
    switch (Original) {
        case COORD_WGS84Type:
            if (maths_IsNull(WGS84.Height)) SetWGS84(coord_WGS84(WGS84.Lat, WGS84.Long, h), transform);
            break;
        case COORD_LocalType:
            if (maths_IsNull(Local.Height)) SetLocal(coord_Local(Local.Lat, Local.Long, h), transform);
            break;
        case COORD_UncalibratedLocalType:
            if (maths_IsNull(UncalibratedLocal.Height))
                SetUncalibratedLocal(coord_Local(UncalibratedLocal.Lat, UncalibratedLocal.Long, h), transform);
            break;
        case COORD_GridType:
            if (maths_IsNull(Grid.Elev)) SetGrid(coord_CorrectedGrid(Grid.North, Grid.East, h), transform);
            break;
        case COORD_LocalTransformedGridType:
            if (maths_IsNull(LocalTransformedGrid.Elev)) {
                const Str name = TransformationName;
                SetLocalTransformedGrid(
                    coord_LocalTransformedGrid(LocalTransformedGrid.North, LocalTransformedGrid.East, h), name,
                    transform);
            }
            break;
        default:
            break;
    }
}

// The routes between the coordinates of the point itself: WGS84 and the uncalibrated
// local coordinate through the datum, the uncalibrated local coordinate and the grid
// through the projection with the horizontal adjustment, the local coordinate and the
// grid through the projection alone; ECEF through the antenna height, deltas through the
// resolved base point, observations as placed from it (position_observations.cpp). The
// grid also goes through the job index's cache of computed grids.
#include <memory>

#include "cogo/localtransformation.h"
#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbobjects.h"

namespace {

constexpr const char* kModule = "QZ/position";

// Observations, which convert through their station or base.
bool IsDeferredType(int32_t type) {
    return type == COORD_PolarType || type == COORD_GroundType || type == COORD_UnturnedType ||
           type == COORD_CircleType || type == COORD_LaserOffsetType || type == COORD_MTAType;
}

// The point of a comma-separated or background file index, whose grid is the file's.
ObservationObject* FilePoint(const dbObjectRef& reference) {
    dbIndex* index = reference.GetIndex();
    if (!index || (index->GetFileType() != dbIndex::CommaSeparatedFile &&
                   index->GetFileType() != dbIndex::BackgroundFile))
        return nullptr;
    return ObservationObject::Cast(index->GetObject(reference.GetSubscript()));
}

}  // namespace

bool position_Class::ComputeWGS84(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneWGS84)) return (Status & POSITION_DoneWGS84) != 0;
    switch (Original) {
        case COORD_LocalType:
        case COORD_GridType:
        case COORD_GridDeltasType:
        case COORD_LocalTransformedGridType:
            if (!ComputeUncalibratedLocal(transform)) return false;
            [[fallthrough]];
        case COORD_UncalibratedLocalType:
            transform->LocalToWGS84(UncalibratedLocal, &WGS84);
            break;
        case COORD_ECEFGroundType:
            WGS84 = ECEFGround.ToECEF().ToWGS84(coordsys_WGS84Ellipsoid);
            break;
        case COORD_ECEFDeltasType:
            if (!ComputeECEF(transform)) return false;
            [[fallthrough]];
        case COORD_ECEFType:
            // The antenna's ECEF: the ground mark lies the antenna height below it.
            WGS84 = ECEF.ToWGS84(coordsys_WGS84Ellipsoid);
            WGS84.Height = ComputeAntenna() ? maths_Subtract(WGS84.Height, Antenna) : MATHS_Null;
            break;
        default:
            if (!QZ_ASSERT_TEXT(IsDeferredType(Original), "") || !ObservationWGS84(transform)) return false;
            break;
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
            [[fallthrough]];
        case COORD_GridDeltasType:
        case COORD_LocalTransformedGridType:
            if (!ComputeGrid(transform)) return false;
            [[fallthrough]];
        case COORD_GridType:
            transform->CogoGridAdjustedToLocal(transform->GridToCogoGrid(Grid), &UncalibratedLocal);
            break;
        case COORD_ECEFGroundType:
        case COORD_ECEFType:
        case COORD_ECEFDeltasType:
            if (!ComputeWGS84(transform)) return false;
            [[fallthrough]];
        case COORD_WGS84Type:
            transform->WGS84ToLocal(WGS84, &UncalibratedLocal);
            break;
        default:
            if (!QZ_ASSERT_TEXT(IsDeferredType(Original), "") || !ObservationUncalibratedLocal(transform)) return false;
            break;
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
    if (ObservationObject* point = FilePoint(IndexLocation)) {
        Grid = point->GetCoordinates();
        Status |= POSITION_DoneGrid;
        return !Grid.IsNull();
    }
    if (TakeGridFromIndex()) return !Grid.IsNull();
    coord_CogoGrid cogo;
    switch (Original) {
        case COORD_WGS84Type:
        case COORD_ECEFGroundType:
        case COORD_ECEFType:
        case COORD_ECEFDeltasType:
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
        case COORD_GridDeltasType: {
            const std::unique_ptr<position_Class> base = FindBase(1);
            if (!base || !base->ComputeGrid(SearchData->Transform)) return false;
            Grid = base->Grid.Add(GridDeltas);
            break;
        }
        case COORD_LocalTransformedGridType: {
            // Without a job index there is no transformation of the name: the grid stays
            // null rather than being taken through none.
            const std::unique_ptr<LocalTransformation> local(
                SearchData ? SearchData->FindLocalTransformation(TransformationName) : nullptr);
            transform->LocalTransformedGridToCogoGrid(LocalTransformedGrid, local.get(), &cogo);
            Grid = transform->CogoGridToGrid(cogo);
            break;
        }
        default:
            if (!QZ_ASSERT_TEXT(IsDeferredType(Original), "") || !ObservationGrid(transform)) return false;
            break;
    }
    if (Grid.IsNull()) return false;
    ApplyNeighbourhoodAdjustment(transform);
    Status |= POSITION_DoneGrid;
    StoreGridInIndex();
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

std::unique_ptr<position_Class> position_Class::FindBase(int mode) const {
    if (!SearchData || NameOfBase.IsEmpty()) return nullptr;
    return std::unique_ptr<position_Class>(position_Find(SearchData, NameOfBase, mode, DefaultNullHeights));
}

bool position_ECEFFromBase(const coord_WGS84& base, const coord_ECEFDeltas& deltas, coord_ECEF* ecef,
                           double referenceAntenna) {
    ecef->SetNull();
    if (maths_IsNull(base.Height) || maths_IsNull(referenceAntenna)) return false;
    const coord_WGS84 antenna(base.Lat, base.Long, base.Height + referenceAntenna);
    *ecef = antenna.ToECEF(coordsys_WGS84Ellipsoid).Add(deltas);
    return !ecef->HasNull();
}

bool position_Class::ComputeECEF(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneECEF)) return (Status & POSITION_DoneECEF) != 0;
    if (Original == COORD_ECEFDeltasType) {
        if (!ComputeAntenna()) return false;
        const std::unique_ptr<position_Class> base = FindBase(0);
        if (!base || !base->ComputeWGS84(transform)) return false;
        position_ECEFFromBase(base->WGS84, ECEFDeltas, &ECEF, ReferenceAntenna);
    } else {
        if (!ComputeAntenna() || !ComputeWGS84(transform) || maths_IsNull(WGS84.Height)) return false;
        ECEF = coord_WGS84(WGS84.Lat, WGS84.Long, WGS84.Height + Antenna).ToECEF(coordsys_WGS84Ellipsoid);
    }
    if (ECEF.HasNull()) return false;
    Status |= POSITION_DoneECEF;
    return true;
}

bool position_Class::ComputeECEFDeltas(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneECEFDeltas)) return (Status & POSITION_DoneECEFDeltas) != 0;
    if (!ComputeECEF(transform)) return false;
    const std::unique_ptr<position_Class> base = FindBase(0);
    if (!base || !base->ComputeECEF(transform)) return false;
    ECEFDeltas = ECEF.Subtract(base->ECEF);
    if (ECEFDeltas.HasNull()) return false;
    Status |= POSITION_DoneECEFDeltas;
    return true;
}

bool position_Class::ComputeGridDeltas(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneGridDeltas)) return (Status & POSITION_DoneGridDeltas) != 0;
    if (NameOfBase.IsEmpty() || !ComputeGrid(transform)) return false;
    const std::unique_ptr<position_Class> base = FindBase(1);
    if (!base || !base->ComputeGrid(transform)) return false;
    GridDeltas = Grid.Subtract(base->Grid);
    if (GridDeltas.IsNull()) return false;
    Status |= POSITION_DoneGridDeltas;
    return true;
}


bool position_Class::Resolve(const transfrm_Class* transform) {
    if (coord_IsPositionType(Original)) {
        if (DefaultNullHeights) ApplyDefaultHeight(transform);
        return true;
    }
    switch (Original) {
        case COORD_GridDeltasType:
            if (TakeGridFromIndex() && !Grid.IsNull()) return true;
            return ComputeGrid(transform);
        case COORD_ECEFDeltasType: return ComputeECEF(transform);
        default:
            return QZ_ASSERT_TEXT(IsDeferredType(Original), "") && ResolveObservation(transform);
    }
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

// Observation originals (polar, ground, unturned, circle, laser offset, mean turned
// angle): their polar from the base point, and the coordinates that polar gives when it
// is placed from the resolved base. Circle readings and mean turned angles are reduced
// in their station environment first, laser offsets with the job's laser settings.
#include <cmath>
#include <memory>

#include "cogo/cogo.h"
#include "cogo/position.h"
#include "cogo/reduce.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"

namespace {

constexpr const char* kModule = "QZ/position";

// Below 0.001 degree off the vertical the sight is taken as vertical.
const double kNearVertical = std::sin(1.7453292519943296e-05);

const transfrm_Class* TransformOf(const dbJobIndex* jobIndex) { return jobIndex ? jobIndex->Transform : nullptr; }

}  // namespace

coord_Polar position_GroundToPolar(const coord_Ground& ground) {
    if (maths_IsNull(ground.VertAngle) || maths_IsNull(ground.HDist))
        return coord_Polar(ground.Azimuth, MATHS_Null, MATHS_Null);
    return coord_Polar(ground.Azimuth, std::sin(ground.VertAngle) * ground.HDist,
                       std::cos(ground.VertAngle) * ground.HDist);
}

coord_Ground position_PolarToGround(const coord_Polar& polar) {
    const double h = polar.HDist, v = polar.VDist;
    if (maths_IsNull(h) || maths_IsNull(v)) return coord_Ground(polar.Azimuth, MATHS_Null, MATHS_Null);
    double z = maths_ATan2(h, v);
    if (z < 0.0) z += CONSTANT_PiOverTwo;
    const double slope = std::sin(z) < kNearVertical ? std::fabs(v) : h / std::sin(z);
    return coord_Ground(polar.Azimuth, z, slope);
}

coord_Polar position_UnturnedToPolar(const coord_Unturned& unturned, double backsightCircle, double backsightAzimuth) {
    coord_Polar polar(MATHS_Null, unturned.HDist, unturned.VDist);
    if (!maths_IsNull(unturned.HorzCircle) && !maths_IsNull(backsightCircle) && !maths_IsNull(backsightAzimuth)) {
        polar.Azimuth = backsightAzimuth + (unturned.HorzCircle - backsightCircle);
        coord_NormaliseAzimuth(&polar.Azimuth);
    }
    return polar;
}

bool position_Class::ComputePolarFrom(const transfrm_Class* transform, position_Class* base,
                                      const transfrm_Class* baseTransform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DonePolar)) return (Status & POSITION_DonePolar) != 0;
    switch (Original) {
        case COORD_GridDeltasType:
        case COORD_ECEFDeltasType: {
            if (!base || !baseTransform || !Resolve(transform) || !base->Resolve(baseTransform)) return false;
            QZ_ASSERT_TEXT(transform->GetId() == baseTransform->GetId(),
                           "currentTransform->GetId() == baseTransform->GetId()");
            double slope = MATHS_Null;
            const coordsys_CogoSettings mask(SearchData ? SearchData->CogoSettings : 0u);
            cogo_InversePolar(*base, *this, baseTransform, &Polar, &slope, mask);
            break;
        }
        case COORD_GroundType: Polar = position_GroundToPolar(Ground); break;
        case COORD_CircleType:
        case COORD_MTAType:
            if (!ReduceCircle(transform)) return false;
            [[fallthrough]];
        case COORD_UnturnedType: {
            double azimuth = MATHS_Null;
            bool keyedIn = false;
            if (HasStationSetup) azimuth = StationSetup.Orientation;
            else if (!base || !position_GetBacksightAzimuth(SearchData, *base, transform, NameOfBacksight, &azimuth,
                                                            &keyedIn))
                azimuth = MATHS_Null;
            Polar = position_UnturnedToPolar(Unturned, BacksightCircle, azimuth);
            break;
        }
        case COORD_LaserOffsetType: {
            reduce_LaserSettings settings;
            if (!SearchData || !reduce_GetLaserSettings(SearchData->Database, DBLocationOfMagneticDeclination,
                                                        DBLocationOfLaserHeight, DBLocationOfTargetHeight, &settings))
                return false;
            position_LaserOffsetToPolar(LaserOffset, &Polar, settings);
            break;
        }
        default:
            if (!coord_IsPositionType(Original)) QZ_FAIL("");
            return false;
    }
    if (Polar.IsNull()) return false;
    Status |= POSITION_DonePolar;
    return true;
}

bool position_Class::ComputePolar(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (IsDoneOrComputing(POSITION_DonePolar)) return (Status & POSITION_DonePolar) != 0;
    switch (Original) {
        case COORD_GridDeltasType:
        case COORD_ECEFDeltasType:
        case COORD_UnturnedType:
        case COORD_CircleType:
        case COORD_MTAType: {
            const int mode = Original == COORD_ECEFDeltasType ? 0 : 1;
            const std::unique_ptr<position_Class> base(
                SearchData ? position_CreateFromIndex(SearchData, NameOfBase, mode, DefaultNullHeights) : nullptr);
            if (!base) return false;
            return ComputePolarFrom(transform, base.get(), TransformOf(SearchData));
        }
        case COORD_GroundType:
        case COORD_LaserOffsetType: return ComputePolarFrom(transform, nullptr, nullptr);
        default:
            if (!coord_IsPositionType(Original)) QZ_FAIL("");
            return false;
    }
}

bool position_Class::ComputeGround(const transfrm_Class* transform) {
    QZ_ASSERT_TEXT(Original != COORD_NullType, "this->Original != COORD_NullType");
    if (!BeginComputing(POSITION_DoneGround)) return (Status & POSITION_DoneGround) != 0;
    if (!ComputePolar(transform)) return false;
    Ground = position_PolarToGround(Polar);
    Status |= POSITION_DoneGround;
    return true;
}

// ---------------------------------------------------------------- coordinates of observations

std::unique_ptr<position_Class> position_Class::PlaceFromBase(const transfrm_Class* transform, position_Class& base,
                                                              const transfrm_Class* baseTransform,
                                                              const transfrm_Class* placeTransform) {
    if (!ComputePolarFrom(transform, &base, baseTransform)) return nullptr;
    auto result = std::make_unique<position_Class>();
    result->DefaultNullHeights = DefaultNullHeights;
    cogo_ComputePointFromPolar(base, placeTransform, Polar, result.get(), CogoSystem);
    if (!result->IsDefined()) return nullptr;
    return result;
}

bool position_Class::ObservationWGS84(const transfrm_Class* transform) {
    if (NameOfBase.IsEmpty()) return false;
    switch (GetDistanceSystem(transform)) {
        case 1:
        case 2:
            if (!ComputeUncalibratedLocal(transform) || UncalibratedLocal.IsNull()) return false;
            transform->LocalToWGS84(UncalibratedLocal, &WGS84);
            return true;
        case 3: {
            const transfrm_Class* S = TransformOf(SearchData);
            const std::unique_ptr<position_Class> base = FindBase(1);
            if (!base || !base->ComputeWGS84(S)) return false;
            const std::unique_ptr<position_Class> target = PlaceFromBase(transform, *base, S, S);
            if (!target) return false;
            QZ_ASSERT_TEXT(target->Original == COORD_WGS84Type, "target->Original == COORD_WGS84Type");
            WGS84 = target->WGS84;
            return true;
        }
        default: QZ_FAIL(""); return false;
    }
}

bool position_Class::ObservationUncalibratedLocal(const transfrm_Class* transform) {
    if (NameOfBase.IsEmpty()) return false;
    switch (GetDistanceSystem(transform)) {
        case 1:
            if (!ComputeGrid(transform)) return false;
            transform->CogoGridAdjustedToLocal(transform->GridToCogoGrid(Grid), &UncalibratedLocal);
            return true;
        case 3:
            if (!ComputeWGS84(transform)) return false;
            transform->WGS84ToLocal(WGS84, &UncalibratedLocal);
            return true;
        case 2: {
            const transfrm_Class* S = TransformOf(SearchData);
            const std::unique_ptr<position_Class> base = FindBase(1);
            if (!base || !base->ComputeLocal(S)) return false;
            const std::unique_ptr<position_Class> target = PlaceFromBase(transform, *base, S, S);
            if (!target) return false;
            QZ_ASSERT_TEXT(target->Original == COORD_LocalType, "target->Original == COORD_LocalType");
            Local = target->Local;
            Status |= POSITION_DoneLocal;
            UncalibratedLocal = target->GetUncalibratedLocal(S);
            return true;
        }
        default: QZ_FAIL(""); return false;
    }
}

bool position_Class::ObservationGrid(const transfrm_Class* transform) {
    if (NameOfBase.IsEmpty() && !HasStationSetup) return false;
    switch (GetDistanceSystem(transform)) {
        case 1: {
            std::unique_ptr<position_Class> station;
            const transfrm_Class* stationTransform = transform;
            if (HasStationSetup) {
                station = std::make_unique<position_Class>(SearchData);
                station->SearchData = SearchData;
                station->SetGrid(StationSetup.Station, transform);
            } else {
                stationTransform = TransformOf(SearchData);
                station = FindBase(1);
                if (!station || !station->ComputeGrid(stationTransform)) return false;
            }
            const std::unique_ptr<position_Class> target =
                PlaceFromBase(transform, *station, stationTransform, transform);
            if (!target) return false;
            QZ_ASSERT_TEXT(target->Original == COORD_GridType, "target->Original == COORD_GridType");
            Grid = target->Grid;
            return true;
        }
        case 2: {
            if (!ComputeUncalibratedLocal(transform) || GetLocal(transform).IsNull()) return false;
            coord_CogoGrid cogo;
            transform->LocalToCogoGrid(Local, &cogo);
            Grid = transform->CogoGridToGrid(cogo);
            return true;
        }
        case 3: {
            if (!ComputeUncalibratedLocal(transform)) return false;
            coord_CogoGrid cogo;
            transform->LocalToCogoGridAdjusted(UncalibratedLocal, &cogo);
            Grid = transform->CogoGridToGrid(cogo);
            return true;
        }
        default: QZ_FAIL(""); return false;
    }
}

bool position_Class::ResolveObservation(const transfrm_Class* transform) {
    if (NameOfBase.IsEmpty()) return false;
    switch (GetDistanceSystem(transform)) {
        case 1: return (TakeGridFromIndex() && !Grid.IsNull()) || ComputeGrid(transform);
        case 2: return (TakeGridFromIndex() && !Grid.IsNull()) || ComputeUncalibratedLocal(transform);
        case 3: return ComputeWGS84(transform);
        default: QZ_FAIL(""); return false;
    }
}

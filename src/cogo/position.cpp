#include "cogo/position.h"

#include "cogo/roadcogo_ellipsoid.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbJobIndex.h"

namespace {

constexpr const char* kModule = "QZ/position";

// The probe of the grid convergence lies this far north in the cogo grid.
constexpr double kConvergenceProbe = 100.0;
constexpr int32_t kConvergenceMask = COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceLocal |
                                     COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoEllipsoidHeights;

// A transform that may be missing: reported, and the caller leaves the cache alone.
bool HaveTransform(const transfrm_Class* transform) {
    return QZ_ASSERT_TEXT(transform != nullptr, "candidateTransform");
}

}  // namespace

int32_t position_OriginalBit(int32_t type) {
    switch (type) {
        case COORD_WGS84Type: return POSITION_DoneWGS84;
        case COORD_LocalType: return POSITION_DoneLocal;
        case COORD_UncalibratedLocalType: return POSITION_DoneUncalibratedLocal;
        case COORD_GridType: return POSITION_DoneGrid;
        case COORD_GridDeltasType: return POSITION_DoneGridDeltas;
        case COORD_ECEFType: return POSITION_DoneECEF;
        case COORD_ECEFGroundType: return POSITION_DoneECEFGround;
        case COORD_ECEFDeltasType: return POSITION_DoneECEFDeltas;
        case COORD_PolarType: return POSITION_DonePolar;
        case COORD_GroundType: return POSITION_DoneGround;
        case COORD_UnturnedType: return POSITION_DoneUnturned;
        case COORD_CircleType: return POSITION_DoneCircle;
        case COORD_LaserOffsetType: return POSITION_DoneLaserOffset;
        case COORD_MTAType: return POSITION_DoneCircle;
        case COORD_LocalTransformedGridType: return POSITION_DoneGridLocal;
        default: return 0;
    }
}

position_Class::position_Class() {
    LocalEllipsoid.SetNull();
    Reset();
}

position_Class::position_Class(dbJobIndex* jobIndex) : position_Class() {
    if (jobIndex == nullptr || jobIndex->Job == nullptr || !jobIndex->Job->IsOpen()) return;
    SearchData = jobIndex;
    // A job without a transform binds to none.
    TransformId = jobIndex->Transform != nullptr ? jobIndex->Transform->GetId() : -1;
}

void position_Class::ClearRecordLocations() {
    DBLocationUnused = DBLocationOfBase = DBLocationOfAntenna = DBLocationOfECEFDeltasReference = NODBID;
    DBLocationOfStation = DBLocationOfTarget = DBLocationOfBackBearing = NODBID;
    DBLocationOfMagneticDeclination = DBLocationOfLaserHeight = DBLocationOfTargetHeight = NODBID;
}

void position_Class::Reset() {
    Original = COORD_NullType;
    Computing = 0;
    Status = 0;
    BacksightCircle = Antenna = ReferenceAntenna = MATHS_Null;
    GridConvergence = LocalW = WGS84W = MATHS_Null;
    TransformId = -1;
    CogoSystem = coordsys_CogoSettings();
    IndexLocation = dbObjectRef();
    ClearRecordLocations();
    TransformationName = "";
    NameOfBase = "";
    NameOfBacksight = "";
    SearchData = nullptr;
    HeightBorrowed = DefaultNullHeights = HasStationSetup = false;
}

void position_Class::ClearCoordinates() {
    IndexLocation = dbObjectRef();
    Original = COORD_NullType;
    Status = Computing = 0;
    HasStationSetup = false;
    StationSetup.SetNull();
    CogoSystem = coordsys_CogoSettings();
    LocalTransformedGrid.SetNull();
    Grid.SetNull();
    Local.SetNull();
    UncalibratedLocal.SetNull();
    WGS84.SetNull();
    ECEFGround.SetNull();
    ECEF.SetNull();
    Ground.SetNull();
    GridDeltas.SetNull();
    ECEFDeltas.SetNull();
    Polar.SetNull();
    LaserOffset.SetNull();
    Circle.SetNull();
    Corrected.SetNull();
    Unturned.SetNull();
    MTA.SetNull();
    BacksightCircle = Antenna = ReferenceAntenna = MATHS_Null;
    LocalEllipsoid.SetNull();
    WGS84Ellipsoid = coordsys_WGS84Ellipsoid;
    GridConvergence = LocalW = WGS84W = MATHS_Null;
    ClearRecordLocations();
    TransformationName = "";
}

void position_Class::Clear() {
    NameOfBase = "";
    NameOfBacksight = "";
    ClearCoordinates();
}

void position_Class::DropBorrowedHeights() {
    if (!HeightBorrowed) return;
    Grid.Elev = MATHS_Null;
    LocalTransformedGrid.Elev = MATHS_Null;
    Local.Height = MATHS_Null;
    UncalibratedLocal.Height = MATHS_Null;
    WGS84.Height = MATHS_Null;
}

void position_Class::BeginOriginal(int32_t type, const transfrm_Class* transform) {
    ClearCoordinates();
    // A missing transform binds to none rather than being read.
    TransformId = HaveTransform(transform) ? transform->GetId() : -1;
    Original = type;
    Status = position_OriginalBit(type);
}

void position_Class::SetWGS84(const coord_WGS84& wgs84, const transfrm_Class* transform) {
    BeginOriginal(COORD_WGS84Type, transform);
    WGS84 = wgs84;
}

void position_Class::SetLocal(const coord_Local& local, const transfrm_Class* transform) {
    BeginOriginal(COORD_LocalType, transform);
    Local = local;
}

void position_Class::SetUncalibratedLocal(const coord_Local& local, const transfrm_Class* transform) {
    BeginOriginal(COORD_UncalibratedLocalType, transform);
    UncalibratedLocal = local;
}

void position_Class::SetGrid(const coord_CorrectedGrid& grid, const transfrm_Class* transform) {
    BeginOriginal(COORD_GridType, transform);
    Grid = grid;
}

void position_Class::SetCogoGrid(const coord_CogoGrid& cogo, const transfrm_Class* transform) {
    coord_CorrectedGrid grid;
    if (transform != nullptr) grid = transform->CogoGridToGrid(cogo);
    SetGrid(grid, transform);
}

void position_Class::SetGridDeltas(const coord_GridDeltas& deltas, const transfrm_Class* transform) {
    BeginOriginal(COORD_GridDeltasType, transform);
    GridDeltas = deltas;
}

void position_Class::SetECEF(const coord_ECEF& ecef, const transfrm_Class* transform) {
    BeginOriginal(COORD_ECEFType, transform);
    ECEF = ecef;
}

void position_Class::SetECEFGround(const coord_ECEFGround& ecef, const transfrm_Class* transform) {
    BeginOriginal(COORD_ECEFGroundType, transform);
    ECEFGround = ecef;
}

void position_Class::SetECEFDeltas(const coord_ECEFDeltas& deltas, const transfrm_Class* transform) {
    BeginOriginal(COORD_ECEFDeltasType, transform);
    ECEFDeltas = deltas;
}

void position_Class::SetPolar(const coord_Polar& polar, const transfrm_Class* transform) {
    BeginOriginal(COORD_PolarType, transform);
    Polar = polar;
}

void position_Class::SetGround(const coord_Ground& ground, const transfrm_Class* transform) {
    BeginOriginal(COORD_GroundType, transform);
    Ground = ground;
}

void position_Class::SetUnturned(const coord_Unturned& unturned, double backsightCircle,
                                 const transfrm_Class* transform) {
    BeginOriginal(COORD_UnturnedType, transform);
    Unturned = unturned;
    BacksightCircle = backsightCircle;
}

void position_Class::SetLocalTransformedGrid(const coord_LocalTransformedGrid& grid, const Str& transformationName,
                                             const transfrm_Class* transform) {
    BeginOriginal(COORD_LocalTransformedGridType, transform);
    LocalTransformedGrid = grid;
    TransformationName = transformationName;
}

void position_Class::SetLaserOffsetObservation(const coord_LaserOffset& laser, DBID magneticDeclinationLocation,
                                               DBID laserHeightLocation, DBID targetHeightLocation,
                                               const transfrm_Class* transform) {
    BeginOriginal(COORD_LaserOffsetType, transform);
    LaserOffset = laser;
    QZ_ASSERT_TEXT(magneticDeclinationLocation != NODBID && laserHeightLocation != NODBID &&
                       targetHeightLocation != NODBID,
                   "magneticDeclinationLocation != NODBID && laserHeightLocation != NODBID && "
                   "targetHeightLocation != NODBID");
    DBLocationOfMagneticDeclination = magneticDeclinationLocation;
    DBLocationOfLaserHeight = laserHeightLocation;
    DBLocationOfTargetHeight = targetHeightLocation;
}

void position_Class::SetCircleObservation(const coord_Circle& circle, DBID stationLocation, DBID targetLocation,
                                          DBID backbearingLocation, const transfrm_Class* transform) {
    BeginOriginal(COORD_CircleType, transform);
    Circle = circle;
    QZ_ASSERT_TEXT(stationLocation != NODBID && targetLocation != NODBID && backbearingLocation != NODBID,
                   "stationLocation != NODBID && targetLocation != NODBID && backbearingLocation != NODBID");
    DBLocationOfStation = stationLocation;
    DBLocationOfTarget = targetLocation;
    DBLocationOfBackBearing = backbearingLocation;
}

void position_Class::SetMTAObservation(const coord_MTA& mta, DBID stationLocation, DBID targetLocation,
                                       DBID backbearingLocation, const transfrm_Class* transform) {
    BeginOriginal(COORD_MTAType, transform);
    MTA = mta;
    Circle.HorzCircle = mta.HorzCircle;
    Circle.VertCircle = mta.VertCircle;
    Circle.EDMDistance = mta.EDMDistance;
    Circle.Face = COORD_Face1;
    QZ_ASSERT_TEXT(stationLocation != NODBID && targetLocation != NODBID && backbearingLocation != NODBID,
                   "stationLocation != NODBID && targetLocation != NODBID && backbearingLocation != NODBID");
    DBLocationOfStation = stationLocation;
    DBLocationOfTarget = targetLocation;
    DBLocationOfBackBearing = backbearingLocation;
}

void position_Class::SetCogoSystem(coordsys_CogoSettings system) {
    QZ_ASSERT_TEXT(!system.IsNull(), "!system.IsNull()");
    if (CogoSystem.IsNotNull() && CogoSystem != system) QZ_FAIL("this->CogoSystem == system");
    CogoSystem = system;
}

void position_Class::NullDerived() {
    const int32_t o = Original;
    if (o != COORD_LocalTransformedGridType) LocalTransformedGrid.SetNull();
    if (o != COORD_GridType) Grid.SetNull();
    if (o != COORD_LocalType) Local.SetNull();
    if (o != COORD_UncalibratedLocalType) UncalibratedLocal.SetNull();
    if (o != COORD_WGS84Type) WGS84.SetNull();
    if (o != COORD_ECEFGroundType) ECEFGround.SetNull();
    if (o != COORD_ECEFType) ECEF.SetNull();
    if (o != COORD_GroundType) Ground.SetNull();
    if (o != COORD_GridDeltasType) GridDeltas.SetNull();
    if (o != COORD_ECEFDeltasType) ECEFDeltas.SetNull();
    if (o != COORD_PolarType && o != COORD_LaserOffsetType) Polar.SetNull();
    if (o != COORD_LaserOffsetType) LaserOffset.SetNull();
    if (o != COORD_CircleType && o != COORD_MTAType) Circle.SetNull();
    if (o != COORD_CircleType && o != COORD_CorrectedType) Corrected.SetNull();
    if (o != COORD_CircleType && o != COORD_UnturnedType) Unturned.SetNull();
}

void position_Class::CheckTransform(const transfrm_Class* candidateTransform) {
    if (!HaveTransform(candidateTransform)) return;
    if (Original == COORD_NullType || candidateTransform->GetId() == TransformId) return;
    TransformId = candidateTransform->GetId();
    Computing = 0;
    const int32_t bit = position_OriginalBit(Original);
    QZ_ASSERT_TEXT(bit != 0, "");
    Status = (Status & POSITION_DoneAntenna) | bit;
    NullDerived();
}

bool position_Class::BeginComputing(int32_t bit) {
    if (IsDoneOrComputing(bit)) return false;
    Computing |= bit;
    return true;
}

template <class Coord>
Coord position_Class::Get(const transfrm_Class* transform, Coord* member,
                          bool (position_Class::*compute)(const transfrm_Class*)) {
    if (!HaveTransform(transform)) return Coord();
    CheckTransform(transform);
    if (Original == COORD_NullType || !(this->*compute)(transform)) member->SetNull();
    return *member;
}

coord_WGS84 position_Class::GetWGS84(const transfrm_Class* transform) {
    return Get(transform, &WGS84, &position_Class::ComputeWGS84);
}

coord_Local position_Class::GetLocal(const transfrm_Class* transform) {
    return Get(transform, &Local, &position_Class::ComputeLocal);
}

coord_Local position_Class::GetUncalibratedLocal(const transfrm_Class* transform) {
    return Get(transform, &UncalibratedLocal, &position_Class::ComputeUncalibratedLocal);
}

coord_CorrectedGrid position_Class::GetGrid(const transfrm_Class* transform) {
    return Get(transform, &Grid, &position_Class::ComputeGrid);
}

coord_ECEFGround position_Class::GetECEFGround(const transfrm_Class* transform) {
    return Get(transform, &ECEFGround, &position_Class::ComputeECEFGround);
}

coord_ECEF position_Class::GetECEF(const transfrm_Class* transform) {
    return Get(transform, &ECEF, &position_Class::ComputeECEF);
}

coord_ECEFDeltas position_Class::GetECEFDeltas(const transfrm_Class* transform) {
    return Get(transform, &ECEFDeltas, &position_Class::ComputeECEFDeltas);
}

coord_GridDeltas position_Class::GetGridDeltas(const transfrm_Class* transform) {
    return Get(transform, &GridDeltas, &position_Class::ComputeGridDeltas);
}

coord_Polar position_Class::GetPolar(const transfrm_Class* transform) {
    return Get(transform, &Polar, &position_Class::ComputePolar);
}

coord_Ground position_Class::GetGround(const transfrm_Class* transform) {
    return Get(transform, &Ground, &position_Class::ComputeGround);
}

coord_Unturned position_Class::GetUnturned(const transfrm_Class* transform) {
    return Get(transform, &Unturned, &position_Class::ReduceCircle);
}

coord_LocalTransformedGrid position_Class::GetLocalTransformedGrid(const transfrm_Class* transform,
                                                                   LocalTransformation* transformation) {
    if (Original == COORD_LocalTransformedGridType && transformation == nullptr) return LocalTransformedGrid;
    coord_LocalTransformedGrid result;
    if (!HaveTransform(transform)) return result;
    CheckTransform(transform);
    if (Original == COORD_NullType || !ComputeGrid(transform)) return result;
    transform->CogoGridToLocalTransformedGrid(transform->GridToCogoGrid(Grid), transformation, &result);
    return result;
}

position_Class* position_Class::DeletingDestructor(int flags) {
    this->~position_Class();
    if (flags & 1) ::operator delete(this);
    return this;
}

coord_CogoGrid position_Class::GetCogoGrid(const transfrm_Class* transform) {
    const coord_CorrectedGrid grid = GetGrid(transform);
    if (transform == nullptr) return coord_CogoGrid();
    return transform->GridToCogoGrid(grid);
}

coord_Circle position_Class::GetCircle() {
    if (Original == COORD_CircleType) return Circle;
    return coord_Circle();
}

coord_LaserOffset position_Class::GetLaserOffset() {
    if (Original != COORD_LaserOffsetType) LaserOffset.SetNull();
    return LaserOffset;
}

coord_MTA position_Class::GetMTA() {
    if (Original != COORD_MTAType) MTA.SetNull();
    return MTA;
}

coordsys_Ellipsoid position_Class::CachedEllipsoid(int32_t bit, coordsys_Ellipsoid* cache,
                                                   const coordsys_Ellipsoid& base, double height,
                                                   coordsys_CogoSettings mask, const transfrm_Class* transform) {
    *cache = base;
    Status |= bit;
    if (maths_IsNull(base.EarthRadius) || maths_IsNull(base.Flattening)) return *cache;
    if ((mask.Value() & COORDSYS_CogoGroundDistances) == 0 ||
        !transform->Corrections.SeaLevelFlag(transform->Projection.ProjectionType))
        return *cache;
    double h = height;
    if (maths_IsNull(h)) h = transform->GetGroundOriginHeight();
    if (!maths_IsNull(h)) cache->EarthRadius = base.EarthRadius + h;
    return *cache;
}

coordsys_Ellipsoid position_Class::GetLocalEllipsoid(coordsys_CogoSettings mask, const transfrm_Class* transform) {
    if (!HaveTransform(transform)) return coordsys_Ellipsoid();
    CheckTransform(transform);
    if (Status & POSITION_DoneLocalEllipsoid) return LocalEllipsoid;
    const coordsys_Ellipsoid& base = transform->Ellipsoid;
    const double height =
        maths_IsNull(base.EarthRadius) || maths_IsNull(base.Flattening) ? MATHS_Null : GetLocal(transform).Height;
    return CachedEllipsoid(POSITION_DoneLocalEllipsoid, &LocalEllipsoid, base, height, mask, transform);
}

coordsys_Ellipsoid position_Class::GetWGS84Ellipsoid(coordsys_CogoSettings mask, const transfrm_Class* transform) {
    if (!HaveTransform(transform)) return coordsys_Ellipsoid();
    CheckTransform(transform);
    if (Status & POSITION_DoneWGS84Ellipsoid) return WGS84Ellipsoid;
    return CachedEllipsoid(POSITION_DoneWGS84Ellipsoid, &WGS84Ellipsoid, coordsys_WGS84Ellipsoid,
                           GetWGS84(transform).Height, mask, transform);
}

double position_Class::GetLocalW(coordsys_CogoSettings mask, const transfrm_Class* transform) {
    if (!HaveTransform(transform)) return MATHS_Null;
    CheckTransform(transform);
    if (Status & POSITION_DoneLocalW) return LocalW;
    Status |= POSITION_DoneLocalW;
    const coord_Local local = GetLocal(transform);
    LocalW = MATHS_Null;
    if (local.IsHorizontalNull()) return LocalW;
    const coordsys_Ellipsoid ellipsoid = GetLocalEllipsoid(mask, transform);
    roadcogo_EllipsoidW(ellipsoid, local, &LocalW);
    return LocalW;
}

double position_Class::GetWGS84W(coordsys_CogoSettings mask, const transfrm_Class* transform) {
    if (!HaveTransform(transform)) return MATHS_Null;
    CheckTransform(transform);
    if (Status & POSITION_DoneWGS84W) return WGS84W;
    Status |= POSITION_DoneWGS84W;
    const coord_WGS84 wgs84 = GetWGS84(transform);
    WGS84W = MATHS_Null;
    if (wgs84.IsHorizontalNull()) return WGS84W;
    const coordsys_Ellipsoid ellipsoid = GetWGS84Ellipsoid(mask, transform);
    roadcogo_EllipsoidW(ellipsoid, coord_Local(wgs84.Lat, wgs84.Long, wgs84.Height), &WGS84W);
    return WGS84W;
}

int32_t position_Class::GetDistanceSystem(const transfrm_Class* transform) const {
    if (transform && transform->IsScaleOnly()) return 1;
    int32_t mask = 0;
    switch (Original) {
    case COORD_PolarType:
    case COORD_GroundType:
    case COORD_UnturnedType:
    case COORD_CircleType:
    case COORD_LaserOffsetType:
    case COORD_MTAType:
        QZ_ASSERT_TEXT(CogoSystem.IsNotNull(), "this->CogoSystem != 0u");
        mask = CogoSystem.Value();
        break;
    default:
        if (QZ_ASSERT_TEXT(SearchData != nullptr, "this->SearchData"))
            mask = static_cast<int32_t>(SearchData->CogoSettings);
        break;
    }
    const int32_t distance =
        mask & (COORDSYS_CogoDistanceGrid | COORDSYS_CogoDistanceLocal | COORDSYS_CogoDistanceWGS84);
    QZ_ASSERT_TEXT(distance == COORDSYS_CogoDistanceGrid || distance == COORDSYS_CogoDistanceLocal ||
                       distance == COORDSYS_CogoDistanceWGS84,
                   "(cogoSystem & COORDSYS_CogoDistanceGrid) ^ (cogoSystem & COORDSYS_CogoDistanceLocal) ^ "
                   "(cogoSystem & COORDSYS_CogoDistanceWGS84)");
    if (mask & COORDSYS_CogoDistanceGrid) return 1;
    if (mask & COORDSYS_CogoDistanceLocal) return 2;
    if (mask & COORDSYS_CogoDistanceWGS84) return 3;
    return 0;
}

double position_Class::GetGridConvergence(const transfrm_Class* transform) {
    if (!HaveTransform(transform)) return MATHS_Null;
    CheckTransform(transform);
    if (Status & POSITION_DoneConvergence) return GridConvergence;
    Status |= POSITION_DoneConvergence;
    GridConvergence = 0.0;
    coord_CogoGrid cogo = GetCogoGrid(transform);
    if (cogo.IsHorizontalNull()) return GridConvergence;

    cogo.North += kConvergenceProbe;
    position_Class probe;
    probe.SearchData = SearchData;
    probe.SetCogoGrid(cogo, transform);
    probe.TransformId = TransformId;
    probe.CogoSystem = CogoSystem;

    const coordsys_CogoSettings mask(kConvergenceMask);
    const double w1 = GetLocalW(mask, transform);
    const double w2 = probe.GetLocalW(mask, transform);
    const coordsys_Ellipsoid ellipsoid = GetLocalEllipsoid(mask, transform);
    coord_Local l1 = GetLocal(transform);
    coord_Local l2 = probe.GetLocal(transform);
    coord_NormaliseAzimuth(&l1.Lat);
    coord_NormaliseAzimuth(&l1.Long);
    coord_NormaliseAzimuth(&l2.Lat);
    coord_NormaliseAzimuth(&l2.Long);
    double mean = MATHS_Null, azimuth = MATHS_Null, distance = MATHS_Null;
    roadcogo_EllipsoidInverse(ellipsoid, l1, w1, l2, w2, &mean, &azimuth, &distance);
    GridConvergence = maths_IsNull(mean) ? 0.0 : mean;
    GridConvergence = -(GridConvergence + transform->GetCogoOrientation().AzimuthOffset);
    return GridConvergence;
}

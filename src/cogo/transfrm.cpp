#include "cogo/transfrm.h"

#include <cstdint>
#include <new>

#include "cogo/jobindex_geometry.h"
#include "cogo/localtransformation.h"
#include "cogo/position.h"
#include "cogo/reduce.h"
#include "csib/glue.h"
#include "csib/pipeline.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"

namespace {

constexpr const char* kModule = "QZ/transfrm";
constexpr double kSeaLevelRadius = 6378137.0;

// One counter for the process; -1 stands for "no transform" and is never handed out.
int32_t g_NextId = 0;

int32_t TakeId() {
    const int32_t id = g_NextId;
    g_NextId = id == INT32_MAX ? INT32_MIN : id + 1;
    if (g_NextId == -1) g_NextId = 0;
    return id;
}

bool IsNull(double x) { return maths_IsNull(x); }

// A ground offset that was never given moves nothing.
double Offset(double offset) { return IsNull(offset) ? 0.0 : offset; }

// Turns a point about an origin for the axes the orientation flips; null-aware.
void Flip(double* north, double* east, double originNorth, double originEast, int32_t orientation) {
    double n = maths_Subtract(*north, originNorth);
    double e = maths_Subtract(*east, originEast);
    if (!transfrm_IsNorthIncreasing(orientation) && !IsNull(n)) n = -n;
    if (!transfrm_IsEastIncreasing(orientation) && !IsNull(e)) e = -e;
    *north = maths_Add(n, originNorth);
    *east = maths_Add(e, originEast);
}

// An adjustment origin between the grid and the cogo grid, about the false origin
// exactly as stored.
void OriginToCogoGrid(const coordsys_Projection& p, int32_t orientation, double* north, double* east) {
    *north = maths_Add(*north, Offset(p.GroundScale.NorthingOffset));
    *east = maths_Add(*east, Offset(p.GroundScale.EastingOffset));
    Flip(north, east, p.OriginGrid.North, p.OriginGrid.East, orientation);
}

void OriginFromCogoGrid(const coordsys_Projection& p, int32_t orientation, double* north, double* east) {
    Flip(north, east, p.OriginGrid.North, p.OriginGrid.East, orientation);
    *north = maths_Subtract(*north, Offset(p.GroundScale.NorthingOffset));
    *east = maths_Subtract(*east, Offset(p.GroundScale.EastingOffset));
}

void NegateFlipped(int32_t orientation, double* north, double* east) {
    if (!transfrm_IsNorthIncreasing(orientation)) *north = maths_Negate(*north);
    if (!transfrm_IsEastIncreasing(orientation)) *east = maths_Negate(*east);
}

bool HorizontallyComplete(double north, double east) { return !IsNull(north) && !IsNull(east); }

void DeleteTransform(transfrm_Class* transform) { delete transform; }
int GridOrientationOf(const transfrm_Class* transform) { return transform->GridOrientation; }
bool SouthAzimuthsOf(const transfrm_Class* transform) { return transform->Corrections.SouthAzimuth; }
double OrientAzimuth(int gridOrientation, bool southAzimuths, double azimuth) {
    return transfrm_OrientAzimuth(gridOrientation, southAzimuths, azimuth);
}

}  // namespace

// --- Life cycle -------------------------------------------------------------------

transfrm_Class::transfrm_Class(uint16_t components, const coordsys_Ellipsoid* ellipsoid,
                               const coordsys_Projection* projection, const coordsys_Datum* datum,
                               const coordsys_Plane* plane, const coordsys_Height* height,
                               const coordsys_Corrections* corrections, int32_t loadFlags) {
    int32_t error = COORDSYS_NoError;
    Initialise(components, ellipsoid, projection, datum, plane, height, corrections, loadFlags, &error);
    QZ_ASSERT_TEXT(error == COORDSYS_NoError, "error == COORDSYS_NoError");
}

transfrm_Class& transfrm_Class::operator=(const transfrm_Class& other) {
    // Freeing our block first would otherwise clone freed memory.
    if (this == &other) return *this;
    Ellipsoid = other.Ellipsoid;
    Projection = other.Projection;
    Datum = other.Datum;
    Plane = other.Plane;
    Height = other.Height;
    AzimuthOffset = other.AzimuthOffset;
    GridOrientation = other.GridOrientation;
    Components = other.Components;
    Corrections = other.Corrections;
    LoadFlags = other.LoadFlags;
    Id = other.Id;
    csib_Free(&Block);
    if (other.Block && !csibglue_CloneCsib(&Block, other.Block)) {
        QZ_FAIL("false");
        csib_Free(&Block);
    }
    return *this;
}

transfrm_Class::~transfrm_Class() { csib_Free(&Block); }

transfrm_Class* transfrm_Class::Clone() const {
    auto* copy = new (std::nothrow) transfrm_Class();
    if (copy) *copy = *this;
    return copy;
}

transfrm_Class* transfrm_Class::CloneWith(uint16_t components, const coordsys_Ellipsoid* ellipsoid,
                                          const coordsys_Projection* projection, const coordsys_Datum* datum,
                                          const coordsys_Plane* plane, const coordsys_Height* height,
                                          const coordsys_Corrections* corrections, int32_t loadFlags,
                                          int32_t* error) const {
    *error = COORDSYS_NoError;
    transfrm_Class* copy = Clone();
    if (!copy) {
        *error = CSIBGLUE_OutOfMemory;
        return nullptr;
    }
    if (!copy->Initialise(components, ellipsoid, projection, datum, plane, height, corrections, loadFlags, error)) {
        delete copy;
        return nullptr;
    }
    return copy;
}

void transfrm_Class::Reset() {
    csib_Free(&Block);
    *this = transfrm_Class();
}

bool transfrm_Class::Initialise(uint16_t components, const coordsys_Ellipsoid* ellipsoid,
                                const coordsys_Projection* projection, const coordsys_Datum* datum,
                                const coordsys_Plane* plane, const coordsys_Height* height,
                                const coordsys_Corrections* corrections, int32_t loadFlags, int32_t* error) {
    *error = COORDSYS_NoError;
    Id = TakeId();
    LoadFlags = loadFlags;

    // A selected component without its definition is reported and left out, rather
    // than copied from nowhere.
    uint16_t taken = components;
    auto given = [&](uint16_t bit, const void* definition, const char* text) {
        if (!(components & bit)) return false;
        if (QZ_ASSERT_TEXT(definition != nullptr, text)) return true;
        taken &= static_cast<uint16_t>(~bit);
        return false;
    };
    if (given(TRANSFRM_Ellipsoid, ellipsoid, "ellipsoid != NULL")) Ellipsoid = *ellipsoid;
    if (given(TRANSFRM_Corrections, corrections, "corrections != NULL")) {
        AzimuthOffset = corrections->SouthAzimuth ? CONSTANT_Pi : 0.0;
        GridOrientation = corrections->GridOrientation;
        Corrections = *corrections;
    }
    if (given(TRANSFRM_Datum, datum, "datum != NULL")) Datum = *datum;
    if (given(TRANSFRM_Height, height, "height != NULL")) Height = *height;
    if (given(TRANSFRM_HorizontalAdjustment, plane, "plane != NULL")) Plane = *plane;
    if (given(TRANSFRM_Projection, projection, "projection != NULL")) Projection = *projection;
    Components |= taken;

    if ((Components & TRANSFRM_Ellipsoid) && (Components & TRANSFRM_Projection)) {
        coordsys_GroundPart& ground = Projection.GroundScale;
        double factor = ground.Factor, north = ground.NorthingDelta, east = ground.EastingDelta;
        if (csibglue_ComputeGroundScale(Ellipsoid, Projection, &factor, &north, &east)) {
            ground.Factor = factor;
            ground.NorthingDelta = north;
            ground.EastingDelta = east;
        }
    }

    csib_Free(&Block);
    // The glue re-expresses the adjustments through us; make sure it can.
    csibglue_SetAdjustmentConverters(transfrm_VerticalAdjustmentToCogoGrid, transfrm_HorizontalAdjustmentToCogoGrid);
    if (csibglue_BuildCsib(&Block, Components, Ellipsoid, Projection, Datum, Plane, Height, Corrections, LoadFlags,
                           error))
        return true;
    QZ_ASSERT_TEXT(*error != COORDSYS_NoError, "*error != COORDSYS_NoError");
    return false;
}

transfrm_Class* transfrm_Create(uint16_t components, const coordsys_Ellipsoid* ellipsoid,
                                const coordsys_Projection* projection, const coordsys_Datum* datum,
                                const coordsys_Plane* plane, const coordsys_Height* height,
                                const coordsys_Corrections* corrections, int32_t loadFlags, int32_t* error) {
    *error = COORDSYS_NoError;
    auto* transform = new (std::nothrow) transfrm_Class();
    if (!transform) {
        *error = CSIBGLUE_OutOfMemory;
        return nullptr;
    }
    if (!transform->Initialise(components, ellipsoid, projection, datum, plane, height, corrections, loadFlags,
                               error)) {
        delete transform;
        return nullptr;
    }
    return transform;
}

transfrm_Class* transfrm_GetWGS84Transform() {
    static transfrm_Class wgs84(TRANSFRM_Ellipsoid, &coordsys_WGS84Ellipsoid, nullptr, nullptr, nullptr, nullptr,
                                nullptr, 0);
    return &wgs84;
}

bool transfrm_ComputeGroundScale(const transfrm_Class* transform, const coordsys_Projection& projection,
                                 double* factor, double* northingDelta, double* eastingDelta) {
    return csibglue_ComputeGroundScale(transform->Ellipsoid, projection, factor, northingDelta, eastingDelta);
}

void transfrm_SetNextId(int32_t id) { g_NextId = id == -1 ? 0 : id; }

void transfrm_Register() {
    csibglue_SetAdjustmentConverters(transfrm_VerticalAdjustmentToCogoGrid, transfrm_HorizontalAdjustmentToCogoGrid);
    dbJobIndex_SetTransformDeleter(DeleteTransform);
    dbJobIndex_CoordinateGeometry geometry;
    geometry.GridOrientation = GridOrientationOf;
    geometry.SouthAzimuths = SouthAzimuthsOf;
    geometry.OrientAzimuth = OrientAzimuth;
    geometry.FillFromRecordId = [](position_Class* position, dbIndex* index, DBID id) {
        return position->FillFromRecordId(index, id);
    };
    geometry.FillFromIndexLocation = [](position_Class* position, const dbObjectRef& reference) {
        return position->FillFromIndexLocation(reference);
    };
    // The option a fill overwrites and the job index keeps: the default for null heights.
    geometry.GetPositionOption = [](const position_Class* position) {
        return static_cast<uint8_t>(position->DefaultNullHeights ? 1 : 0);
    };
    geometry.SetPositionOption = [](position_Class* position, uint8_t option) {
        position->DefaultNullHeights = option != 0;
    };
    geometry.GetStationSetup = [](dbAccess* access, DBID station, DBID target, DBID backBearing,
                                  position_ReductionRecords* setup) {
        return setup != nullptr && reduce_GetStationSetup(access, station, target, backBearing, *setup);
    };
    jobindexgeometry_Fill(&geometry);
    dbJobIndex_SetCoordinateGeometry(&geometry);
}

// --- Orientation ------------------------------------------------------------------

bool transfrm_IsNorthIncreasing(int32_t gridOrientation) {
    switch (gridOrientation) {
        case COORDSYS_IncreasingNorthEast:
        case COORDSYS_IncreasingNorthWest: return true;
        case COORDSYS_IncreasingSouthWest:
        case COORDSYS_IncreasingSouthEast: return false;
        default: QZ_FAIL(""); return false;
    }
}

bool transfrm_IsEastIncreasing(int32_t gridOrientation) {
    switch (gridOrientation) {
        case COORDSYS_IncreasingNorthEast:
        case COORDSYS_IncreasingSouthEast: return true;
        case COORDSYS_IncreasingSouthWest:
        case COORDSYS_IncreasingNorthWest: return false;
        default: QZ_FAIL(""); return false;
    }
}

double transfrm_OrientAzimuth(int32_t gridOrientation, bool southAzimuths, double azimuth) {
    if (IsNull(azimuth)) return azimuth;
    if (gridOrientation == COORDSYS_IncreasingSouthWest || gridOrientation == COORDSYS_IncreasingSouthEast)
        azimuth += CONSTANT_Pi;
    if (southAzimuths) azimuth += CONSTANT_Pi;
    coord_NormaliseAzimuth(&azimuth);
    return azimuth;
}

void transfrm_VerticalAdjustmentToCogoGrid(const coordsys_Projection& projection, int32_t gridOrientation,
                                           coordsys_Height& height) {
    OriginToCogoGrid(projection, gridOrientation, &height.OriginNorth, &height.OriginEast);
    NegateFlipped(gridOrientation, &height.NorthAdjustment, &height.EastAdjustment);
}

void transfrm_HorizontalAdjustmentToCogoGrid(const coordsys_Projection& projection, int32_t gridOrientation,
                                             coordsys_Plane& plane) {
    OriginToCogoGrid(projection, gridOrientation, &plane.OriginNorth, &plane.OriginEast);
    NegateFlipped(gridOrientation, &plane.TranslationNorth, &plane.TranslationEast);
}

void transfrm_VerticalAdjustmentFromCogoGrid(const coordsys_Projection& projection, int32_t gridOrientation,
                                             coordsys_Height& height) {
    NegateFlipped(gridOrientation, &height.NorthAdjustment, &height.EastAdjustment);
    OriginFromCogoGrid(projection, gridOrientation, &height.OriginNorth, &height.OriginEast);
}

void transfrm_HorizontalAdjustmentFromCogoGrid(const coordsys_Projection& projection, int32_t gridOrientation,
                                               coordsys_Plane& plane) {
    NegateFlipped(gridOrientation, &plane.TranslationNorth, &plane.TranslationEast);
    OriginFromCogoGrid(projection, gridOrientation, &plane.OriginNorth, &plane.OriginEast);
}

// --- Grid and cogo grid -----------------------------------------------------------

void transfrm_Class::FalseOrigin(double* north, double* east) const {
    *north = *east = 0.0;
    const coord_CorrectedGrid& origin = Projection.OriginGrid;
    if (!(Components & TRANSFRM_Projection) || Projection.ProjectionType == COORDSYS_NoProjection ||
        origin.IsHorizontalNull())
        return;
    // A half-given origin turns about 0 on its missing axis, as the engine counts it.
    if (!IsNull(origin.North)) *north = origin.North;
    if (!IsNull(origin.East)) *east = origin.East;
}

coord_CogoGrid transfrm_Class::GridToCogoGrid(const coord_CorrectedGrid& grid) const {
    double originNorth = 0.0, originEast = 0.0;
    FalseOrigin(&originNorth, &originEast);
    double north = maths_Add(grid.North, Offset(Projection.GroundScale.NorthingOffset));
    double east = maths_Add(grid.East, Offset(Projection.GroundScale.EastingOffset));
    Flip(&north, &east, originNorth, originEast, GridOrientation);
    return coord_CogoGrid(north, east, grid.Elev);
}

coord_CorrectedGrid transfrm_Class::CogoGridToGrid(const coord_CogoGrid& cogo) const {
    double originNorth = 0.0, originEast = 0.0;
    FalseOrigin(&originNorth, &originEast);
    double north = cogo.North, east = cogo.East;
    Flip(&north, &east, originNorth, originEast, GridOrientation);
    north = maths_Subtract(north, Offset(Projection.GroundScale.NorthingOffset));
    east = maths_Subtract(east, Offset(Projection.GroundScale.EastingOffset));
    return coord_CorrectedGrid(north, east, cogo.Elev);
}

void transfrm_Class::CogoGridToLocalTransformedGrid(const coord_CogoGrid& cogo, LocalTransformation* transformation,
                                                    coord_LocalTransformedGrid* local) const {
    local->SetNull();
    if (transformation && transformation->Defined) transformation->ToLocalTransformedGrid(cogo, local);
}

void transfrm_Class::LocalTransformedGridToCogoGrid(const coord_LocalTransformedGrid& local,
                                                    LocalTransformation* transformation, coord_CogoGrid* cogo) const {
    cogo->SetNull();
    if (transformation && transformation->Defined) transformation->ToCogoGrid(local, cogo);
}

// --- Through the engine -----------------------------------------------------------

void transfrm_Class::WGS84ToLocal(const coord_WGS84& wgs84, coord_Local* local) const {
    local->SetNull();
    csib_GeodeticPoint w{}, l{};
    if (!Block || !csibglue_WGS84ToGeodeticPoint(wgs84, &w)) return;
    if (csib_WGS84ToLocal(Block, &w, &l) != CSIB_Ok) return;
    csibglue_GeodeticPointToLocal(&l, local);
}

void transfrm_Class::LocalToWGS84(const coord_Local& local, coord_WGS84* wgs84) const {
    wgs84->SetNull();
    csib_GeodeticPoint l{}, w{};
    if (!Block || !csibglue_LocalToGeodeticPoint(local, &l)) return;
    if (csib_LocalToWGS84(Block, &l, &w) != CSIB_Ok) return;
    csibglue_GeodeticPointToWGS84(&w, wgs84);
}

void transfrm_Class::LocalToCogoGrid(const coord_Local& local, coord_CogoGrid* cogo) const {
    ToCogoGrid(local, cogo, false);
}

void transfrm_Class::LocalToCogoGridAdjusted(const coord_Local& local, coord_CogoGrid* cogo) const {
    ToCogoGrid(local, cogo, true);
}

void transfrm_Class::ToCogoGrid(const coord_Local& local, coord_CogoGrid* cogo, bool adjusted) const {
    cogo->SetNull();
    csib_GeodeticPoint p{};
    if (!Block || !csibglue_LocalToGeodeticPoint(local, &p)) return;
    csib_GridPoint g{};
    if (csib_GeodeticToGrid(Block, &p, &g) != CSIB_Ok) return;
    if (Block->hasShiftGrid && csibglue_ApplyShiftGrid(Block, &g) != CSIB_Ok) return;
    if (adjusted) csibglue_ApplyHorizontalAdjustment(Block, &g);

    // Without a vertical model the elevation is the ellipsoid height; with one it is
    // the orthometric height at the WGS84 position, which needs a datum.
    const double ellipsoidHeight = p.hasEllipsoidHeight ? p.ellipsoidHeight : MATHS_Null;
    double elevation = MATHS_Null;
    if (Block->verticalKind == 0) {
        elevation = ellipsoidHeight;
    } else if (Block->datumKind != 0) {
        csib_GeodeticPoint w{};
        if (csib_LocalToWGS84(Block, &p, &w) == CSIB_Ok)
            elevation = csib_EllipsoidToOrthometric(Block, &w) == CSIB_Ok ? w.orthometricHeight : ellipsoidHeight;
    }
    g.elevation = elevation;
    g.hasElevation = IsNull(elevation) ? 0 : 1;
    if (Block->hasVerticalAdjustment) csibglue_ApplyVerticalAdjustment(Block, &g);
    csibglue_GridPointToGrid(&g, cogo, Block);
}

void transfrm_Class::CogoGridToLocal(const coord_CogoGrid& cogo, coord_Local* local) const {
    ToLocal(cogo, local, false);
}

void transfrm_Class::CogoGridAdjustedToLocal(const coord_CogoGrid& cogo, coord_Local* local) const {
    ToLocal(cogo, local, true);
}

void transfrm_Class::ToLocal(const coord_CogoGrid& cogo, coord_Local* local, bool adjusted) const {
    local->SetNull();
    // Half a position would enter the projection as 1e308.
    if (!Block || !HorizontallyComplete(cogo.North, cogo.East)) return;
    csib_GridPoint g{};
    csibglue_GridToGridPoint(cogo, &g, Block);
    if (adjusted) {
        if (csibglue_RemoveShiftGrid(Block, &g) != CSIB_Ok) return;
        csibglue_RemoveVerticalAdjustment(Block, &g);
        csibglue_RemoveHorizontalAdjustment(Block, &g);
    } else {
        csibglue_RemoveVerticalAdjustment(Block, &g);
        if (csibglue_RemoveShiftGrid(Block, &g) != CSIB_Ok) return;
    }
    csib_GeodeticPoint p{};
    if (csib_GridToGeodetic(Block, &g, &p) != CSIB_Ok) return;
    if (Block->verticalKind != 0) {
        p.orthometricHeight = g.elevation;
        p.hasOrthometricHeight = g.hasElevation;
    }
    if (!p.hasOrthometricHeight || IsNull(p.orthometricHeight) || csib_OrthometricToEllipsoid(Block, &p) != CSIB_Ok) {
        p.ellipsoidHeight = MATHS_Null;
        p.hasEllipsoidHeight = 0;
    }
    coord_Local result;
    csibglue_GeodeticPointToLocal(&p, &result);
    if (result.IsInRange()) *local = result;
}

void transfrm_Class::GeoidSeparation(const coord_WGS84& wgs84, double* separation) const {
    *separation = MATHS_Null;
    csib_GeodeticPoint w{};
    if (!Block || !csibglue_WGS84ToGeodeticPoint(wgs84, &w)) return;
    // The separation does not depend on the height; a point without one is taken on
    // the ellipsoid rather than subtracting from a null.
    if (!w.hasEllipsoidHeight) {
        w.ellipsoidHeight = 0.0;
        w.hasEllipsoidHeight = 1;
    }
    if (csib_EllipsoidToOrthometric(Block, &w) != CSIB_Ok) return;
    *separation = w.ellipsoidHeight - w.orthometricHeight;
}

void transfrm_Class::Adjust(coord_CogoGrid* cogo, void (*adjust)(csib_Block*, csib_GridPoint*)) const {
    if (!Block) return cogo->SetNull();
    if (!HorizontallyComplete(cogo->North, cogo->East)) return;
    csib_GridPoint g{};
    csibglue_GridToGridPoint(*cogo, &g, Block);
    adjust(Block, &g);
    csibglue_GridPointToGrid(&g, cogo, Block);
}

void transfrm_Class::ApplyHorizontalAdjustment(coord_CogoGrid* cogo) const {
    Adjust(cogo, csibglue_ApplyHorizontalAdjustment);
}

void transfrm_Class::ApplyVerticalAdjustment(coord_CogoGrid* cogo) const {
    Adjust(cogo, csibglue_ApplyVerticalAdjustment);
}

// --- Scale factors ----------------------------------------------------------------

double transfrm_Class::GridScaleFactor(const coord_Local& local) const {
    if (IsScaleOnly() || !Block || !HorizontallyComplete(local.Lat, local.Long)) return MATHS_Null;
    double factor = MATHS_Null;
    csibglue_GridScaleFactor(Block, local, &factor);
    return factor;
}

double transfrm_Class::CombinedScaleFactor(const coord_Local& local, double height) const {
    const bool seaLevel = Corrections.SeaLevelFlag(Projection.ProjectionType);
    if (IsScaleOnly()) {
        double scale = Projection.Scale;
        const double h = IsNull(height) ? GetGroundOriginHeight() : height;
        if (seaLevel && !IsNull(h)) scale = maths_Multiply(scale, maths_Divide(kSeaLevelRadius, kSeaLevelRadius + h));
        return scale;
    }
    if (!Block || !HorizontallyComplete(local.Lat, local.Long)) return MATHS_Null;
    double factor = MATHS_Null;
    if (!seaLevel) {
        csibglue_GridScaleFactor(Block, local, &factor);
        return factor;
    }
    const double h = IsNull(local.Height) ? GetGroundOriginHeight() : local.Height;
    if (IsNull(h)) return MATHS_Null;
    csibglue_CombinedScaleFactor(Block, local, h, &factor);
    return factor;
}

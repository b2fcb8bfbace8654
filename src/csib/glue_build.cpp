// Building a block from the job's definitions. The filled block has had no Load: it is
// written as an image and the block read back from it is the one handed out, with
// every model loaded. Model files named by the definitions are therefore opened twice.
//
// Definition types map to engine kinds through one table per stage. A definition
// whose kind is not part of this build fails with CSIBGLUE_EngineError; so does a
// value that a model computes with and that is null.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/pipeline.h"
#include "csib/projection.h"
#include "csib/projection_national.h"
#include "csib/projection_plane.h"
#include "csib/projection_records.h"
#include "csib/projection_ukgrid.h"
#include "foundation/environment.h"
#include "foundation/files/file.h"
#include "foundation/files/path.h"
#include "foundation/kernel/text.h"
#include "foundation/text/unistr.h"

namespace {

constexpr const char* kModule = "csibglue";
constexpr double kWGS84A = 6378137.0;
constexpr double kWGS84B = 6356752.3142;

csibglue_HeightConverter heightConverter = nullptr;
csibglue_PlaneConverter planeConverter = nullptr;

// One build's state: the block being filled, the options and the caller's error code.
struct Filler {
    csib_Block* block;
    int32_t options;
    int32_t* error;

    bool Fail(int32_t code) {
        *error = code;
        return false;
    }
    bool Check(csib_Status status) { return status >= 0 || Fail(csibglue_ErrorFromEngine(status)); }

    // A model file that could not be used: its own code replaces the generic one;
    // under CSIBGLUE_KeepGoing the model is dropped and the build goes on.
    bool ModelFailed(csib_Status status, int32_t ownCode, void (*drop)(csib_Block*)) {
        int32_t code = csibglue_ErrorFromEngine(status);
        if (code == CSIBGLUE_ModelFile) code = ownCode;
        if (!(options & CSIBGLUE_KeepGoing)) return Fail(code);
        drop(block);
        *error = CSIBGLUE_ModelDropped;
        return true;
    }
    bool FileMissing(int32_t code) {
        if (!(options & CSIBGLUE_KeepGoing)) return Fail(code);
        *error = CSIBGLUE_ModelDropped;
        return true;
    }

    bool SetDatumKind(uint8_t kind) {
        if (!csib_DatumKinds[kind].slots) return Fail(CSIBGLUE_EngineError);
        block->datumKind = kind;
        return Check(csib_SetDatumFunctions(block));
    }
    // Installed at once, so that a record a builder attaches is released by the kind.
    bool SetProjectionKind(uint8_t kind) {
        if (!csib_ProjectionKinds[kind].slots) return Fail(CSIBGLUE_EngineError);
        block->projectionKind = kind;
        return Check(csib_SetProjectionFunctions(block));
    }
};

bool IsNull(double x) { return maths_IsNull(x); }

// --- Datum ------------------------------------------------------------------------

bool UsableSevenParameters(const coordsys_Datum& d) {
    for (double x : {d.RotationX, d.RotationY, d.RotationZ, d.TranslationX, d.TranslationY, d.TranslationZ, d.Scale})
        if (IsNull(x)) return false;
    return d.Scale > 0.0;
}

bool UsableThreeParameters(const coordsys_Datum& d) {
    return !IsNull(d.TranslationX) && !IsNull(d.TranslationY) && !IsNull(d.TranslationZ);
}

void DropDatum(csib_Block* block) { csib_SetDatum(block, 0, nullptr); }

// The parametric datum kinds: the kind and the builder that fills its record. A row
// whose kind has no model in this build fails at SetDatumKind.
struct DatumRow {
    uint8_t kind;
    bool (*usable)(const coordsys_Datum&);
    csib_Status (*build)(csib_Block*, const coordsys_Datum&);
};
constexpr DatumRow kParametricDatums[] = {
    {0, nullptr, nullptr},                  // COORDSYS_NoDatum
    {3, UsableSevenParameters, csibglue_SetSevenParameter},  // COORDSYS_SevenParameter: inverted Helmert
    {1, UsableThreeParameters, csibglue_SetThreeParameter},  // COORDSYS_ThreeParameter: Molodensky
};

bool FillDatum(Filler& f, const coordsys_Datum& datum) {
    const int32_t type = datum.DatumType;
    if (!QZ_ASSERT(type >= COORDSYS_NoDatum && type <= COORDSYS_RTCMGrid)) return true;
    if (type <= COORDSYS_ThreeParameter) {
        const DatumRow& row = kParametricDatums[type];
        if (row.usable && !row.usable(datum)) return f.Fail(CSIBGLUE_EngineError);
        if (row.kind != 0 && !f.SetDatumKind(row.kind)) return false;
        if (row.build && !f.Check(row.build(f.block, datum))) return false;
    } else if (type == COORDSYS_GridDatum) {
        if (f.options & CSIBGLUE_SkipDatumGrid) return true;
        if (!csib_DatumKinds[5].slots) return f.Fail(CSIBGLUE_EngineError);
        char path[CSIBGLUE_MaxPath + 2];
        const csib_Status status = csibglue_ModelFilePath(datum.GridName, "CDG", path)
                                       ? csib_SetDatum(f.block, 5, reinterpret_cast<const uint8_t*>(path))
                                       : CSIB_FileOpenFailed;
        if (status < 0 && !f.ModelFailed(status, CSIBGLUE_DatumGridFile, DropDatum)) return false;
    } else {
        if (!csib_DatumKinds[6].slots) return f.Fail(CSIBGLUE_EngineError);
        Str name;
        const bool plain = path_IsPlainName(datum.GridName);
        if (plain && !datum.GridName.IsEmpty()) {
            name = csibglue_FindModelFile(datum.GridName, "RTD");
            if (name.IsEmpty()) name = datum.GridName;
        }
        const csib_Status status = !plain || name.Length() > CSIBGLUE_MaxPath
                                       ? CSIB_FileOpenFailed
                                       : csib_SetDatum(f.block, 6, reinterpret_cast<const uint8_t*>(name.Data()));
        if (status < 0 && !f.ModelFailed(status, CSIBGLUE_RTCMFile, DropDatum)) return false;
    }
    return f.Check(csib_SetDatumFunctions(f.block));
}

// --- Projection -------------------------------------------------------------------

using ProjectionBuilder = bool (*)(Filler&, const coordsys_Projection&, uint8_t kind);

bool BuildTransverseMercator(Filler& f, const coordsys_Projection&, uint8_t kind) {
    return f.SetProjectionKind(kind) &&
           f.Check(csibglue_AllocProjectionParams(f.block, static_cast<int32_t>(sizeof(csib_TMParameters))));
}

// A kind whose empty record its Load fills at the read-back.
template <typename Record>
bool BuildEmptyRecord(Filler& f, const coordsys_Projection&, uint8_t kind) {
    return f.SetProjectionKind(kind) &&
           f.Check(csibglue_AllocProjectionParams(f.block, static_cast<int32_t>(sizeof(Record))));
}

template <csib_Status (*Set)(csib_Block*)>
bool BuildFromBlock(Filler& f, const coordsys_Projection&, uint8_t kind) {
    return f.SetProjectionKind(kind) && f.Check(Set(f.block));
}

bool UsableParallels(const coordsys_Projection& projection) {
    return !IsNull(projection.Orientation1) && !IsNull(projection.Orientation2);
}

bool BuildAlbers(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    if (!UsableParallels(projection)) return f.Fail(CSIBGLUE_EngineError);
    return f.SetProjectionKind(kind) && f.Check(csibglue_SetAlbersParams(f.block, projection));
}

bool BuildLambert(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    const uint8_t parallels = projection.ProjectionType == COORDSYS_Lambert1Parallel ? 1 : 2;
    if (parallels == 2 && !UsableParallels(projection)) return f.Fail(CSIBGLUE_EngineError);
    return f.SetProjectionKind(kind) && f.Check(csibglue_SetLambertParams(f.block, parallels, projection));
}

bool BuildObliqueMercator(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    if (IsNull(projection.Orientation1)) return f.Fail(CSIBGLUE_EngineError);
    return f.SetProjectionKind(kind) && f.Check(csibglue_SetObliqueMercatorParams(f.block, projection));
}

// Rectified skew orthomorphic: the rectified angle, rectified, u from the natural origin.
bool BuildRSO(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    coordsys_Projection rso = projection;
    rso.Rectify = true;
    rso.AzimuthFormat = COORDSYS_GridAzimuth;
    rso.OriginCenter = COORDSYS_OriginAtEquator;
    return BuildObliqueMercator(f, rso, kind);
}

bool BuildKrovak(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    return f.SetProjectionKind(kind) && f.Check(csibglue_SetKrovakParams(f.block, projection));
}

// The plane computes with all three values.
bool BuildPlane(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    for (double x : {projection.OriginLocal.Height, projection.OriginGrid.Elev, projection.Orientation1})
        if (IsNull(x)) return f.Fail(CSIBGLUE_EngineError);
    return f.SetProjectionKind(kind) && f.Check(csibglue_SetPlaneParams(f.block, projection));
}

bool BuildDenmark(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    return f.SetProjectionKind(kind) && f.Check(csibglue_SetDenmarkArea(f.block, projection));
}

bool FileExists(const Str& name, const char* extension) {
    const Str path = csibglue_ModelFileName(name, extension);
    return !path.IsEmpty() && file_Class(path).Exists();
}

bool BuildUnitedKingdom(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    if (f.options & CSIBGLUE_SkipUKGrid) return true;
    if (!FileExists(projection.UKNorthGridFile, "pgf") || !FileExists(projection.UKEastGridFile, "pgf"))
        return f.FileMissing(CSIBGLUE_UKGridMissing);
    return f.SetProjectionKind(kind) && f.Check(csibglue_LoadUKGridFiles(f.block, projection));
}

void DropProjection(csib_Block* block) { csib_SetProjection(block, 0, nullptr); }

bool BuildProjectionGrid(Filler& f, const coordsys_Projection& projection, uint8_t kind) {
    f.block->falseNorthing = 0.0;
    f.block->falseEasting = 0.0;
    if (f.options & CSIBGLUE_SkipProjectionGrid) return true;
    if (!FileExists(projection.ProjectionGridFile, "pjg")) return f.FileMissing(CSIBGLUE_ProjectionGridFile);
    if (!csib_ProjectionKinds[kind].slots) return f.Fail(CSIBGLUE_EngineError);
    // The saved part: a 0 byte (one container file) and the file name.
    uint8_t saved[CSIBGLUE_MaxPath + 3] = {0};
    csib_Status status = CSIB_FileOpenFailed;
    if (csibglue_ModelFilePath(projection.ProjectionGridFile, "pjg", reinterpret_cast<char*>(saved + 1)))
        status = csib_SetProjection(f.block, kind, saved);
    return status >= 0 || f.ModelFailed(status, CSIBGLUE_ProjectionGridFile, DropProjection);
}

// Engine kind and builder by ProjectionType. A row without a builder installs the
// kind alone; a kind whose model is not part of this build fails the build. A kind
// that takes parameters from the definition brings its builder with it.
struct ProjectionRow {
    uint8_t kind;
    ProjectionBuilder build;
};
constexpr ProjectionRow kProjections[] = {
    {0, nullptr},                        // 0 COORDSYS_NoProjection
    {0, nullptr},                        // 1 COORDSYS_ScaleOnly
    {10, BuildPlane},                    // 2 COORDSYS_Plane
    {5, BuildFromBlock<csibglue_SetMercatorParams>},  // 3 COORDSYS_Mercator
    {14, BuildTransverseMercator},       // 4 COORDSYS_TransverseMercator
    {14, BuildTransverseMercator},       // 5 COORDSYS_UniversalTransverseMercator
    {4, BuildLambert},                   // 6 COORDSYS_Lambert1Parallel
    {4, BuildLambert},                   // 7 COORDSYS_Lambert2Parallel
    {8, BuildObliqueMercator},           // 8 COORDSYS_ObliqueMercatorAngle
    {7, BuildEmptyRecord<csib_ObliqueCylindricalParameters>},  // 9 COORDSYS_ObliqueConformalCylindrical
    {9, BuildEmptyRecord<csib_ObliqueStereoParameters>},  // 10 COORDSYS_ObliqueStereographic
    {11, BuildEmptyRecord<csib_PolarStereoParameters>},  // 11 COORDSYS_PolarStereographic
    {12, nullptr},                       // 12 COORDSYS_RDStereographic
    {1, BuildAlbers},                    // 13 COORDSYS_AlbersEqualAreaConic
    {2, BuildEmptyRecord<csib_CassiniParameters>},  // 14 COORDSYS_CassiniSoldner
    {3, BuildKrovak},                    // 15 COORDSYS_Krovak
    {6, nullptr},                        // 16 COORDSYS_NewZealandMapGrid
    {15, BuildUnitedKingdom},            // 17 COORDSYS_UnitedKingdomNationalGrid
    {16, BuildDenmark},                  // 18 COORDSYS_Denmark
    {17, nullptr},                       // 19 COORDSYS_HungarianEOV
    {18, BuildEmptyRecord<csib_DoubleStereoParameters>},  // 20 COORDSYS_StereographicDouble
    {8, BuildRSO},                       // 21 COORDSYS_RSO
    {11, BuildFromBlock<csibglue_SetUPSNorth>},  // 22 COORDSYS_UPSNorth
    {11, BuildFromBlock<csibglue_SetUPSSouth>},  // 23 COORDSYS_UPSSouth
    {19, BuildProjectionGrid},           // 24 COORDSYS_ProjectionGrid
};
static_assert(sizeof kProjections / sizeof kProjections[0] == COORDSYS_ProjectionGrid + 1);

void DropShiftGrid(csib_Block* block) { csib_SetShiftGrid(block, nullptr); }

bool UsableGroundFactor(double factor) { return IsNull(factor) || (std::isfinite(factor) && factor > 0.0); }

bool FillProjection(Filler& f, const coordsys_Projection& projection) {
    csib_Block* block = f.block;
    block->originLatitude = projection.OriginLocal.Lat;
    block->originLongitude = projection.OriginLocal.Long;
    block->falseNorthing = projection.OriginGrid.North;
    block->falseEasting = projection.OriginGrid.East;
    block->scaleFactor = projection.Scale;
    if (!UsableGroundFactor(projection.GroundScale.Factor)) return f.Fail(CSIBGLUE_EngineError);
    const int32_t type = projection.ProjectionType;
    if (!QZ_ASSERT(type >= 0 && type <= COORDSYS_ProjectionGrid)) return true;
    const ProjectionRow& row = kProjections[type];
    if (row.build ? !row.build(f, projection, row.kind) : row.kind != 0 && !f.SetProjectionKind(row.kind))
        return false;

    if (!projection.ShiftGridFile.IsEmpty() && !(f.options & CSIBGLUE_SkipShiftGrid)) {
        if (!csib_ShiftGridSupport) return f.Fail(CSIBGLUE_EngineError);
        char path[CSIBGLUE_MaxPath + 2];
        const csib_Status status = csibglue_ModelFilePath(projection.ShiftGridFile, "sgf", path)
                                       ? csib_SetShiftGrid(block, path)
                                       : CSIB_FileOpenFailed;
        if (status < 0 && !f.ModelFailed(status, CSIBGLUE_ShiftGridFile, DropShiftGrid)) return false;
    }
    return true;
}

// --- Corrections, height and horizontal adjustment --------------------------------

// Axis bytes (north, east) by GridOrientation.
constexpr uint8_t kAxes[4][2] = {{1, 1}, {2, 2}, {1, 2}, {2, 1}};

bool ValidOrientation(int32_t orientation) {
    return orientation >= COORDSYS_IncreasingNorthEast && orientation <= COORDSYS_IncreasingSouthEast;
}

void DropGeoid(csib_Block* block) { csib_SetVertical(block, 0, nullptr); }

// Kinds 1 and 4 adjust by the constant alone and take a null origin or slope as 0;
// kinds 2 and 5 need all five values.
bool PrepareHeight(coordsys_Height& h) {
    if (IsNull(h.ElevAdjustment)) return false;
    const bool plane = h.HeightType == COORDSYS_InclinedPlane || h.HeightType == COORDSYS_GeoidAndPlane;
    for (double* x : {&h.OriginNorth, &h.OriginEast, &h.NorthAdjustment, &h.EastAdjustment}) {
        if (!IsNull(*x)) continue;
        if (plane) return false;
        *x = 0.0;
    }
    return true;
}

bool FillHeight(Filler& f, const coordsys_Height& height, const coordsys_Projection& projection,
                int32_t orientation) {
    const int32_t type = height.HeightType;
    if (!QZ_ASSERT(type >= COORDSYS_NoVertical && type <= COORDSYS_GeoidAndPlane)) return true;
    if (type >= COORDSYS_GeoidModel && !(f.options & CSIBGLUE_SkipGeoid)) {
        if (!csib_VerticalKinds[1].slots) return f.Fail(CSIBGLUE_EngineError);
        char path[CSIBGLUE_MaxPath + 2];
        const csib_Status status = csibglue_ModelFilePath(height.GeoidFilename, "ggf", path)
                                       ? csib_SetVertical(f.block, 1, reinterpret_cast<const uint8_t*>(path))
                                       : CSIB_FileOpenFailed;
        if (status < 0 && !f.ModelFailed(status, CSIBGLUE_GeoidFile, DropGeoid)) return false;
    }
    if (type == COORDSYS_NoVertical || type == COORDSYS_GeoidModel) return true;
    coordsys_Height adjustment = height;
    if (!PrepareHeight(adjustment) || !heightConverter) return f.Fail(CSIBGLUE_EngineError);
    heightConverter(projection, orientation, adjustment);
    if (IsNull(adjustment.OriginNorth) || IsNull(adjustment.OriginEast)) return f.Fail(CSIBGLUE_EngineError);
    return f.Check(csibglue_SetVerticalAdjustment(f.block, adjustment));
}

bool UsablePlane(const coordsys_Plane& p) {
    for (double x : {p.OriginNorth, p.OriginEast, p.TranslationNorth, p.TranslationEast, p.Rotation, p.ScaleFactor})
        if (IsNull(x)) return false;
    return p.ScaleFactor > 0.0;
}

bool FillPlane(Filler& f, const coordsys_Plane& plane, const coordsys_Projection& projection, int32_t orientation) {
    if (!QZ_ASSERT(plane.PlaneType == COORDSYS_NoHorizontal || plane.PlaneType == COORDSYS_ValidHorizontal))
        return true;
    if (plane.PlaneType == COORDSYS_NoHorizontal) return true;
    coordsys_Plane adjustment = plane;
    if (!UsablePlane(adjustment) || !planeConverter) return f.Fail(CSIBGLUE_EngineError);
    planeConverter(projection, orientation, adjustment);
    if (!UsablePlane(adjustment)) return f.Fail(CSIBGLUE_EngineError);
    return f.Check(csibglue_SetHorizontalAdjustment(f.block, adjustment));
}

bool Fill(Filler& f, int32_t components, const coordsys_Ellipsoid& ellipsoid, const coordsys_Projection& projection,
          const coordsys_Datum& datum, const coordsys_Plane& plane, const coordsys_Height& height,
          const coordsys_Corrections& corrections) {
    csib_Block* block = f.block;
    if ((components & CSIBGLUE_Datum) && !FillDatum(f, datum)) return false;
    if (components & CSIBGLUE_Ellipsoid) {
        // The other ellipsoid fields are derived again at the read-back.
        block->semiMajorAxis = ellipsoid.EarthRadius;
        block->semiMinorAxis = (1.0 - ellipsoid.Flattening) * ellipsoid.EarthRadius;
    }
    if ((components & CSIBGLUE_Projection) && !FillProjection(f, projection)) return false;
    if (!f.Check(csib_SetProjectionFunctions(block))) return false;
    block->useFixedRadius = 0;
    const int32_t orientation = corrections.GridOrientation;
    if ((components & CSIBGLUE_Corrections) && QZ_ASSERT(ValidOrientation(orientation))) {
        block->options.northAxis = kAxes[orientation][0];
        block->options.eastAxis = kAxes[orientation][1];
    }
    if ((components & CSIBGLUE_Height) && !FillHeight(f, height, projection, orientation)) return false;
    if (!f.Check(csib_SetVerticalFunctions(block))) return false;
    if ((components & CSIBGLUE_HorizontalAdjustment) && !FillPlane(f, plane, projection, orientation)) return false;
    return true;
}

// After a ground origin is set the adjustments' origins move by the ground offsets:
// each is taken back to its definition values and built again.
csib_Status RebuildAdjustments(csib_Block* block) {
    csib_Status status = CSIB_Ok;
    if (block->hasHorizontalAdjustment) {
        const auto* r = static_cast<const csib_HorizontalAdjustment*>(block->horizontalAdjustment);
        coordsys_Plane plane;
        plane.PlaneType = COORDSYS_ValidHorizontal;
        plane.OriginNorth = r->originNorth + block->falseNorthing;
        plane.OriginEast = r->originEast + block->falseEasting;
        plane.TranslationNorth = r->translationNorth;
        plane.TranslationEast = r->translationEast;
        plane.Rotation = r->rotation;
        plane.ScaleFactor = r->scale;
        csib_FreeHorizontalAdjustment(block);
        if ((status = csibglue_SetHorizontalAdjustment(block, plane)) < 0) return status;
    }
    if (block->hasVerticalAdjustment) {
        const auto* r = static_cast<const csib_VerticalAdjustment*>(block->verticalAdjustment);
        coordsys_Height height;
        height.OriginNorth = r->originNorth + block->falseNorthing;
        height.OriginEast = r->originEast + block->falseEasting;
        height.NorthAdjustment = r->slopeNorth;
        height.EastAdjustment = r->slopeEast;
        height.ElevAdjustment = r->constant;
        csib_FreeVerticalAdjustment(block);
        if ((status = csibglue_SetVerticalAdjustment(block, height)) < 0) return status;
    }
    return status;
}

}  // namespace

void csibglue_SetAdjustmentConverters(csibglue_HeightConverter height, csibglue_PlaneConverter plane) {
    heightConverter = height;
    planeConverter = plane;
}

int32_t csibglue_ErrorFromEngine(csib_Status status) {
    switch (status) {
        case CSIB_Ok: return COORDSYS_NoError;
        case -114: case -113: case -112: case -106: case -105: case -104: case -103: case -102: case -101:
        case -37: case -36:
            return CSIBGLUE_ModelFile;
        case -107: case -26: return CSIBGLUE_OutOfMemory;
        default: return CSIBGLUE_EngineError;
    }
}

// The names come from the job: one that could lead out of the shared folder names no
// file at all.
Str csibglue_ModelFileName(const Str& name, const char* extension) {
    if (!path_IsPlainName(name)) return Str();
    const Str full = file_Class(path_MakeFileName("$(SharedDir)", name, extension)).GetFullPath();
    return UniString(full).ToCodePage().Length() > CSIBGLUE_MaxPath ? Str() : full;
}

bool csibglue_ModelFilePath(const Str& name, const char* extension, char* buffer) {
    buffer[0] = 0;
    const Str full = csibglue_ModelFileName(name, extension);
    if (full.IsEmpty()) return false;
    text_Copy(buffer, UniString(full).ToCodePage().Data(), CSIBGLUE_MaxPath + 2);
    return true;
}

bool csibglue_FillCsib(csib_Block** out, int32_t components, const coordsys_Ellipsoid& ellipsoid,
                       const coordsys_Projection& projection, const coordsys_Datum& datum,
                       const coordsys_Plane& plane, const coordsys_Height& height,
                       const coordsys_Corrections& corrections, int32_t options, int32_t* error) {
    csib_Block* block = nullptr;
    const csib_Status status = csib_Create(&block, 1, kWGS84A, kWGS84B);
    if (status != CSIB_Ok) {
        *error = csibglue_ErrorFromEngine(status);
        return false;
    }
    Filler f{block, options, error};
    if (!Fill(f, components, ellipsoid, projection, datum, plane, height, corrections)) {
        csib_Free(&block);
        return false;
    }
    *out = block;
    return true;
}

bool csibglue_BuildCsib(csib_Block** block, int32_t components, const coordsys_Ellipsoid& ellipsoid,
                        const coordsys_Projection& projection, const coordsys_Datum& datum,
                        const coordsys_Plane& plane, const coordsys_Height& height,
                        const coordsys_Corrections& corrections, int32_t options, int32_t* error) {
    *error = COORDSYS_NoError;
    csib_Block* filled = nullptr;
    if (!csibglue_FillCsib(&filled, components, ellipsoid, projection, datum, plane, height, corrections, options,
                           error)) {
        QZ_ASSERT_TEXT(*error != COORDSYS_NoError, "*error != COORDSYS_NoError");
        return false;
    }
    int32_t size = 0;
    csib_Status status = csib_GetSize(filled, 1, &size);
    uint8_t* buffer = status == CSIB_Ok ? static_cast<uint8_t*>(csib_MemAlloc(static_cast<std::size_t>(size)))
                                        : nullptr;
    if (status == CSIB_Ok && !buffer) status = CSIB_OutOfMemory;
    if (status == CSIB_Ok) {
        std::memset(buffer, 0xDB, static_cast<std::size_t>(size));
        status = csib_Write(filled, buffer, 1);
    }
    csib_Free(&filled);
    if (status == CSIB_Ok) status = csib_Read(block, buffer);
    if (status == CSIB_Ok) status = csibglue_SetProjectionOrigin(*block, components, projection);
    if (status == CSIB_Ok && (*block)->hasGroundOrigin) status = RebuildAdjustments(*block);
    csib_MemFree(buffer);
    if (status != CSIB_Ok) {
        csib_Free(block);
        *error = csibglue_ErrorFromEngine(status);
        return false;
    }
    return true;
}

csib_Status csibglue_SetProjectionOrigin(csib_Block* block, int32_t components, const coordsys_Projection& projection) {
    if (!(components & CSIBGLUE_Projection)) return CSIB_Ok;
    const coord_Local& location = projection.GroundScale.ProjectLocation;
    block->hasGroundOrigin = !IsNull(location.Lat) && !IsNull(location.Long) ? 1 : 0;
    if (block->hasGroundOrigin) {
        block->groundOriginLatitude = location.Lat;
        block->groundOriginLongitude = location.Long;
    }
    const double factor = projection.GroundScale.Factor;
    block->groundScaleFactor = IsNull(factor) ? 1.0 : factor;
    block->groundOffsetNorth = 0.0;
    block->groundOffsetEast = 0.0;
    return CSIB_Ok;
}

csib_Status csibglue_AllocProjectionParams(csib_Block* block, int32_t size) {
    void* record = csib_MemAlloc(static_cast<std::size_t>(size));
    if (!record) return CSIB_OutOfMemory;
    std::memset(record, 0, static_cast<std::size_t>(size));
    block->projectionParameters = record;
    return CSIB_Ok;
}

csib_Status csibglue_SetKrovakParams(csib_Block* block, const coordsys_Projection& projection) {
    const csib_Status status =
        csibglue_AllocProjectionParams(block, static_cast<int32_t>(sizeof(csib_KrovakParameters)));
    if (status < 0) return status;
    const double offset = projection.Orientation1;
    static_cast<csib_KrovakParameters*>(block->projectionParameters)->ferroOffset =
        IsNull(offset) ? CSIB_FerroOffset : offset;
    return CSIB_Ok;
}

csib_Status csibglue_SetPlaneParams(csib_Block* block, const coordsys_Projection& projection) {
    const csib_Status status =
        csibglue_AllocProjectionParams(block, static_cast<int32_t>(sizeof(csib_PlaneParameters)));
    if (status < 0) return status;
    auto* record = static_cast<csib_PlaneParameters*>(block->projectionParameters);
    record->originHeight = projection.OriginLocal.Height;
    record->originElevation = projection.OriginGrid.Elev;
    record->rotation = projection.Orientation1;
    return CSIB_Ok;
}

csib_Status csibglue_SetDenmarkArea(csib_Block* block, const coordsys_Projection& projection) {
    const csib_Status status =
        csibglue_AllocProjectionParams(block, static_cast<int32_t>(sizeof(csib_DenmarkParameters)));
    if (status < 0) return status;
    constexpr uint8_t kAreas[] = {0, 2, 1, 3};  // by coordsys_ProjectionArea
    const int32_t area = projection.Area;
    if (QZ_ASSERT(area >= COORDSYS_AreaZeeland && area <= COORDSYS_AreaBornholm))
        static_cast<csib_DenmarkParameters*>(block->projectionParameters)->area = kAreas[area];
    return CSIB_Ok;
}

csib_Status csibglue_LoadUKGridFiles(csib_Block* block, const coordsys_Projection& projection) {
    csib_Status status = csibglue_AllocProjectionParams(block, static_cast<int32_t>(sizeof(csib_UKGridParameters)));
    if (status != CSIB_Ok) return status;
    auto* record = static_cast<csib_UKGridParameters*>(block->projectionParameters);
    char path[CSIBGLUE_MaxPath + 2];
    const struct {
        const Str& name;
        csib_GridFile** grid;
    } grids[] = {{projection.UKNorthGridFile, &record->northShiftGrid},
                 {projection.UKEastGridFile, &record->eastShiftGrid}};
    for (const auto& g : grids) {
        status = csibglue_ModelFilePath(g.name, "pgf", path) ? gridfile_Name(g.grid, block, path) : CSIB_FileOpenFailed;
        if (status != CSIB_Ok) break;
    }
    if (status != CSIB_Ok) {
        gridfile_Close(&record->northShiftGrid);
        gridfile_Close(&record->eastShiftGrid);
        csib_MemFree(record);
        block->projectionParameters = nullptr;
    }
    return status;
}

csib_Status csibglue_SetHorizontalAdjustment(csib_Block* block, const coordsys_Plane& plane) {
    double gn = 0.0, ge = 0.0;
    csib_GetGroundOffset(block, &gn, &ge);
    const double values[6] = {plane.OriginNorth - block->falseNorthing + gn,
                              plane.OriginEast - block->falseEasting + ge,
                              plane.TranslationNorth,
                              plane.TranslationEast,
                              plane.Rotation,
                              plane.ScaleFactor};
    csib_FreeHorizontalAdjustment(block);
    return csib_InstallHorizontalAdjustment(block, values);
}

csib_Status csibglue_SetVerticalAdjustment(csib_Block* block, const coordsys_Height& height) {
    double gn = 0.0, ge = 0.0;
    csib_GetGroundOffset(block, &gn, &ge);
    const double values[5] = {height.OriginNorth - block->falseNorthing + gn,
                              height.OriginEast - block->falseEasting + ge, height.ElevAdjustment,
                              height.NorthAdjustment, height.EastAdjustment};
    csib_FreeVerticalAdjustment(block);
    return csib_InstallVerticalAdjustment(block, values);
}

bool csibglue_ComputeGroundScale(const coordsys_Ellipsoid& ellipsoid, const coordsys_Projection& projection,
                                 double* factor, double* northOffset, double* eastOffset) {
    csib_Block* block = nullptr;
    int32_t error = COORDSYS_NoError;
    if (!csibglue_BuildCsib(&block, CSIBGLUE_Ellipsoid | CSIBGLUE_Projection, ellipsoid, projection,
                            coordsys_Datum(), coordsys_Plane(), coordsys_Height(), coordsys_Corrections(), 0, &error))
        return false;
    const coordsys_GroundPart& ground = projection.GroundScale;
    if (ground.Type == COORDSYS_CalculatedGroundScaleFactor) {
        if (!block->hasGroundOrigin || IsNull(ground.ProjectLocation.Height)) {
            *factor = MATHS_Null;
        } else {
            block->groundScaleFactor = 1.0;
            double combined = MATHS_Null;
            csibglue_CombinedScaleFactor(block, ground.ProjectLocation, ground.ProjectLocation.Height, &combined);
            *factor = IsNull(combined) ? MATHS_Null : maths_Divide(1.0, combined);
            block->groundScaleFactor = *factor;
        }
    }
    *northOffset = 0.0;
    *eastOffset = 0.0;
    // A null factor would scale the origin's grid image past the largest double.
    if (block->hasGroundOrigin && !IsNull(block->groundScaleFactor))
        csib_GetGroundOffset(block, northOffset, eastOffset);
    csib_Free(&block);
    return true;
}

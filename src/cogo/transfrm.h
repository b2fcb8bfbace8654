// The coordinate transform: a job's coordinate-system definitions (its own copies),
// the engine block built from them, and the conversions between WGS84, the local
// datum, the cogo grid, the grid and a locally transformed grid.
//
// The cogo grid is the plane coordinate geometry works in: north and east both
// increasing, with the grid's ground offsets applied. The grid is the same plane in
// the job's own axis orientation, flipped about the false origin.
//
// Every initialisation takes a process-unique id; positions keep the id of the
// transform their derived values came from and treat them as stale under another.
// A conversion without a block, or one the engine refuses, gives a null coordinate.
#pragma once

#include <cstdint>

#include "csib/csib.h"
#include "csib/glue.h"
#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"

class LocalTransformation;

// Component bits: which definitions are in force; the engine glue builds from the same.
inline constexpr uint16_t TRANSFRM_Ellipsoid = CSIBGLUE_Ellipsoid;
inline constexpr uint16_t TRANSFRM_Datum = CSIBGLUE_Datum;
inline constexpr uint16_t TRANSFRM_Projection = CSIBGLUE_Projection;
inline constexpr uint16_t TRANSFRM_HorizontalAdjustment = CSIBGLUE_HorizontalAdjustment;
inline constexpr uint16_t TRANSFRM_Height = CSIBGLUE_Height;
inline constexpr uint16_t TRANSFRM_Corrections = CSIBGLUE_Corrections;
// The projection is scale-only; set by the job index and read by the geometry, not by
// the engine.
inline constexpr uint16_t TRANSFRM_ScaleOnly = 0x40;

// The load flags of the transforms a conversion builds for its roads: every model file
// skipped.
inline constexpr int32_t TRANSFRM_ConversionLoadFlags = 2474;

// The cogo orientation, handed out whole.
struct transfrm_CogoOrientation {
    double AzimuthOffset;  // pi for azimuths reckoned from south
    int32_t GridOrientation;
};

class transfrm_Class {
public:
    transfrm_Class() = default;
    // Defaults, then Initialise; a failure is reported and leaves no block.
    transfrm_Class(uint16_t components, const coordsys_Ellipsoid* ellipsoid, const coordsys_Projection* projection,
                   const coordsys_Datum* datum, const coordsys_Plane* plane, const coordsys_Height* height,
                   const coordsys_Corrections* corrections, int32_t loadFlags);
    transfrm_Class(const transfrm_Class& other) { *this = other; }
    // Every member, the id included (a copy is not stale for positions of its source);
    // the block is cloned.
    transfrm_Class& operator=(const transfrm_Class& other);
    ~transfrm_Class();

    // A new default transform assigned from this one; the caller owns it.
    transfrm_Class* Clone() const;
    // A clone initialised again with these components, so with a new id; null, with
    // *error set, when that fails.
    transfrm_Class* CloneWith(uint16_t components, const coordsys_Ellipsoid* ellipsoid,
                              const coordsys_Projection* projection, const coordsys_Datum* datum,
                              const coordsys_Plane* plane, const coordsys_Height* height,
                              const coordsys_Corrections* corrections, int32_t loadFlags, int32_t* error) const;
    // Back to the defaults, id -1.
    void Reset();

    // Takes a new id, copies the selected definitions (a selected one without its
    // definition is reported and skipped), accumulates the component bits and builds
    // the block again. False with the engine glue's code in *error; the block is then
    // null while the copies and the new id stay.
    bool Initialise(uint16_t components, const coordsys_Ellipsoid* ellipsoid, const coordsys_Projection* projection,
                    const coordsys_Datum* datum, const coordsys_Plane* plane, const coordsys_Height* height,
                    const coordsys_Corrections* corrections, int32_t loadFlags, int32_t* error);

    int32_t GetId() const { return Id; }
    double GetProjectionScale() const { return Projection.Scale; }
    double GetGroundOriginHeight() const { return Projection.GroundScale.ProjectLocation.Height; }
    transfrm_CogoOrientation GetCogoOrientation() const { return {AzimuthOffset, GridOrientation}; }
    bool IsScaleOnly() const { return Projection.ProjectionType == COORDSYS_ScaleOnly; }

    void WGS84ToLocal(const coord_WGS84& wgs84, coord_Local* local) const;
    void LocalToWGS84(const coord_Local& local, coord_WGS84* wgs84) const;
    void LocalToCogoGrid(const coord_Local& local, coord_CogoGrid* cogo) const;
    void LocalToCogoGridAdjusted(const coord_Local& local, coord_CogoGrid* cogo) const;
    void CogoGridToLocal(const coord_CogoGrid& cogo, coord_Local* local) const;
    void CogoGridAdjustedToLocal(const coord_CogoGrid& cogo, coord_Local* local) const;
    coord_CogoGrid GridToCogoGrid(const coord_CorrectedGrid& grid) const;
    coord_CorrectedGrid CogoGridToGrid(const coord_CogoGrid& cogo) const;
    // Null unless the local transformation is given and defined.
    void CogoGridToLocalTransformedGrid(const coord_CogoGrid& cogo, LocalTransformation* transformation,
                                        coord_LocalTransformedGrid* local) const;
    void LocalTransformedGridToCogoGrid(const coord_LocalTransformedGrid& local, LocalTransformation* transformation,
                                        coord_CogoGrid* cogo) const;
    // N = h - H at the point.
    void GeoidSeparation(const coord_WGS84& wgs84, double* separation) const;
    // In place, through the block.
    void ApplyHorizontalAdjustment(coord_CogoGrid* cogo) const;
    void ApplyVerticalAdjustment(coord_CogoGrid* cogo) const;

    // Null for a scale-only transform.
    double GridScaleFactor(const coord_Local& local) const;
    // With the sea-level factor 6378137 / (6378137 + h) where the corrections ask for
    // it; a scale-only transform takes h from the height given, the others from the
    // point, each falling back to the ground-origin height.
    double CombinedScaleFactor(const coord_Local& local, double height) const;

    coordsys_Ellipsoid Ellipsoid;
    coordsys_Projection Projection;
    coordsys_Datum Datum;
    coordsys_Plane Plane;
    coordsys_Height Height;
    double AzimuthOffset = 0.0;
    int32_t GridOrientation = COORDSYS_IncreasingNorthEast;
    uint16_t Components = 0;
    coordsys_Corrections Corrections;
    int32_t LoadFlags = 0;
    csib_Block* Block = nullptr;  // owned
    int32_t Id = -1;

private:
    // The false origin that the axis flips turn about: counted only with a projection.
    void FalseOrigin(double* north, double* east) const;
    void ToCogoGrid(const coord_Local& local, coord_CogoGrid* cogo, bool adjusted) const;
    void ToLocal(const coord_CogoGrid& cogo, coord_Local* local, bool adjusted) const;
    void Adjust(coord_CogoGrid* cogo, void (*adjust)(csib_Block*, csib_GridPoint*)) const;
};

// Null, with *error set, when the block cannot be built; the caller owns the result.
transfrm_Class* transfrm_Create(uint16_t components, const coordsys_Ellipsoid* ellipsoid,
                                const coordsys_Projection* projection, const coordsys_Datum* datum,
                                const coordsys_Plane* plane, const coordsys_Height* height,
                                const coordsys_Corrections* corrections, int32_t loadFlags, int32_t* error);

// The WGS-84 ellipsoid alone, made on first use and kept to the end of the process.
transfrm_Class* transfrm_GetWGS84Transform();

// The ground scale factor and the ground offsets of the projection on the transform's
// ellipsoid; false, changing nothing, when no block can be built.
bool transfrm_ComputeGroundScale(const transfrm_Class* transform, const coordsys_Projection& projection,
                                 double* factor, double* northingDelta, double* eastingDelta);

// The axes of a grid orientation code. Any other code is reported and counts as
// flipped on both axes.
bool transfrm_IsNorthIncreasing(int32_t gridOrientation);
bool transfrm_IsEastIncreasing(int32_t gridOrientation);

// A grid azimuth turned to the cogo grid: + pi for orientations 1 and 3, + pi again for
// south azimuths, in [0, 2pi). Null stays null.
double transfrm_OrientAzimuth(int32_t gridOrientation, bool southAzimuths, double azimuth);

// The adjustment definitions re-expressed in the cogo grid (the origin, with the
// ground offsets, flipped about the false origin as stored; the slopes or translations
// of flipped axes negated), and back. The engine glue calls the first two before it
// builds the adjustments.
void transfrm_VerticalAdjustmentToCogoGrid(const coordsys_Projection& projection, int32_t gridOrientation,
                                           coordsys_Height& height);
void transfrm_HorizontalAdjustmentToCogoGrid(const coordsys_Projection& projection, int32_t gridOrientation,
                                             coordsys_Plane& plane);
void transfrm_VerticalAdjustmentFromCogoGrid(const coordsys_Projection& projection, int32_t gridOrientation,
                                             coordsys_Height& height);
void transfrm_HorizontalAdjustmentFromCogoGrid(const coordsys_Projection& projection, int32_t gridOrientation,
                                               coordsys_Plane& plane);

// Registers what the layers below ask of the transform: the engine glue's adjustment
// converters, and the job index's transform deleter and coordinate-geometry answers.
// The library calls it before a conversion starts.
void transfrm_Register();

// The id the next initialisation takes; for tests.
void transfrm_SetNextId(int32_t id);

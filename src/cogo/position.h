// One named point of a job with every representation of it asked for so far. The
// point is given in one coordinate type (its original); the others are computed on
// demand through the job's transform, cached, and marked known in Status. A value is
// attempted once per transform: a failure is remembered until the transform changes.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "foundation/text/str.h"
#include "jobdb/dbobjectref.h"
#include "records/dbid.h"

class dbAccess;
class dbIndex;
class dbJobIndex;
class dbObject;
class dbRecord_Class;
class dbSelection;
class db_TotalBackBearing;
class LocalTransformation;
class transfrm_Class;
class position_Class;
class position_ReductionRecords;
struct reduce_LaserSettings;

enum : int32_t {
    POSITION_DoneGrid = 0x2,
    POSITION_DoneLocal = 0x4,
    POSITION_DoneUncalibratedLocal = 0x8,
    POSITION_DoneWGS84 = 0x10,
    POSITION_DoneECEFGround = 0x20,
    POSITION_DoneECEF = 0x40,
    POSITION_DoneGround = 0x80,
    POSITION_DoneGridDeltas = 0x100,
    POSITION_DoneECEFDeltas = 0x200,
    POSITION_DonePolar = 0x400,
    POSITION_DoneCircle = 0x800,
    POSITION_DoneCorrected = 0x1000,
    POSITION_DoneUnturned = 0x2000,
    POSITION_DoneLaserOffset = 0x4000,
    POSITION_DoneAntenna = 0x8000,
    POSITION_DoneLocalEllipsoid = 0x10000,
    POSITION_DoneWGS84Ellipsoid = 0x20000,
    POSITION_DoneWGS84W = 0x40000,
    POSITION_DoneConvergence = 0x80000,
    POSITION_DoneLocalW = 0x100000,
    POSITION_DoneGridLocal = 0x200000,
};

// The Status bit of an original type; 0 for a type a position is never given in.
int32_t position_OriginalBit(int32_t type);

// The ECEF of the antenna over the base (its WGS84 raised by the reference antenna
// height) plus the deltas; false and null without a base height or antenna height.
bool position_ECEFFromBase(const coord_WGS84& base, const coord_ECEFDeltas& deltas, coord_ECEF* ecef,
                           double referenceAntenna);

// Ground observation (azimuth, zenith angle, slope distance) and polar (azimuth,
// horizontal distance, vertical difference); a sight within 0.001 degree of the
// vertical has the vertical difference's size as its slope distance.
coord_Polar position_GroundToPolar(const coord_Ground& ground);
coord_Ground position_PolarToGround(const coord_Polar& polar);
// The azimuth of a circle reading oriented by the backsight's reading and azimuth.
coord_Polar position_UnturnedToPolar(const coord_Unturned& unturned, double backsightCircle, double backsightAzimuth);
// The circle reading that points along the polar's azimuth.
coord_Unturned position_PolarToUnturned(const coord_Polar& polar, double backsightCircle, double backsightAzimuth);
// 1 when the backsight's face-2 reading is the one to use with a reading at this
// zenith: a face-2 reading whose backsight has one, or a face-1 reading whose backsight
// has none on face 1.
int position_BackBearingIsMissing(double zenith, const db_TotalBackBearing& backBearing);
// The backsight's circle reading as a face-1 reading: mode 0 face 1, mode 1 face 2,
// any other the mean of both. A mean turned angle is measured from the backsight: 0.
void position_BacksightCircle(const db_TotalBackBearing& backBearing, int mode, bool isMTA, double* out);
// The polar of a laser offset: magnetic azimuth turned by the declination (and by pi
// for south azimuths), the sight moved from the laser to the target height. True when
// the polar is incomplete (the vertical difference is unknown without both heights).
bool position_LaserOffsetToPolar(const coord_LaserOffset& laser, coord_Polar* polar,
                                 const reduce_LaserSettings& settings);

// Named points. The job index keeps one chain of the names being resolved per thread
// slot, at most 50 deep: a name already on it (any case) is a cycle and is refused.
bool position_PushName(dbJobIndex* jobIndex, const Str& name);
void position_PopName(dbJobIndex* jobIndex, const Str& name);
// A new position filled from the best live point of the name: mode 0 the best for GNSS
// bases (search mode 5), mode 1 the best overall (search mode 4). Null when none.
position_Class* position_CreateFromIndex(dbJobIndex* jobIndex, const Str& name, int mode, bool defaultNullHeights);
// The same, resolved under the job index's transform; null when it cannot be. The
// caller owns the position.
position_Class* position_Find(dbJobIndex* jobIndex, const Str& name, int mode, bool defaultNullHeights);
bool position_AzimuthToBest(dbJobIndex* jobIndex, dbSelection& selection, position_Class& base,
                            const transfrm_Class* transform, const Str& backsightName, double* azimuth);
// The azimuth from the station to the backsight: keyed in, the reverse of the station's
// observation from the backsight, or computed to the backsight's best point.
bool position_GetBacksightAzimuth(dbJobIndex* jobIndex, position_Class& base, const transfrm_Class* transform,
                                  const Str& backsightName, double* azimuth, bool* keyedIn);
bool position_BacksightAzimuthOfNames(dbJobIndex* jobIndex, const Str& baseName, const Str& backsightName,
                                      double* azimuth, bool* keyedIn);
// The azimuth of the horizontal circle's zero direction, in [-pi, pi); null when unknown.
double position_OrientationOfBackBearing(dbJobIndex* jobIndex, const db_TotalBackBearing* backBearing);

// The vertical antenna height of the antenna record there: its measured height, or for
// a slant measurement (APCType not 0) the height through its equipment record's offsets.
bool position_ReadAntennaHeight(dbAccess* database, DBID location, double* height);
// sqrt((measured + tape)^2 - horizontalOffset^2) + verticalOffset; false (null) when the
// slant is negative or shorter than the horizontal offset.
bool position_SlantToVertical(double tape, double horizontalOffset, double verticalOffset, double measured,
                              double* height);

class position_Class {
public:
    position_Class();
    // Bound to the index and its transform when the index's job is open.
    explicit position_Class(dbJobIndex* jobIndex);
    // Filled from a point's measurement record (types 8 to 19).
    position_Class(dbJobIndex* jobIndex, const dbRecord_Class* measurement);
    // Copies share the cache: Status, Computing and TransformId come along.
    position_Class(const position_Class& other) = default;
    position_Class& operator=(const position_Class& other) = default;
    ~position_Class() = default;
    // Destroys the position and, with bit 0 of flags, frees it (it came from new);
    // returns the object.
    position_Class* DeletingDestructor(int flags);

    void Reset();
    void ClearCoordinates();
    void Clear();
    void DropBorrowedHeights();

    void SetWGS84(const coord_WGS84& wgs84, const transfrm_Class* transform);
    void SetLocal(const coord_Local& local, const transfrm_Class* transform);
    void SetUncalibratedLocal(const coord_Local& local, const transfrm_Class* transform);
    void SetGrid(const coord_CorrectedGrid& grid, const transfrm_Class* transform);
    void SetCogoGrid(const coord_CogoGrid& cogo, const transfrm_Class* transform);
    void SetGridDeltas(const coord_GridDeltas& deltas, const transfrm_Class* transform);
    void SetECEF(const coord_ECEF& ecef, const transfrm_Class* transform);
    void SetECEFGround(const coord_ECEFGround& ecef, const transfrm_Class* transform);
    void SetECEFDeltas(const coord_ECEFDeltas& deltas, const transfrm_Class* transform);
    void SetPolar(const coord_Polar& polar, const transfrm_Class* transform);
    void SetGround(const coord_Ground& ground, const transfrm_Class* transform);
    void SetUnturned(const coord_Unturned& unturned, double backsightCircle, const transfrm_Class* transform);
    void SetLocalTransformedGrid(const coord_LocalTransformedGrid& grid, const Str& transformationName,
                                 const transfrm_Class* transform);
    void SetLaserOffsetObservation(const coord_LaserOffset& laser, DBID magneticDeclinationLocation,
                                   DBID laserHeightLocation, DBID targetHeightLocation,
                                   const transfrm_Class* transform);
    void SetCircleObservation(const coord_Circle& circle, DBID stationLocation, DBID targetLocation,
                              DBID backbearingLocation, const transfrm_Class* transform);
    void SetMTAObservation(const coord_MTA& mta, DBID stationLocation, DBID targetLocation,
                           DBID backbearingLocation, const transfrm_Class* transform);
    // A circle reading reduced at once in the given environment (its station setup, or
    // its station and backsight names).
    void SetCircleInEnvironment(const position_ReductionRecords* environment, double backsightCircle,
                                const coord_Circle& circle, const transfrm_Class* transform);
    // A laser offset with its polar from the given settings.
    void SetLaserOffset(const coord_LaserOffset& laser, const reduce_LaserSettings& settings,
                        const transfrm_Class* transform);
    void SetCogoSystem(coordsys_CogoSettings system);

    // Fills from the job; each starts from Reset. False when the record, object or
    // index is missing, and for a point whose measurement gives no original.
    void FillFromMeasurement(dbJobIndex* jobIndex, const dbRecord_Class* measurement);
    bool FillFromIndexLocation(const dbObjectRef& reference);
    bool FillFromRecordId(dbIndex* index, DBID id);
    bool FillFromObject(dbObject* object);
    bool FillFromIndexLocationWithHeights(const dbObjectRef& reference, bool defaultNullHeights);
    // NameOfBase (and NameOfBacksight for a back bearing) from the record there.
    void SetBaseFromRecord(dbAccess* database, DBID location);
    // The job index's grid cache of the point at IndexLocation, valid under TransformId.
    bool TakeGridFromIndex();
    void StoreGridInIndex();
    void SetAntenna(double antenna);
    void DefaultAntennaToZero();
    // The antenna height of an ECEF or ECEF-delta original from the job; null otherwise
    // unless one was set.
    double GetAntenna();
    bool ComputeAntenna();

    // Binds the position to the candidate; under another id every derived value goes.
    void CheckTransform(const transfrm_Class* candidateTransform);
    bool IsDoneOrComputing(int32_t mask) const { return ((Status | Computing) & mask) != 0; }
    bool BeginComputing(int32_t bit);

    coord_WGS84 GetWGS84(const transfrm_Class* transform);
    coord_Local GetLocal(const transfrm_Class* transform);
    coord_Local GetUncalibratedLocal(const transfrm_Class* transform);
    coord_CorrectedGrid GetGrid(const transfrm_Class* transform);
    coord_ECEFGround GetECEFGround(const transfrm_Class* transform);
    coord_ECEF GetECEF(const transfrm_Class* transform);
    coord_ECEFDeltas GetECEFDeltas(const transfrm_Class* transform);
    coord_GridDeltas GetGridDeltas(const transfrm_Class* transform);
    coord_Polar GetPolar(const transfrm_Class* transform);
    coord_Ground GetGround(const transfrm_Class* transform);
    coord_Unturned GetUnturned(const transfrm_Class* transform);
    // The stored member for a locally transformed grid original asked without a
    // transformation; otherwise the grid through the given one (null without one).
    coord_LocalTransformedGrid GetLocalTransformedGrid(const transfrm_Class* transform,
                                                       LocalTransformation* transformation);
    coord_CogoGrid GetCogoGrid(const transfrm_Class* transform);
    coord_Circle GetCircle();
    // The corrected reading of a circle or mean-turned-angle original once reduced.
    coord_Corrected GetCorrected();
    coord_LaserOffset GetLaserOffset();
    coord_MTA GetMTA();
    Str GetName() const { return Name; }
    bool IsDefined() const { return Original != COORD_NullType; }
    bool HasOriginal() const { return Original != COORD_NullType; }

    coordsys_Ellipsoid GetLocalEllipsoid(coordsys_CogoSettings mask, const transfrm_Class* transform);
    coordsys_Ellipsoid GetWGS84Ellipsoid(coordsys_CogoSettings mask, const transfrm_Class* transform);
    double GetLocalW(coordsys_CogoSettings mask, const transfrm_Class* transform);
    double GetWGS84W(coordsys_CogoSettings mask, const transfrm_Class* transform);
    double GetGridConvergence(const transfrm_Class* transform);
    // The coordinate distances are reckoned in: 1 cogo grid, 2 local ellipsoid,
    // 3 WGS84, 0 none. Observation originals follow CogoSystem, any other the job
    // index's cogo settings; a scale-only projection is always grid.
    int32_t GetDistanceSystem(const transfrm_Class* transform) const;

    bool ComputeWGS84(const transfrm_Class* transform);
    bool ComputeUncalibratedLocal(const transfrm_Class* transform);
    bool ComputeLocal(const transfrm_Class* transform);
    bool ComputeGrid(const transfrm_Class* transform);
    bool ComputeECEFGround(const transfrm_Class* transform);
    // Values reached through the base point or the antenna: known here only as the
    // original; any other attempt fails.
    bool ComputeECEF(const transfrm_Class* transform);
    bool ComputeECEFDeltas(const transfrm_Class* transform);
    bool ComputeGridDeltas(const transfrm_Class* transform);
    // The polar of an observation or delta original from the base under its transform.
    bool ComputePolarFrom(const transfrm_Class* transform, position_Class* base, const transfrm_Class* baseTransform);
    bool ComputePolar(const transfrm_Class* transform);
    bool ComputeGround(const transfrm_Class* transform);
    // A circle or mean-turned-angle original reduced in its station environment from the
    // job: Corrected, Unturned and BacksightCircle. The transform is not needed.
    bool ReduceCircle(const transfrm_Class* transform = nullptr);
    // The circle reading that the environment's instrument, reading c on its backsight,
    // would show to this point; null parts where it cannot be known.
    void ComputeCircleFromStation(dbJobIndex* jobIndex, const transfrm_Class* transform,
                                  const position_ReductionRecords& environment, double backsightCircle,
                                  coord_Circle* circle);
    bool Resolve(const transfrm_Class* transform);
    // The shift of the grid by the job's station-setup or calibration residuals near the
    // point; not for positions with a given station setup.
    void ApplyNeighbourhoodAdjustment(const transfrm_Class* transform);
    void RemoveNeighbourhoodAdjustment(const transfrm_Class* transform, int32_t originalType);
    bool NeighbourhoodDeltas(const transfrm_Class* transform, int32_t originalType, coord_GridDeltas* deltas);
    bool NeighbourhoodDeltasFromStationSetup(const transfrm_Class* transform, coord_GridDeltas* deltas);
    bool NeighbourhoodDeltasFromCalibration(const transfrm_Class* transform, coord_GridDeltas* deltas);
    void ApplyDefaultHeight(const transfrm_Class* transform);

    Str Name;
    dbObjectRef IndexLocation;
    Str NameOfBase;
    Str NameOfBacksight;
    bool HasStationSetup = false;
    coord_StationSetupData StationSetup;
    int32_t Original = COORD_NullType;
    int32_t Computing = 0;
    int32_t Status = 0;
    coord_LocalTransformedGrid LocalTransformedGrid;
    coord_CorrectedGrid Grid;
    coord_Local Local;
    coord_Local UncalibratedLocal;
    coord_WGS84 WGS84;
    coord_ECEFGround ECEFGround;
    coord_ECEF ECEF;
    coord_Ground Ground;
    coord_GridDeltas GridDeltas;
    coord_ECEFDeltas ECEFDeltas;
    coord_Polar Polar;
    coord_LaserOffset LaserOffset;
    coord_Circle Circle;
    coord_Corrected Corrected;
    coord_Unturned Unturned;
    coord_MTA MTA;
    double BacksightCircle = MATHS_Null;
    double Antenna = MATHS_Null;
    double ReferenceAntenna = MATHS_Null;
    coordsys_Ellipsoid LocalEllipsoid;
    double GridConvergence = MATHS_Null;
    double LocalW = MATHS_Null;
    coordsys_Ellipsoid WGS84Ellipsoid = coordsys_WGS84Ellipsoid;
    double WGS84W = MATHS_Null;
    int32_t TransformId = -1;
    coordsys_CogoSettings CogoSystem;
    dbJobIndex* SearchData = nullptr;  // borrowed
    bool DefaultNullHeights = false;
    DBID DBLocationUnused = NODBID;
    DBID DBLocationOfBase = NODBID;
    DBID DBLocationOfAntenna = NODBID;
    DBID DBLocationOfECEFDeltasReference = NODBID;
    DBID DBLocationOfStation = NODBID;
    DBID DBLocationOfTarget = NODBID;
    DBID DBLocationOfBackBearing = NODBID;
    DBID DBLocationOfMagneticDeclination = NODBID;
    DBID DBLocationOfLaserHeight = NODBID;
    DBID DBLocationOfTargetHeight = NODBID;
    Str TransformationName;
    bool HeightBorrowed = false;

private:
    // The resolved base point (NameOfBase) in resolution mode 0 (ECEF bases) or 1.
    std::unique_ptr<position_Class> FindBase(int mode) const;
    // The point the polar of this observation gives from the base, or null.
    std::unique_ptr<position_Class> PlaceFromBase(const transfrm_Class* transform, position_Class& base,
                                                  const transfrm_Class* baseTransform,
                                                  const transfrm_Class* placeTransform);
    bool ObservationWGS84(const transfrm_Class* transform);
    bool ObservationUncalibratedLocal(const transfrm_Class* transform);
    bool ObservationGrid(const transfrm_Class* transform);
    bool ResolveObservation(const transfrm_Class* transform);
    void BeginOriginal(int32_t type, const transfrm_Class* transform);
    void ClearRecordLocations();
    void NullDerived();
    template <class Coord>
    Coord Get(const transfrm_Class* transform, Coord* member, bool (position_Class::*compute)(const transfrm_Class*));
    bool OriginalOnly(int32_t bit);
    coordsys_Ellipsoid CachedEllipsoid(int32_t bit, coordsys_Ellipsoid* cache, const coordsys_Ellipsoid& base,
                                       double height, coordsys_CogoSettings mask, const transfrm_Class* transform);
};

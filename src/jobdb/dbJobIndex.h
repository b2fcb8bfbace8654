// dbJobIndex: the object index of an open job. It makes one object per point, line,
// arc, back bearing, station, traverse, target and local transformation record (in
// chain order, so subscripts follow record ids), keeps every object in a selection
// sorted by name, follows each committed transaction of its job, and works out the
// best-point status bits of its points lazily. Indexes attached to it (other jobs,
// point files) take part in the best point of a name through their root.
//
// The main index borrows its job and access object; an attached job index's job is
// closed and freed by the index it is attached to.
//
// The index owns the job's coordinate transform. Transforms are made by the coordinate
// geometry, which this subsystem does not link: whatever makes a transform registers
// how to delete one (dbJobIndex_SetTransformDeleter) before handing it over.
#pragma once

#include "foundation/coords/coordsys.h"
#include "foundation/text/str.h"
#include "jobdb/dbindex.h"
#include "jobdb/dbselection.h"

class JobDatabase;
class dbAccess;
class dbTransaction;
class dbRecord_Class;
class db_Arc;
class LocalTransformation;
class ObservationObject;
class position_Class;
class position_ReductionRecords;
class transfrm_Class;

using dbJobIndex_TransformDeleter = void (*)(transfrm_Class* transform);
// Registered once by the code that makes transforms; the index calls it to delete the
// transform it holds. Without one a held transform cannot be freed and is reported.
void dbJobIndex_SetTransformDeleter(dbJobIndex_TransformDeleter deleter);

// The cogo mask for computing positions under a transform of these component bits
// (ellipsoid 1, datum 2, projection 4, height 0x10, scale-only 0x40) and projection
// kind. Without corrections distances stay grid distances.
BitMask dbJobIndex_DefaultCogoSettings(const coordsys_Corrections* corrections, uint32_t components,
                                       int32_t projectionKind);

// What the coordinate geometry gives back from solving an arc record.
struct dbJobIndex_ArcSolution {
    coord_CorrectedGrid Start;   // the start position's grid
    coord_CorrectedGrid Centre;  // the centre position's grid
    Str StartName;               // the names of the start and end positions
    Str EndName;
    double StartAzimuth = MATHS_Null;  // centre to start
};

// What the coordinate geometry answers about a transform it made, registered by the
// same code as the deleter. A member left null answers as if nothing were registered.
struct dbJobIndex_CoordinateGeometry {
    // A transform from the six definitions; null, with *error set, when it cannot be
    // built. The caller owns it.
    transfrm_Class* (*CreateTransform)(uint16_t components, const coordsys_Ellipsoid* ellipsoid,
                                       const coordsys_Projection* projection, const coordsys_Datum* datum,
                                       const coordsys_Plane* plane, const coordsys_Height* height,
                                       const coordsys_Corrections* corrections, int32_t loadFlags,
                                       int32_t* error) = nullptr;
    // The component bits the transform was built with.
    uint16_t (*TransformComponents)(const transfrm_Class* transform) = nullptr;
    // The grid of a point's measurement record under the index's transform; false when
    // the point cannot be resolved.
    bool (*GridOfMeasurement)(dbJobIndex* index, const dbRecord_Class* measurement,
                              coord_CorrectedGrid* grid) = nullptr;
    // The end of a line from the point at the reference along the azimuth at the grade
    // over the horizontal length.
    void (*BearingDistanceEnd)(dbJobIndex* index, const dbObjectRef& start, double azimuth, double grade,
                               double length, coord_CorrectedGrid* end) = nullptr;
    // Solves the arc record by its method, writing its derived fields back; the cogo
    // result code (0 solved).
    int (*SolveArc)(dbJobIndex* index, db_Arc* arc, dbJobIndex_ArcSolution* solution) = nullptr;
    // A new local transformation of the name from its definition record (line or
    // Helmert); a null transformation for anything else or no record.
    LocalTransformation* (*MakeLocalTransformation)(dbJobIndex* index, const Str& name,
                                                   const dbRecord_Class* definition) = nullptr;
    LocalTransformation* (*CopyLocalTransformation)(const LocalTransformation* transformation) = nullptr;
    void (*DeleteLocalTransformation)(LocalTransformation* transformation) = nullptr;
    // The grid orientation code, 0..3.
    int (*GridOrientation)(const transfrm_Class* transform) = nullptr;
    // Azimuths are reckoned from south.
    bool (*SouthAzimuths)(const transfrm_Class* transform) = nullptr;
    // The azimuth turned to the grid orientation and south setting, in [0, 2 pi).
    double (*OrientAzimuth)(int gridOrientation, bool southAzimuths, double azimuth) = nullptr;
    // Fills the position from the object of that record id in the index; false when it
    // cannot.
    bool (*FillFromRecordId)(position_Class* position, dbIndex* index, DBID id) = nullptr;
    // Fills the position from the point object at the reference; false when it cannot.
    bool (*FillFromIndexLocation)(position_Class* position, const dbObjectRef& reference) = nullptr;
    // The position's one-byte option, which a fill may overwrite.
    uint8_t (*GetPositionOption)(const position_Class* position) = nullptr;
    void (*SetPositionOption)(position_Class* position, uint8_t option) = nullptr;
    // reduce_GetStationSetup: the station, target and back bearing records into the
    // setup; true only when every one was read.
    bool (*GetStationSetup)(dbAccess* access, DBID station, DBID target, DBID backBearing,
                            position_ReductionRecords* setup) = nullptr;
};
// Keeps a copy; null forgets the registered one.
void dbJobIndex_SetCoordinateGeometry(const dbJobIndex_CoordinateGeometry* geometry);
// The registered answers; every member null when nothing is registered.
const dbJobIndex_CoordinateGeometry& dbJobIndex_GetCoordinateGeometry();
// Of the index's transform; without an index, a transform or a registered answer: code
// 0, not south.
int dbJobIndex_GridOrientation(const dbJobIndex* index);
bool dbJobIndex_SouthAzimuths(const dbJobIndex* index);
// Without a registered answer the azimuth normalised to [0, 2 pi), as for code 0 and
// north azimuths.
double dbJobIndex_OrientAzimuth(int gridOrientation, bool southAzimuths, double azimuth);

// Load flags of a coordinate-system set-up.
enum : int {
    DBJOBINDEX_LoadGeoid = 0x4,                 // the height uses a geoid model
    DBJOBINDEX_LoadGridDatum = 0x10,            // datum from a grid file
    DBJOBINDEX_LoadWithoutGroundHeight = 0x200, // set by the caller
    DBJOBINDEX_LoadRTCMGrid = 0x400,            // RTCM grid datum with a grid file
};
// The set-up's error for a projection without a ground-origin height.
inline constexpr int DBJOBINDEX_NoGroundHeight = 11;
// The file names a set-up reports: geoid, datum grid, RTCM grid, the two national grid
// files, the projection grid and the shift grid.
inline constexpr int DBJOBINDEX_FileNameCount = 7;

class db_Ellipsoid;
class db_Datum;
class db_Projection;
class db_Plane;
class db_Height;
class db_Corrections;
// Loads the newest record of each of the six types and sets the component bits (1
// ellipsoid, 2 datum, 4 projection, 8 plane, 0x10 height, 0x20 corrections, 0x40
// scale-only) and load flags they call for. Always true.
bool dbJobIndex_LoadCoordinateSystemRecords(dbAccess* database, uint16_t& components, db_Ellipsoid& ellipsoid,
                                            db_Datum& datum, db_Projection& projection, db_Plane& plane,
                                            db_Height& height, db_Corrections& corrections, int& loadFlags);

// One candidate for the best point of a name.
class dbPointSearchResult {
public:
    // Classification None, method 0, index 0, no record, null reference.
    bool IsEmpty() const {
        return Classification.value == db_PointClassification::None && Method == 0 && IndexNumber == 0 &&
               RecordId == NODBID && UniqueId.IsNull();
    }
    // No classification: the candidate stands for no point.
    bool IsNone() const { return Classification.value == db_PointClassification::None; }

    db_PointClassification Classification;
    int32_t Method = 0;
    int32_t IndexNumber = 0;
    DBID RecordId;
    dbObjectRef UniqueId;
    // For a mean-turned-angle point, the method it amounts to.
    int32_t UnderlyingMethod = 0;
    int32_t MeasurementType = DATABASE_NoRecordType;
};

// The five best candidates of a name: overall; measurement types 8, 9, 11; 13, 14, 17,
// 19; all but 14; 14 only. A search changes a slot only while it is wanted, and a
// slot stays wanted while it is empty.
class dbBestPointTable {
public:
    enum { Overall = 0, Gnss = 1, Grid = 2, NotLocalGrid = 3, LocalGrid = 4, SlotCount = 5 };

    dbPointSearchResult Results[SlotCount];
    bool Wanted[SlotCount] = {true, true, true, true, true};

    bool AnyWanted() const;
};

// The measurement categories of the best-point slots: ECEF deltas, ECEF and WGS84; grid,
// local transformed grid, circle and mean turned angle.
bool dbJobIndex_IsGnssMeasurement(int type);
bool dbJobIndex_IsGridMeasurement(int type);

// The precedence of point methods and classifications behind the best point.
bool dbJobIndex_IsObservedMethod(int32_t method);
bool dbJobIndex_IsAngleMethod(int32_t method);
// Method b is weaker than method a.
bool dbJobIndex_IsWeakerMethod(int32_t a, int32_t b);
bool dbJobIndex_PreferOnTie(int candidateType, int bestType);
bool dbJobIndex_HasRankedClassification(const db_PointClassification& classification);
// A circle reading or angle observation against a mean turned angle; false when either
// object cannot be resolved.
bool dbJobIndex_MtaScenario(const dbPointSearchResult& candidate, const dbPointSearchResult& best);
// The candidate should take the current's place; equally good candidates win, so the
// oldest of equal points ends up best when points are offered newest first.
bool dbJobIndex_IsBetterPoint(const dbPointSearchResult& candidate, const dbPointSearchResult& current);

inline constexpr const char* JobIndex_ClassName = "dbJobIndex";
inline constexpr int DBJOBINDEX_ChainCount = 30;

class dbJobIndex : public dbIndex {
public:
    dbJobIndex() = default;
    ~dbJobIndex() override;

    // Drops the job, its access object, the transform and anything cached; called on a
    // new index before it is attached. The main index borrows its job, so nothing of it
    // is deleted.
    virtual void Reset();
    // Binds the index to the job and its access object (borrowed), registers it and
    // builds its objects. False when no index number is free (the index stays empty).
    virtual bool AttachJob(JobDatabase* job);
    // One object per indexable record in chain order and the name selection, sorted
    // once. A second build only clears the computed flags.
    bool Build();
    // The object a record makes, or null; the caller owns it.
    dbObject* CreateObject(const dbRecord_Class* record) const;
    // Brings the index up to date with one committed transaction.
    virtual void FollowTransaction(dbTransaction* transaction);
    // Closes the attached indexes, then frees the objects and the transform.
    void Clear() override;

    // The job file of Database; empty without one.
    Str GetFullPath() const override;
    Str GetFileName() const override;
    // The same path reached through Job; empty without a job or access object.
    Str GetJobFilePath() const;
    dbSelection& GetNameSelection() override { return _SortedByName; }
    bool FindBestPoints(const char* name, dbBestPointTable& table, uint32_t& status) override;
    // The coordinates of a point (from its measurement, flags 1 and 16), a line or arc
    // (from its record and points, flags 1 and 8), a group's members; anything else
    // gets flags 1 and 8. A point the index cannot resolve, for want of a transform or
    // of a registered coordinate geometry, is computed with null coordinates.
    bool ComputeObject(dbObject* object) override;
    // The best-point bits of a point (and of every other point of its name, which share
    // one search); flag 8 for any object.
    void ComputeStatusBits(dbObject* object) override;
    // Clears 0x3F7C of status and sets the bits the point of that record id and index
    // number earns among the points of the name. `ownIndex`: the index is its own root.
    void ComputeBestPointBits(const char* name, DBID recordId, int indexNumber, uint32_t& status, bool ownIndex);

    // ------------------------------------------------ look-ups
    // Every item of the name and record type (162 any), oldest first; true when any.
    bool SelectByName(const char* name, int recordType, dbSelection& out);
    // Every object of one record type in subscript order; true when any.
    virtual bool SelectByType(int type, dbSelection& selection) const;
    // The db_Target record (type 127) of the newest target of that name, or null.
    virtual const dbRecord_Class* FindTargetRecord(const Str& name) const;
    // The point of the name whose status has bit 4, else its first point; null for an
    // empty name or a name without points.
    dbObjectRef FindPointReference(const char* name);
    // More than the threshold of point records in the job.
    bool HasManyPoints() const;

    // The best item of the selection, scanning from the last: deleted items and hidden
    // methods (46, 48) are passed over; any item that is not a point is taken without
    // comparison, so the oldest such item wins over the points. itemNum is -1 for none.
    // A job point without its record makes the answer false.
    bool FindBest(dbSelection& selection, int& itemNum);
    dbObject* FindBestObject(dbSelection& selection);
    // Narrowing filters: each keeps the points (record type 2) that pass, in order.
    void KeepPositionPoints(dbSelection& selection);  // method not 32
    void KeepGnssPoints(dbSelection& selection);      // measurement 8, 9, 11
    void KeepGridPoints(dbSelection& selection);      // measurement 13, 14, 17, 19
    void KeepNonLocalGridPoints(dbSelection& selection);
    void KeepLocalGridPoints(dbSelection& selection);
    // Angle observations (33..45, 47) of a ranked classification taken from the station.
    void KeepStationObservations(dbSelection& selection, DBID station);
    // The best point of the name after the filter; null when none is left.
    ObservationObject* FindBestPointObject(const char* name);
    ObservationObject* FindBestGnssPoint(const char* name);
    ObservationObject* FindBestGridPoint(const char* name);
    ObservationObject* FindBestNonLocalGridPoint(const char* name);
    ObservationObject* FindBestLocalGridPoint(const char* name);

    // A name not held as spelt but held in another case takes the stored spelling.
    void NormaliseName(Str& name, int recordType);
    // The first item of the name (any record type) made from that record; null otherwise.
    dbObjectRef FindReferenceByRecordId(const char* name, DBID id);

    // The newest non-deleted record of the name with the type of `record`, copied into
    // it; recordLocation and itemNum tell where it is. False for an empty name, none, or
    // a record the job does not hold (reported).
    bool LoadLast(const Str& name, dbRecord_Class& record, DBID& recordLocation, int& itemNum);
    // The next older one from itemNum, loaded the same way.
    bool LoadPrevious(const Str& name, dbRecord_Class& record, DBID& recordLocation, int& itemNum);
    // The object of the newest non-deleted item of the name and type, or null.
    dbObject* FindLast(const Str& name, int recordType);
    dbObject* FindLast(const char* name, int recordType);

    // The station of a circle reading or mean turned angle; NODBID for anything else.
    DBID StationOfObservation(DBID observation);
    // The best azimuth-only point of the name measured from the source point (any case).
    ObservationObject* FindAzimuth(const char* name, const char* sourcePoint);
    ObservationObject* FindObservationFromStation(const char* name, DBID station);
    // The best observation of the point from a station of that name, and, when
    // otherName is given, from a station that also observed otherName.
    bool FindObservationFromNamedStation(const char* pointName, const char* otherName, const char* stationName,
                                         DBID& observation, DBID& station);
    // The newest mean turned angle of the name (hidden or not) observed after the
    // station was set up; null at the first older point.
    dbObject* FindMtaAfterStation(const char* name, DBID station);
    ObservationObject* FindMtaOfCurrentStation(const char* name);
    // The newest reading of the point to the newest back bearing; null once a reading
    // derived "RS" is met. meanTurnedAngle gets the newest mean turned angle passed.
    ObservationObject* FindBackSightObservation(const char* pointName, DBID& meanTurnedAngle);
    // The station set-up of a circle reading through the coordinate geometry.
    bool GetStationSetupOfRecord(DBID observation, position_ReductionRecords& setup);

    // ------------------------------------------------ attached indexes
    // Registers the index and keeps it under its number; a job index becomes its own
    // owner, any other is owned by this one; this index is its root. The owner.
    dbIndex* AttachIndex(dbIndex* index);
    dbIndex* GetAttachedIndex(int number) const;
    // Closes and frees the index under that number; a job index takes its job with it.
    void CloseAttachedIndex(int number);

    // The class check of a job index.
    bool CheckClassName() const;

    // Builds Transform and CogoSettings from the job's coordinate-system records; model
    // files are looked up among the shared files and a geoid or datum grid found under
    // another name is written back to the job. False, with the transform unchanged, on
    // error 11 (a projection without a ground-origin height, unless load flag 0x200) or
    // the transform's own error code.
    bool SetUpCoordinateSystem(int& error, int& loadFlags, Str fileNames[DBJOBINDEX_FileNameCount]);

    // ------------------------------------------------ local transformations
    // The id of the oldest live local transformation record of the name; NODBID for an
    // empty name or none.
    DBID FindLocalTransformationId(const Str& name);
    // From the record at start on in chain order: the first line or Helmert definition
    // (name set from a local transformation record passed on the way); null at an end
    // entity or the end of the chain.
    const dbRecord_Class* FindLocalTransformationDefinition(DBID start, Str& name);
    // A new transformation of the id, owned by the caller (free it with
    // dbJobIndex_DeleteLocalTransformation): the null one for NODBID or no definition, a
    // copy of the cached one for the cached id. Null when nothing makes transformations.
    LocalTransformation* BuildLocalTransformation(DBID id);
    LocalTransformation* FindLocalTransformation(const Str& name);
    // Caches the transformation of the id unless it is cached already.
    void SetCurrentLocalTransformation(DBID id);
    DBID SelectLocalTransformation(const Str& name);
    // The cached transformation after making current the job's local reference one.
    LocalTransformation* GetCurrentLocalTransformation();
    Str GetLocalReferenceTransformationName();
    // The cached name for the cached id, else the name of the record with that id.
    Str GetLocalTransformationName(DBID id);
    void ResetLocalTransformation();
    DBID GetCachedLocalTransformationId() const { return _CachedLocalTransformationId; }

    // Takes over a transform made for this job (the old one is freed) and sets
    // CogoSettings to the default mask of its corrections, component bits and
    // projection kind.
    void SetTransform(transfrm_Class* transform, const coordsys_Corrections* corrections, uint32_t components,
                      int32_t projectionKind);

    // The job's access object, borrowed; JobDatabase::Close sets it to null first.
    dbAccess* Database = nullptr;
    // The job's coordinate transform, owned.
    transfrm_Class* Transform = nullptr;
    JobDatabase* Job = nullptr;
    // The COORDSYS_Cogo* bits that go with Transform.
    uint32_t CogoSettings = 0;
    // Point names being resolved, one chain per thread slot: a cyclic definition is
    // refused.
    StrArray resolutionChainNames[DBJOBINDEX_ChainCount];

protected:
    void DeleteTransform();
    void ClearChains();

    const char* ClassName = nullptr;
    int32_t LazyTask = -1;
    int32_t _PointThreshold = 50;
    dbSelection _SortedByName;
    dbIndex* _AttachedIndexes[DBINDEX_IndexCount] = {};
    // The id of the cached local transformation: all bits set for none.
    DBID _CachedLocalTransformationId{0xFFFFFFFFu};
    LocalTransformation* _CachedLocalTransformation = nullptr;  // owned
    Str _CachedLocalTransformationName;

private:
    // The tables of the name over this index and, for an attached index, over its root
    // and the root's attached indexes.
    void FindBestTables(const char* name, dbBestPointTable& own, dbBestPointTable& overall, uint32_t& status,
                        bool ownIndex);
    // The slot bits a point earns from the tables.
    static uint32_t BitsFrom(const dbBestPointTable& own, const dbBestPointTable& overall, int indexNumber,
                             DBID recordId, bool ownIndex);
    // Name-order upkeep of a transaction before its actions are followed.
    void KeepNameOrder(dbTransaction* transaction);
    // The rules after an action on a point: previousStatus is the transaction's (the
    // last replaced object's), statusBefore the point's own before the action.
    void AfterPointAction(dbObject* point, const char* name, uint32_t previousStatus, uint32_t statusBefore,
                          uint32_t newStatus);
    // Clears flag 8 of every point of the name in this index.
    void ClearPointStatus(const char* name);
    // Clears the computed flags of every point, line and arc from the first point of
    // the name, or from `from` when that comes first, and of the name's points in the
    // attached indexes; where the clearing started.
    int ClearFromFirstPoint(const char* name, int from);
    // Clears, before `from`, the objects that rest on a point of the name and, in turn,
    // those that rest on the names of points among them; without a name, every object
    // that rests on any point.
    void ClearDependents(const char* name, int from);
    // The object's values may rest on a point of the name (any point without a name):
    // a line or arc on it, a point measured from it (or from records not read here).
    bool RestsOn(const dbObject& object, const Str* name) const;
    // The record of that id, the base of a measurement, names the point (or may).
    bool RecordRestsOn(DBID id, const Str* name) const;
    // An action on a record of this type may change what a local transformation is.
    static bool MovesLocalTransformations(int type, int operation);
    // A point's status bits before the action being followed.
    static uint32_t StatusBefore(const dbObject& object);
    // The object with that record id, or null.
    dbObject* ObjectOfRecord(DBID id) const;
    // The given object takes the place of the object of its record, with its flags less
    // the computed ones; false (reported, the given object freed) when there is none.
    bool ReplaceWith(dbObject* newObject, uint32_t& previousStatus, int& subscript);
    // The filter triple of a line or arc record.
    static dbFilterTriple ShapeFilterOf(const dbRecord_Class* record);
    void ComputePoint(dbObject* object);
    void ComputeLine(dbObject* object);
    void ComputeArc(dbObject* object);
    // The grid of the live point at the reference, or null; `point` tells whether there
    // is one.
    coord_CorrectedGrid GridOfReference(const dbObjectRef& reference, const char* check, bool& point);
    // Clears the flags of the points, and lines and arcs too when asked, from the
    // subscript to the end.
    void ClearFlagsFrom(int subscript, uint16_t flags, bool withLinesAndArcs);
};

// Frees a transformation the index handed out; null is fine.
void dbJobIndex_DeleteLocalTransformation(LocalTransformation* transformation);

// The position of the best point of the name in this index, filled by the registered
// coordinate geometry; the position's option byte survives the fill. False when the
// name has no point or nothing fills positions.
bool dbJobIndex_PositionOfName(dbJobIndex* index, const Str& name, position_Class& position);
// The same, then through the attached indexes by number: point and background files by
// the name in any case, attached jobs by their best point. The name takes the spelling
// of the index that holds it.
bool dbJobIndex_PositionOfNameAnyIndex(dbJobIndex* index, Str& name, position_Class& position);
// The reference of the object the lookup answers for the name, or null.
using dbJobIndex_Lookup = dbObject* (*)(void* argument, const char* name);
dbObjectRef dbJobIndex_ReferenceFromLookup(dbJobIndex_Lookup lookup, void* argument, const Str& name);

// The index as a job index; null (reported) for a null index or another class.
dbJobIndex* dbJobIndex_FromIndex(dbIndex* index);
// The same, reported unless the index is a database-file index.
dbJobIndex* dbJobIndex_FromDatabaseIndex(dbIndex* index);
// The index when it is a job index that is its own owner; null without a report.
dbJobIndex* dbIndex_AsJobIndex(dbIndex* index);

// Makes the job index of a JobDatabase: a dbJobIndex unless another maker is registered
// (a null maker restores the default).
using dbJobIndex_Maker = dbJobIndex* (*)();
void dbJobIndex_SetMaker(dbJobIndex_Maker maker);
dbJobIndex* dbJobIndex_New();

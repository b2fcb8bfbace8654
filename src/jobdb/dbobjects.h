// The objects an index holds, one per indexed record or file entry.
//
//   dbObject                   base: record type, flags, own reference, record id,
//                              filter triple (jobdb/dbfilter.h)
//   ObservationObject      2   a point observation of a job, with its grid coordinates
//   CSVPointObject         2   a point of a comma-separated point file
//   BackgroundPointObject  2   a point of a background file
//   LineObject             3   a line of a job; BackgroundLineObject, of a background file
//   ArcObject              4   an arc of a job; BackgroundArcObject, of a background file
//   BackBearingObject      23, StationObject 25, TraverseObject 113, TargetObject 127,
//   LocalTransformationObject 149: a job record and nothing more
//   RoadObject             164 a road, through a small road interface
//   GroupObject            165 a group of objects it owns
//
// Flags: 0x1 horizontal coordinates computed, 0x2 end flag held (hit tests leave the
// near-end flag alone), 0x8 status bits computed, 0x10 elevation computed, 0x20 removed
// (a placeholder for a record the job no longer holds). Coordinates and status bits are
// worked out lazily by the owning index, the one registered under the object's own
// reference; a job object reads its record from that index's access object.
//
// Casts test the record type: a point cast accepts every point class, so callers that
// need a job record test the index's file type first. The casts to the file classes
// also require an owning index of that file kind, since a job object of the same
// record type is not one of them.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/coords/coord.h"
#include "foundation/text/str.h"
#include "jobdb/dbfilter.h"
#include "jobdb/dbindex.h"
#include "records/classification.h"
#include "records/dbRecord.h"

class db_Observation;
class db_ResectErrors;

// Flags of an index object.
enum : uint16_t {
    DBOBJECT_HorizontalComputed = 0x1,
    DBOBJECT_EndFlagHeld = 0x2,
    DBOBJECT_StatusComputed = 0x8,
    DBOBJECT_ElevationComputed = 0x10,
    DBOBJECT_Removed = 0x20,
};

// The record types of the objects that stand for no job record type of their own.
inline constexpr int DBOBJECT_RoadType = 164;
inline constexpr int DBOBJECT_GroupType = 165;

class dbObject {
public:
    explicit dbObject(int recordType) : _RecordType(recordType) {}
    dbObject(const dbObject&) = delete;
    dbObject& operator=(const dbObject&) = delete;
    virtual ~dbObject() = default;

    // The job record's name; the empty text when the record is gone.
    virtual const char* GetName() const;
    // The job record's feature codes as one text; empty (reported "rec") for a record
    // without features.
    virtual Str GetCode() const;
    virtual const dbrecord_Descriptions* GetDescriptions() const;
    virtual Str GetNotes() const;
    virtual bool IsBackgroundGeometry() const;

    int GetRecordType() const { return _RecordType; }
    uint16_t GetFlags() const { return _Flags; }
    uint16_t* GetFlagsWord() { return &_Flags; }
    void SetFlags(uint16_t mask) { _Flags |= mask; }
    void ClearFlags(uint16_t mask) { _Flags &= static_cast<uint16_t>(~mask); }
    bool HasFlag(uint16_t mask) const { return (_Flags & mask) != 0; }
    dbObjectRef GetReference() const { return _UniqueId; }
    void SetReference(int index, int subscript) { _UniqueId = dbObjectRef(index, subscript); }
    DBID GetRecordId() const { return _RecordId; }
    // Set once, to a real id; a second call is reported and still overwrites.
    void SetRecordId(DBID id);
    const dbFilterTriple& GetFilter() const { return _Filter; }
    void SetFilter(const dbFilterTriple& triple) { _Filter = triple; }
    uint32_t GetKind() const { return _Filter.Kind; }
    uint32_t GetCategory() const { return _Filter.Category; }
    // The status bits, worked out by the owning index first unless flag 0x8 is set.
    uint32_t GetStatusBits();
    bool IsBestInIndex() { return (GetStatusBits() & 0x84) != 0; }
    bool IsBestInIndexGnss() { return (GetStatusBits() & 0xC0) != 0; }
    bool IsBestInIndexGrid() { return (GetStatusBits() & 0x88) != 0; }
    bool IsBestInIndexLocalGrid() { return (GetStatusBits() & 0xA0) != 0; }
    bool IsBestInIndexNotLocalGrid() { return (GetStatusBits() & 0x90) != 0; }
    bool IsDeleted() const { return (_Filter.Category & 0x2) != 0; }
    // A road object also tells its road.
    void SetEndFlagHeld(bool held);
    void SetRemoved(bool removed);

    // The index registered under the object's reference, or null.
    dbIndex* GetIndex() const { return _UniqueId.GetIndex(); }
    // The owning index as a job index; reported and null for any other.
    dbJobIndex* GetJobIndex() const;
    // Records of the job, owned by its model; null when there is no such record.
    dbRecord_Class* GetRecordById(DBID id) const;
    dbRecord_Class* GetRecord() const { return GetRecordById(_RecordId); }
    // The first record of that type after the object's own in chain order; null at a
    // db_EndEntity that is not itself wanted, or at the end of the chain.
    dbRecord_Class* FindFollowingRecord(int type) const;
    // Quality records following the object's record (types 28, 29, 30, 31); the classes
    // of these records are not built yet, so the record comes as its base class.
    dbRecord_Class* FindQC1() const { return FindFollowingRecord(DATABASE_QC1Record); }
    dbRecord_Class* FindQC2() const { return FindFollowingRecord(DATABASE_QC2Record); }
    dbRecord_Class* FindQC3() const { return FindFollowingRecord(DATABASE_QC3Record); }
    dbRecord_Class* FindPrecision() const { return FindFollowingRecord(DATABASE_PrecisionRecord); }
    db_ResectErrors* FindResectErrors() const;
    // The job record of a target object (type 127); reported and null for another type.
    dbRecord_Class* GetTarget() const;

protected:
    int32_t _RecordType;
    uint16_t _Flags = 0;
    dbObjectRef _UniqueId;
    DBID _RecordId;
    dbFilterTriple _Filter;
};

// A point observation of a job.
class ObservationObject : public dbObject {
public:
    ObservationObject() : dbObject(DATABASE_ObservationRecord) {}

    const dbrecord_Descriptions* GetDescriptions() const override;
    Str GetNotes() const override;
    virtual const FeatureArray* GetFeatures() const;
    virtual db_PointClassification GetClassification() const;
    virtual int32_t GetMethod() const;
    virtual int32_t GetUnderlyingMethod() const { return _UnderlyingMethod; }
    virtual db_Observation* GetObservation() const;
    // The type of the point's measurement record (8..19); 163 when it has none.
    virtual int GetMeasurementType() const;
    virtual db_Measurement* GetMeasurement() const;
    virtual coord_Type GetCoordType() const;
    // The grid coordinates, worked out by the owning index when flag 0x1 is clear.
    virtual const coord_CorrectedGrid& GetHorizontalCoordinates();
    // The same when 0x1 or 0x10 is clear.
    virtual const coord_CorrectedGrid& GetCoordinates();
    virtual bool HasHorizontal();
    virtual bool HasVertical();
    virtual void SetUnderlyingMethod(int32_t method) { _UnderlyingMethod = method; }

    // Stores the coordinates: flags 0x1 and 0x10 when complete, else 0x1 with 0x10
    // cleared, so the elevation is asked for again.
    void SetCoordinates(const coord_CorrectedGrid& grid, bool complete);
    // The target (type 127) of a circle reading or mean turned angle; null otherwise.
    dbRecord_Class* GetTargetRecord() const;
    // The antenna (type 42) of ECEF deltas or an ECEF position; null otherwise.
    dbRecord_Class* GetAntennaRecord() const;

    static ObservationObject* Cast(dbObject* object);

protected:
    int32_t _UnderlyingMethod = 0;
    coord_CorrectedGrid _Coordinates;
};

// A heap copy of a text, or none.
class dbObjectText {
public:
    const char* Get() const { return _Text.get(); }
    // False when the copy could not be made; the old text is then gone.
    bool Set(const char* text);
    void Reset() { _Text.reset(); }

private:
    std::unique_ptr<char[]> _Text;
};

// A point of a file: no job record, no features or measurement, classified Normal.
class dbFilePointObject : public ObservationObject {
public:
    Str GetNotes() const override { return Str(); }
    bool IsBackgroundGeometry() const override { return false; }
    const FeatureArray* GetFeatures() const override { return nullptr; }
    db_PointClassification GetClassification() const override;
    int32_t GetMethod() const override { return 0; }
    int32_t GetUnderlyingMethod() const override { return 0; }
    db_Observation* GetObservation() const override { return nullptr; }
    db_Measurement* GetMeasurement() const override { return nullptr; }
    // Not for a file point: reported, nothing stored.
    void SetUnderlyingMethod(int32_t method) override;
};

// A point of a comma-separated point file.
class CSVPointObject : public dbFilePointObject {
public:
    CSVPointObject() = default;

    const char* GetName() const override;
    Str GetCode() const override;
    const dbrecord_Descriptions* GetDescriptions() const override;
    // Local-transformed grid (14) in an index of such coordinates, else grid (13).
    int GetMeasurementType() const override;
    // The owning index's coordinate type.
    coord_Type GetCoordType() const override;
    const coord_CorrectedGrid& GetHorizontalCoordinates() override;
    // Local-transformed coordinates are worked out by the index; grid ones are stored.
    const coord_CorrectedGrid& GetCoordinates() override;
    virtual void SetName(const char* name);
    // Null or empty removes the code.
    virtual void SetCode(const char* code);
    // Keeps a copy only when one of the two texts is set.
    virtual void SetDescriptions(const dbrecord_Descriptions* descriptions);
    virtual void SetLocalGrid(double north, double east, double elevation);
    virtual const coord_LocalTransformedGrid* GetLocalGrid() const { return _LocalGrid.get(); }
    virtual bool IsFileObject() const { return true; }
    // The owning index's local transformation.
    virtual Str GetTransformationName() const;

    static CSVPointObject* Cast(dbObject* object);

private:
    dbObjectText _Name;
    dbObjectText _Code;
    std::unique_ptr<dbrecord_Descriptions> _Descriptions;
    std::unique_ptr<coord_LocalTransformedGrid> _LocalGrid;
};

// What a background file index, which this library never builds, tells its objects.
class dbBackgroundFileIndex : public dbIndex {
public:
    // The attribute texts of the entry with that key, into output; returns output.
    virtual StrArray* GetEntryAttributes(StrArray* output, int key) = 0;
    // The layer of the entry with that key, into output; returns output.
    virtual Str* GetEntryLayer(Str* output, int key) = 0;
};

// The name, code and key of an entry of a background file; shared by its objects.
class dbBackgroundEntry {
public:
    // The owning index as a background file index; reported and null for any other.
    static dbBackgroundFileIndex* FileIndex(const dbObject& object);
    StrArray* GetAttributes(const dbObject& object, StrArray* output) const;
    Str* GetLayer(const dbObject& object, Str* output) const;

    int32_t _Key = 0;
    dbObjectText _Name;
    dbObjectText _Code;
};

class BackgroundPointObject : public dbFilePointObject {
public:
    BackgroundPointObject() = default;

    const char* GetName() const override;
    Str GetCode() const override;
    const dbrecord_Descriptions* GetDescriptions() const override {
        return &StaticIndexGlobals().EmptyDescriptions;
    }
    int GetMeasurementType() const override { return DATABASE_GridRecord; }
    coord_Type GetCoordType() const override { return COORD_GridType; }
    // Stored by the file index; nothing is computed.
    const coord_CorrectedGrid& GetHorizontalCoordinates() override { return _Coordinates; }
    const coord_CorrectedGrid& GetCoordinates() override { return _Coordinates; }
    virtual void SetName(const char* name);
    virtual void SetCode(const char* code);
    virtual StrArray* GetAttributes(StrArray* output) const { return _Entry.GetAttributes(*this, output); }
    virtual Str* GetLayer(Str* output) const { return _Entry.GetLayer(*this, output); }
    virtual bool IsFileObject() const { return true; }

    int32_t GetKey() const { return _Entry._Key; }
    void SetKey(int32_t key) { _Entry._Key = key; }

    static BackgroundPointObject* Cast(dbObject* object);

private:
    dbBackgroundEntry _Entry;
};

// A line of a job. The job index fills the end references and coordinates.
class LineObject : public dbObject {
public:
    LineObject() : dbObject(DATABASE_LineRecord) {}
    static LineObject* Cast(dbObject* object);

    dbObjectRef _StartRef;
    dbObjectRef _EndRef;
    coord_CorrectedGrid _Start;
    coord_CorrectedGrid _End;
    uint8_t _NearStart = 1;
};

// An arc of a job. The job index fills the centre, the six values and the references.
class ArcObject : public dbObject {
public:
    ArcObject() : dbObject(DATABASE_ArcRecord) {}
    static ArcObject* Cast(dbObject* object);

    coord_CorrectedGrid _Centre;
    double _RecordRadius = MATHS_Null;
    double _Radius = MATHS_Null;
    double _StartAzimuth = MATHS_Null;  // radians
    double _DeltaAngle = MATHS_Null;    // swept from the start azimuth, radians
    double _StartElevation = MATHS_Null;
    double _Slope = MATHS_Null;
    uint8_t _NearStart = 1;
    uint8_t _Reversed = 0;
    dbObjectRef _Point1Ref;
    dbObjectRef _Point2Ref;
    dbObjectRef _Point3Ref;
};

// A line or arc of a background file: the shape of its base with a file entry's name,
// code and key, and the queries of a file object.
template <class Shape>
class dbBackgroundShape : public Shape {
public:
    const char* GetName() const override;
    Str GetCode() const override;
    const dbrecord_Descriptions* GetDescriptions() const override {
        return &StaticIndexGlobals().EmptyDescriptions;
    }
    Str GetNotes() const override { return Str(); }
    bool IsBackgroundGeometry() const override { return true; }
    virtual void SetName(const char* name);
    virtual void SetCode(const char* code);
    virtual StrArray* GetAttributes(StrArray* output) const { return _Entry.GetAttributes(*this, output); }
    virtual Str* GetLayer(Str* output) const { return _Entry.GetLayer(*this, output); }
    virtual db_PointClassification GetClassification() const;
    virtual int32_t GetMethod() const { return 0; }
    virtual int32_t GetUnderlyingMethod() const { return 0; }
    virtual db_Observation* GetObservation() const { return nullptr; }
    // The shape's own record type stands in for a measurement type.
    virtual int GetMeasurementType() const { return this->_RecordType; }
    virtual db_Measurement* GetMeasurement() const { return nullptr; }
    virtual coord_Type GetCoordType() const { return COORD_GridType; }
    virtual bool IsFileObject() const { return true; }
    virtual void SetUnderlyingMethod(int32_t method);

    int32_t GetKey() const { return _Entry._Key; }
    void SetKey(int32_t key) { _Entry._Key = key; }

private:
    dbBackgroundEntry _Entry;
};

class BackgroundLineObject : public dbBackgroundShape<LineObject> {
public:
    static BackgroundLineObject* Cast(dbObject* object);
};

class BackgroundArcObject : public dbBackgroundShape<ArcObject> {
public:
    static BackgroundArcObject* Cast(dbObject* object);
};

// A group of objects, which it owns.
class GroupObject : public dbObject {
public:
    GroupObject(const Str& name, const Str& code, const Str& text1, const Str& text2);
    ~GroupObject() override;

    const char* GetName() const override { return _Name.Data(); }
    Str GetCode() const override { return _Code; }
    // A group has no descriptions.
    const dbrecord_Descriptions* GetDescriptions() const override { return nullptr; }
    Str GetNotes() const override { return Str(); }
    bool IsBackgroundGeometry() const override { return false; }
    virtual Str GetText1() const { return _Text1; }
    virtual Str GetText2() const { return _Text2; }
    // Takes the child; false (nothing changes, the child stays the caller's) when the
    // list cannot grow.
    virtual bool AddChild(dbObject* child);
    virtual int GetChildCount() const { return _ChildCount; }
    // Null outside 0..count-1.
    virtual dbObject* GetChild(int i) const;

    static GroupObject* Cast(dbObject* object);

    uint8_t _NearStart = 0;

private:
    dbObject** _Children = nullptr;
    int32_t _ChildCount = 0;
    Str _Name;
    Str _Code;
    Str _Text1;
    Str _Text2;
};

// What an index needs of a road.
class dbIndexRoad {
public:
    virtual ~dbIndexRoad() = default;
    virtual const Str& GetCode() const = 0;
    virtual const Str& GetDescription() const = 0;
    virtual const Str& GetName() const = 0;
    // The position lies within the tolerance of the road.
    virtual bool HitTest(const coord_CorrectedGrid& position, double tolerance) = 0;
    // The road lies inside the rectangle.
    virtual bool IsInside(double maxNorth, double minNorth, double maxEast, double minEast) const = 0;
    virtual void SetEndFlagHeld(bool held) = 0;
};

// A road; the road is not the object's.
class RoadObject : public dbObject {
public:
    explicit RoadObject(dbIndexRoad* road) : dbObject(DBOBJECT_RoadType), _Road(road) {}

    const char* GetName() const override;
    Str GetCode() const override;
    const dbrecord_Descriptions* GetDescriptions() const override {
        return &StaticIndexGlobals().EmptyDescriptions;
    }
    Str GetNotes() const override { return Str(); }
    bool IsBackgroundGeometry() const override { return false; }
    virtual Str GetDescription() const;
    virtual dbIndexRoad* GetRoad() const { return _Road; }

    static RoadObject* Cast(dbObject* object);

private:
    dbIndexRoad* _Road;
};

// Objects that stand for a job record and nothing more.
class TargetObject : public dbObject {
public:
    TargetObject() : dbObject(DATABASE_TargetRecord) {}
    static TargetObject* Cast(dbObject* object);
};

class BackBearingObject : public dbObject {
public:
    BackBearingObject() : dbObject(DATABASE_BackBearingRecord) {}
};

class StationObject : public dbObject {
public:
    StationObject() : dbObject(DATABASE_StationRecord) {}
};

class TraverseObject : public dbObject {
public:
    TraverseObject() : dbObject(DATABASE_TraverseHeaderRecord) {}
};

class LocalTransformationObject : public dbObject {
public:
    LocalTransformationObject() : dbObject(DATABASE_LocalTransformationRecord) {}
    static LocalTransformationObject* Cast(dbObject* object);
};

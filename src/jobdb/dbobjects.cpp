#include "jobdb/dbobjects.h"

#include <cstring>
#include <new>

#include "foundation/environment.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbaccess.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "records/traverse.h"

namespace {
constexpr const char* kModule = "Library/dbindex";

template <class T>
T* CastByType(dbObject* object, int type) {
    return object && object->GetRecordType() == type ? static_cast<T*>(object) : nullptr;
}

// The file classes share their record types with the job's, so the type alone would
// take a job object for a file object: the owning index's file type must match too.
template <class T>
T* CastFileObject(dbObject* object, int type, int fileType) {
    if (!object || object->GetRecordType() != type) return nullptr;
    const dbIndex* index = object->GetIndex();
    return index && index->GetFileType() == fileType ? static_cast<T*>(object) : nullptr;
}

bool IsFileType(const dbObject& object, int fileType, const char* text) {
    const dbIndex* index = object.GetIndex();
    return QZ_ASSERT_TEXT(index && index->GetFileType() == fileType, text);
}

constexpr const char* kCommaSeparatedCheck = "index->GetFileType() == dbIndex::CommaSeparatedFile";
constexpr const char* kBackgroundCheck = "index->GetFileType() == dbIndex::BackgroundFile";

const char* TextOrEmpty(const char* text) { return text ? text : StaticIndexGlobals().EmptyText.Data(); }

void SetObjectName(dbObjectText& name, const char* text) {
    if (!QZ_ASSERT_TEXT(text && *text, "newName && *newName")) return;
    QZ_ASSERT_TEXT(name.Set(text), "_Name");
}

void SetObjectCode(dbObjectText& code, const char* text) {
    if (!text || !*text) {
        code.Reset();
        return;
    }
    QZ_ASSERT_TEXT(code.Set(text), "_Code");
}

db_PointClassification Normal() { return db_PointClassification(dbentity_Classification(db_PointClassification::Normal)); }
}  // namespace

// ---------------------------------------------------------------- dbObject

const char* dbObject::GetName() const {
    const dbRecord_Class* record = GetRecord();
    return record ? record->GetName().Data() : StaticIndexGlobals().EmptyText.Data();
}

Str dbObject::GetCode() const {
    const dbRecordWithFeatures_Class* rec = dbRecordWithFeatures_Class::Cast(GetRecord());
    if (!QZ_ASSERT(rec)) return Str();
    return rec->GetFeatureCodes();
}

const dbrecord_Descriptions* dbObject::GetDescriptions() const { return &StaticIndexGlobals().EmptyDescriptions; }

Str dbObject::GetNotes() const { return Str(); }

bool dbObject::IsBackgroundGeometry() const { return false; }

void dbObject::SetRecordId(DBID id) {
    QZ_ASSERT_TEXT(_RecordId == NODBID, "_RecordId == NODBID");
    QZ_ASSERT_TEXT(id != NODBID, "recordId != NODBID");
    _RecordId = id;
}

uint32_t dbObject::GetStatusBits() {
    if (!HasFlag(DBOBJECT_StatusComputed)) {
        if (dbIndex* index = GetIndex()) index->ComputeStatusBits(this);
    }
    return _Filter.Status;
}

void dbObject::SetEndFlagHeld(bool held) {
    if (held) SetFlags(DBOBJECT_EndFlagHeld);
    else ClearFlags(DBOBJECT_EndFlagHeld);
    if (RoadObject* road = RoadObject::Cast(this)) {
        if (road->GetRoad()) road->GetRoad()->SetEndFlagHeld(held);
    }
}

void dbObject::SetRemoved(bool removed) {
    if (removed) SetFlags(DBOBJECT_Removed);
    else ClearFlags(DBOBJECT_Removed);
}

dbJobIndex* dbObject::GetJobIndex() const {
    dbIndex* index = GetIndex();
    if (!QZ_ASSERT_TEXT(index && index->GetFileType() == dbIndex::DatabaseFile,
                        "index->GetFileType() == dbIndex::DatabaseFile"))
        return nullptr;
    // Only the job index builds a database-file index.
    return static_cast<dbJobIndex*>(index);
}

dbRecord_Class* dbObject::GetRecordById(DBID id) const {
    const dbJobIndex* job = GetJobIndex();
    if (!job || !job->Database || id == NODBID) return nullptr;
    return job->Database->GetRecord(id);
}

dbRecord_Class* dbObject::FindFollowingRecord(int type) const {
    const dbJobIndex* job = GetJobIndex();
    if (!job || !job->Database || _RecordId == NODBID) return nullptr;
    const dbAccess* access = job->Database;
    for (DBID id = access->GetNextId(_RecordId); id != NODBID; id = access->GetNextId(id)) {
        dbRecord_Class* record = access->GetRecord(id);
        if (!record) return nullptr;
        if (record->GetType() == type) return record;
        if (record->GetType() == DATABASE_EndEntityRecord) return nullptr;
    }
    return nullptr;
}

db_ResectErrors* dbObject::FindResectErrors() const {
    return static_cast<db_ResectErrors*>(FindFollowingRecord(DATABASE_ResectErrorsRecord));
}

dbRecord_Class* dbObject::GetTarget() const {
    dbRecord_Class* targ = GetRecord();
    if (!QZ_ASSERT_TEXT(targ && targ->GetType() == DATABASE_TargetRecord, "targ->GetType() == DATABASE_TargetRecord"))
        return nullptr;
    return targ;
}

// ---------------------------------------------------------------- ObservationObject

const dbrecord_Descriptions* ObservationObject::GetDescriptions() const {
    const dbRecordWithFeatures_Class* record = dbRecordWithFeatures_Class::Cast(GetRecord());
    return record ? &record->GetDescriptions() : &StaticIndexGlobals().EmptyDescriptions;
}

Str ObservationObject::GetNotes() const {
    const dbRecord_Class* record = GetRecord();
    return record ? record->GetNotes() : Str();
}

const FeatureArray* ObservationObject::GetFeatures() const {
    const dbRecordWithFeatures_Class* record = dbRecordWithFeatures_Class::Cast(GetRecord());
    return record ? &record->GetFeatures() : nullptr;
}

db_PointClassification ObservationObject::GetClassification() const {
    const db_Observation* obs = GetObservation();
    return obs ? obs->Classification : db_PointClassification();
}

int32_t ObservationObject::GetMethod() const {
    const db_Observation* obs = GetObservation();
    return obs ? obs->Method : DBENTITY_Unknown;
}

db_Observation* ObservationObject::GetObservation() const {
    dbRecord_Class* obs = GetRecord();
    if (!QZ_ASSERT_TEXT(obs && obs->GetType() == DATABASE_ObservationRecord,
                        "obs->GetType() == DATABASE_ObservationRecord"))
        return nullptr;
    return static_cast<db_Observation*>(obs);
}

int ObservationObject::GetMeasurementType() const {
    const db_Observation* obs = GetObservation();
    return obs ? obs->GetMeasurementType() : DATABASE_NoRecordType;
}

db_Measurement* ObservationObject::GetMeasurement() const {
    const db_Observation* obs = GetObservation();
    return obs ? obs->GetMeasurement() : nullptr;
}

coord_Type ObservationObject::GetCoordType() const {
    const db_Measurement* measurement = GetMeasurement();
    return measurement ? measurement->GetCoordType() : COORD_NullType;
}

const coord_CorrectedGrid& ObservationObject::GetHorizontalCoordinates() {
    if (!HasFlag(DBOBJECT_HorizontalComputed)) {
        if (dbIndex* index = GetIndex()) index->ComputeObject(this);
    }
    return _Coordinates;
}

const coord_CorrectedGrid& ObservationObject::GetCoordinates() {
    if (!HasFlag(DBOBJECT_HorizontalComputed) || !HasFlag(DBOBJECT_ElevationComputed)) {
        if (dbIndex* index = GetIndex()) index->ComputeObject(this);
    }
    return _Coordinates;
}

bool ObservationObject::HasHorizontal() { return !GetHorizontalCoordinates().IsHorizontalNull(); }

bool ObservationObject::HasVertical() { return !GetCoordinates().IsVerticalNull(); }

void ObservationObject::SetCoordinates(const coord_CorrectedGrid& grid, bool complete) {
    _Coordinates = grid;
    SetFlags(DBOBJECT_HorizontalComputed);
    if (complete) SetFlags(DBOBJECT_ElevationComputed);
    else ClearFlags(DBOBJECT_ElevationComputed);
}

dbRecord_Class* ObservationObject::GetTargetRecord() const {
    const db_Measurement* measurement = GetMeasurement();
    if (!measurement) return nullptr;
    DBID target;
    if (const db_Circle* circle = db_Circle::Cast(measurement)) target = circle->Target;
    else if (const db_MeanTurnedAngle* mta = db_MeanTurnedAngle::Cast(measurement)) target = mta->Target;
    dbRecord_Class* record = GetRecordById(target);
    return record && record->GetType() == DATABASE_TargetRecord ? record : nullptr;
}

dbRecord_Class* ObservationObject::GetAntennaRecord() const {
    const db_Measurement* measurement = GetMeasurement();
    if (!measurement) return nullptr;
    DBID antenna;
    if (const db_ECEFDeltas* deltas = db_ECEFDeltas::Cast(measurement)) antenna = deltas->Antenna;
    else if (const db_ECEF* ecef = db_ECEF::Cast(measurement)) antenna = ecef->Antenna;
    dbRecord_Class* record = GetRecordById(antenna);
    return record && record->GetType() == DATABASE_AntennaRecord ? record : nullptr;
}

ObservationObject* ObservationObject::Cast(dbObject* object) {
    return CastByType<ObservationObject>(object, DATABASE_ObservationRecord);
}

// ---------------------------------------------------------------- file texts

bool dbObjectText::Set(const char* text) {
    const size_t length = std::strlen(text);
    _Text.reset(new (std::nothrow) char[length + 1]);
    if (!_Text) return false;
    std::memcpy(_Text.get(), text, length + 1);
    return true;
}

// ---------------------------------------------------------------- file points

db_PointClassification dbFilePointObject::GetClassification() const { return Normal(); }

void dbFilePointObject::SetUnderlyingMethod(int32_t) { QZ_FAIL("0"); }

// ---------------------------------------------------------------- CSVPointObject

const char* CSVPointObject::GetName() const {
    IsFileType(*this, dbIndex::CommaSeparatedFile, kCommaSeparatedCheck);
    return _Name.Get();
}

Str CSVPointObject::GetCode() const {
    IsFileType(*this, dbIndex::CommaSeparatedFile, kCommaSeparatedCheck);
    return Str(TextOrEmpty(_Code.Get()));
}

const dbrecord_Descriptions* CSVPointObject::GetDescriptions() const {
    IsFileType(*this, dbIndex::CommaSeparatedFile, kCommaSeparatedCheck);
    return _Descriptions ? _Descriptions.get() : &StaticIndexGlobals().EmptyDescriptions;
}

int CSVPointObject::GetMeasurementType() const {
    return GetCoordType() == COORD_LocalTransformedGridType ? DATABASE_LocalTransformedGridRecord
                                                            : DATABASE_GridRecord;
}

coord_Type CSVPointObject::GetCoordType() const {
    const dbIndex* index = GetIndex();
    return index ? index->GetCoordType() : COORD_GridType;
}

const coord_CorrectedGrid& CSVPointObject::GetHorizontalCoordinates() { return GetCoordinates(); }

const coord_CorrectedGrid& CSVPointObject::GetCoordinates() {
    if (GetCoordType() == COORD_LocalTransformedGridType && !HasFlag(DBOBJECT_HorizontalComputed)) {
        if (dbIndex* index = GetIndex()) index->ComputeObject(this);
    }
    return _Coordinates;
}

void CSVPointObject::SetName(const char* name) { SetObjectName(_Name, name); }

void CSVPointObject::SetCode(const char* code) { SetObjectCode(_Code, code); }

void CSVPointObject::SetDescriptions(const dbrecord_Descriptions* descriptions) {
    _Descriptions.reset();
    if (descriptions && descriptions->IsSet()) _Descriptions.reset(new dbrecord_Descriptions(*descriptions));
}

void CSVPointObject::SetLocalGrid(double north, double east, double elevation) {
    _LocalGrid.reset(new coord_LocalTransformedGrid(north, east, elevation));
}

Str CSVPointObject::GetTransformationName() const {
    const dbIndex* index = GetIndex();
    return index ? index->GetTransformationName() : Str();
}

CSVPointObject* CSVPointObject::Cast(dbObject* object) {
    return CastFileObject<CSVPointObject>(object, DATABASE_ObservationRecord, dbIndex::CommaSeparatedFile);
}

// ---------------------------------------------------------------- background files

dbBackgroundFileIndex* dbBackgroundEntry::FileIndex(const dbObject& object) {
    if (!IsFileType(object, dbIndex::BackgroundFile, kBackgroundCheck)) return nullptr;
    // Only a background file index takes that file type.
    return static_cast<dbBackgroundFileIndex*>(object.GetIndex());
}

StrArray* dbBackgroundEntry::GetAttributes(const dbObject& object, StrArray* output) const {
    if (dbBackgroundFileIndex* index = FileIndex(object)) index->GetEntryAttributes(output, _Key);
    return output;
}

Str* dbBackgroundEntry::GetLayer(const dbObject& object, Str* output) const {
    if (dbBackgroundFileIndex* index = FileIndex(object)) index->GetEntryLayer(output, _Key);
    return output;
}

const char* BackgroundPointObject::GetName() const {
    IsFileType(*this, dbIndex::BackgroundFile, kBackgroundCheck);
    return _Entry._Name.Get();
}

Str BackgroundPointObject::GetCode() const {
    IsFileType(*this, dbIndex::BackgroundFile, kBackgroundCheck);
    return Str(TextOrEmpty(_Entry._Code.Get()));
}

void BackgroundPointObject::SetName(const char* name) { SetObjectName(_Entry._Name, name); }

void BackgroundPointObject::SetCode(const char* code) { SetObjectCode(_Entry._Code, code); }

BackgroundPointObject* BackgroundPointObject::Cast(dbObject* object) {
    return CastFileObject<BackgroundPointObject>(object, DATABASE_ObservationRecord, dbIndex::BackgroundFile);
}

template <class Shape>
const char* dbBackgroundShape<Shape>::GetName() const {
    return _Entry._Name.Get();
}

template <class Shape>
Str dbBackgroundShape<Shape>::GetCode() const {
    return Str(TextOrEmpty(_Entry._Code.Get()));
}

template <class Shape>
void dbBackgroundShape<Shape>::SetName(const char* name) {
    SetObjectName(_Entry._Name, name);
}

template <class Shape>
void dbBackgroundShape<Shape>::SetCode(const char* code) {
    SetObjectCode(_Entry._Code, code);
}

template <class Shape>
db_PointClassification dbBackgroundShape<Shape>::GetClassification() const {
    return Normal();
}

template <class Shape>
void dbBackgroundShape<Shape>::SetUnderlyingMethod(int32_t) {
    QZ_FAIL("0");
}

template class dbBackgroundShape<LineObject>;
template class dbBackgroundShape<ArcObject>;

BackgroundLineObject* BackgroundLineObject::Cast(dbObject* object) {
    return CastFileObject<BackgroundLineObject>(object, DATABASE_LineRecord, dbIndex::BackgroundFile);
}

BackgroundArcObject* BackgroundArcObject::Cast(dbObject* object) {
    return CastFileObject<BackgroundArcObject>(object, DATABASE_ArcRecord, dbIndex::BackgroundFile);
}

// ---------------------------------------------------------------- lines, arcs, groups, roads

LineObject* LineObject::Cast(dbObject* object) { return CastByType<LineObject>(object, DATABASE_LineRecord); }

ArcObject* ArcObject::Cast(dbObject* object) { return CastByType<ArcObject>(object, DATABASE_ArcRecord); }

GroupObject::GroupObject(const Str& name, const Str& code, const Str& text1, const Str& text2)
    : dbObject(DBOBJECT_GroupType), _Name(name), _Code(code), _Text1(text1), _Text2(text2) {}

GroupObject::~GroupObject() {
    for (int i = 0; i < _ChildCount; ++i) delete _Children[i];
    delete[] _Children;
}

bool GroupObject::AddChild(dbObject* child) {
    dbObject** children = new (std::nothrow) dbObject*[_ChildCount + 1];
    if (!children) return false;
    for (int i = 0; i < _ChildCount; ++i) children[i] = _Children[i];
    children[_ChildCount] = child;
    delete[] _Children;
    _Children = children;
    ++_ChildCount;
    return true;
}

dbObject* GroupObject::GetChild(int i) const { return i >= 0 && i < _ChildCount ? _Children[i] : nullptr; }

GroupObject* GroupObject::Cast(dbObject* object) { return CastByType<GroupObject>(object, DBOBJECT_GroupType); }

const char* RoadObject::GetName() const { return _Road ? _Road->GetName().Data() : StaticIndexGlobals().EmptyText.Data(); }

Str RoadObject::GetCode() const { return _Road ? _Road->GetCode() : Str(); }

Str RoadObject::GetDescription() const { return _Road ? _Road->GetDescription() : Str(); }

RoadObject* RoadObject::Cast(dbObject* object) { return CastByType<RoadObject>(object, DBOBJECT_RoadType); }

TargetObject* TargetObject::Cast(dbObject* object) { return CastByType<TargetObject>(object, DATABASE_TargetRecord); }

LocalTransformationObject* LocalTransformationObject::Cast(dbObject* object) {
    return CastByType<LocalTransformationObject>(object, DATABASE_LocalTransformationRecord);
}

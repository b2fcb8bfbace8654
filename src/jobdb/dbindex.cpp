#include "jobdb/dbindex.h"

#include <algorithm>
#include <new>

#include "foundation/environment.h"
#include "jobdb/dbobjects.h"
#include "records/entities.h"
#include "records/measurements.h"

namespace {
constexpr const char* kModule = "Library/dbindex";

// A subscript inside 0..count-1 of an index with blocks; reported otherwise.
bool HoldsSubscript(int subscript, int count, dbObject*** blocks) {
    if (!QZ_ASSERT_TEXT(subscript >= 0 && subscript < count, "subscript < this->_ObjectCount")) return false;
    return QZ_ASSERT_TEXT(blocks != nullptr, "this->_BlockList");
}

// The point object at a subscript; the report of a point query otherwise.
ObservationObject* PointAt(const dbIndex& index, int subscript) {
    dbObject* object = index.GetObject(subscript);
    if (!object) return nullptr;
    if (!QZ_ASSERT_TEXT(object->GetRecordType() == DATABASE_ObservationRecord,
                        "object->_RecordType == DATABASE_ObservationRecord"))
        return nullptr;
    return static_cast<ObservationObject*>(object);
}
}  // namespace

dbIndexGlobals& StaticIndexGlobals() {
    static dbIndexGlobals globals;
    return globals;
}

// ---------------------------------------------------------------- dbObjectRef

dbIndex* dbObjectRef::GetIndex() const {
    if (_Index < 0 || _Index >= DBINDEX_IndexCount) return nullptr;
    return StaticIndexGlobals().IndexList[_Index];
}

bool dbObjectRef::IsValid() const {
    const dbIndex* index = GetIndex();
    return index && _Subscript >= 0 && _Subscript < index->GetObjectCount();
}

dbObject* dbObjectRef::GetObject() const {
    dbIndex* index = GetIndex();
    if (!index || index->GetObjectCount() == 0) return nullptr;
    dbObject* object = index->GetLoadedObject(_Subscript);
    if (!object) return nullptr;
    if (object->GetRecordType() == DATABASE_ObservationRecord) return object;
    const bool loaded = object->HasFlag(DBOBJECT_HorizontalComputed) && object->HasFlag(DBOBJECT_StatusComputed);
    return loaded ? object : nullptr;
}

// ---------------------------------------------------------------- dbIndex: registry

dbIndex::~dbIndex() {
    dbIndex::Clear();
    _Owner = nullptr;
    _Root = nullptr;
}

int dbIndex::Register() {
    dbIndexGlobals& globals = StaticIndexGlobals();
    for (dbIndex* registered : globals.IndexList)
        if (registered == this) return _IndexNumber;
    const int start = globals.NextInIndexList;
    while (globals.IndexList[globals.NextInIndexList]) {
        globals.NextInIndexList = (globals.NextInIndexList + 1) % DBINDEX_IndexCount;
        // Every number in use: the index stays unregistered.
        if (!QZ_ASSERT_TEXT(globals.NextInIndexList != start, "StaticIndexGlobals.NextInIndexList != start"))
            return -1;
    }
    const int number = globals.NextInIndexList;
    globals.IndexList[number] = this;
    _IndexNumber = number;
    if (number > globals.HighestIndexNumber) globals.HighestIndexNumber = number;
    globals.NextInIndexList = (number + 1) % DBINDEX_IndexCount;
    return number;
}

int dbIndex::GetHighestIndexNumber() { return StaticIndexGlobals().HighestIndexNumber; }

void dbIndex::Clear() {
    dbIndexGlobals& globals = StaticIndexGlobals();
    if (_IndexNumber >= 0 && _IndexNumber < DBINDEX_IndexCount && globals.IndexList[_IndexNumber] == this)
        globals.IndexList[_IndexNumber] = nullptr;
    for (int b = 0; b < _BlockCount; ++b) {
        dbObject** block = _BlockList[b];
        for (int i = 0; i < DBINDEX_BlockSize && block[i]; ++i) delete block[i];
        delete[] block;
    }
    delete[] _BlockList;
    _BlockList = nullptr;
    _ObjectCount = 0;
    _BlockCount = 0;
    _FileType = NoFile;
    _IndexNumber = -1;
    _ByRecordId.clear();
    _ByRecordId.shrink_to_fit();
    if (std::all_of(std::begin(globals.IndexList), std::end(globals.IndexList),
                    [](const dbIndex* index) { return index == nullptr; })) {
        globals.NextInIndexList = 1;
        globals.HighestIndexNumber = 1;
    }
}

void dbIndex::Notify(void*) {}

coord_Type dbIndex::GetCoordType() const { return COORD_GridType; }

Str dbIndex::GetTransformationName() const { return Str(); }

bool dbIndex::ClearComputedFlags() {
    for (int b = 0; b < _BlockCount; ++b)
        for (int i = 0; i < DBINDEX_BlockSize && _BlockList[b][i]; ++i)
            _BlockList[b][i]->ClearFlags(DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed |
                                         DBOBJECT_ElevationComputed);
    return true;
}

void dbIndex::Refresh() {}

// ---------------------------------------------------------------- dbIndex: objects

dbObjectRef dbIndex::AddObject(dbObject* object) {
    if (!QZ_ASSERT(object != nullptr)) return dbObjectRef();
    if (!QZ_ASSERT_TEXT(_ObjectCount < DBINDEX_MaxObjects, "_ObjectCount < DBINDEX_MaxObjects")) {
        delete object;
        return dbObjectRef();
    }
    const int subscript = _ObjectCount;
    const int blockNum = subscript / DBINDEX_BlockSize;
    if (blockNum >= _BlockCount) {
        dbObject*** list = QZ_ASSERT_TEXT(blockNum == _BlockCount, "blockNum == _BlockCount")
                               ? new (std::nothrow) dbObject**[_BlockCount + 1]
                               : nullptr;
        dbObject** block = list ? new (std::nothrow) dbObject*[DBINDEX_BlockSize]() : nullptr;
        if (!QZ_ASSERT_TEXT(block != nullptr, "_BlockList")) {
            delete[] list;
            delete object;
            return dbObjectRef();
        }
        for (int b = 0; b < _BlockCount; ++b) list[b] = _BlockList[b];
        list[_BlockCount] = block;
        delete[] _BlockList;
        _BlockList = list;
        ++_BlockCount;
    }
    object->SetReference(_IndexNumber, subscript);
    _BlockList[blockNum][subscript % DBINDEX_BlockSize] = object;
    ++_ObjectCount;
    MapRecordId(object->GetRecordId(), subscript);
    return object->GetReference();
}

void dbIndex::ReplaceObject(int subscript, dbObject* object) {
    const int blockNum = subscript / DBINDEX_BlockSize;
    const bool stored = QZ_ASSERT_TEXT(subscript >= 0 && blockNum < _BlockCount, "blockNum < _BlockCount") &&
                        QZ_ASSERT_TEXT(_BlockList != nullptr, "_BlockList") &&
                        QZ_ASSERT_TEXT(subscript < _ObjectCount, "subscript < this->_ObjectCount");
    if (!stored) {
        delete object;
        return;
    }
    dbObject*& slot = _BlockList[blockNum][subscript % DBINDEX_BlockSize];
    if (slot) {
        UnmapRecordId(slot->GetRecordId(), subscript);
        delete slot;
    }
    slot = object;
    if (object) {
        object->SetReference(_IndexNumber, subscript);
        MapRecordId(object->GetRecordId(), subscript);
    }
}

dbObject* dbIndex::GetObject(int subscript) const {
    if (!HoldsSubscript(subscript, _ObjectCount, _BlockList)) return nullptr;
    return _BlockList[subscript / DBINDEX_BlockSize][subscript % DBINDEX_BlockSize];
}

bool dbIndex::IsLoaded(int subscript) const {
    const dbObject* object = GetObject(subscript);
    return object && object->HasFlag(DBOBJECT_HorizontalComputed) && object->HasFlag(DBOBJECT_StatusComputed);
}

bool dbIndex::EnsureLoaded(int subscript) {
    dbObject* object = GetObject(subscript);
    if (!object) return false;
    if (object->HasFlag(DBOBJECT_HorizontalComputed) && object->HasFlag(DBOBJECT_StatusComputed)) return true;
    return ComputeObject(object);
}

dbObject* dbIndex::GetLoadedObject(int subscript) {
    if (!_BlockList) return nullptr;
    dbObject* object = GetObject(subscript);
    if (!object) return nullptr;
    const bool loaded = object->HasFlag(DBOBJECT_HorizontalComputed) && object->HasFlag(DBOBJECT_StatusComputed);
    if (object->GetRecordType() != DATABASE_ObservationRecord && !loaded) ComputeObject(object);
    return object;
}

int dbIndex::GetRecordType(int subscript) const {
    const dbObject* object = GetObject(subscript);
    return object ? object->GetRecordType() : DATABASE_NoRecordType;
}

const char* dbIndex::GetName(int subscript) const {
    if (subscript == -1) return StaticIndexGlobals().EmptyText.Data();
    const dbObject* object = GetObject(subscript);
    const char* name = object ? object->GetName() : nullptr;
    return name ? name : StaticIndexGlobals().EmptyText.Data();
}

uint16_t* dbIndex::GetFlags(int subscript) {
    dbObject* object = GetObject(subscript);
    return object ? object->GetFlagsWord() : nullptr;
}

DBID dbIndex::GetRecordId(int subscript) const {
    const dbObject* object = GetObject(subscript);
    return object ? object->GetRecordId() : NODBID;
}

db_PointClassification dbIndex::GetClassification(int subscript) const {
    const ObservationObject* point = PointAt(*this, subscript);
    return point ? point->GetClassification() : db_PointClassification();
}

int32_t dbIndex::GetMethod(int subscript) const {
    const ObservationObject* point = PointAt(*this, subscript);
    return point ? point->GetMethod() : DBENTITY_Unknown;
}

int dbIndex::GetMeasurementType(int subscript) const {
    const ObservationObject* point = PointAt(*this, subscript);
    return point ? point->GetMeasurementType() : DATABASE_NoRecordType;
}

db_Measurement* dbIndex::GetMeasurement(int subscript) const {
    const ObservationObject* point = PointAt(*this, subscript);
    return point ? point->GetMeasurement() : nullptr;
}

int32_t dbIndex::GetUnderlyingMethod(int subscript) {
    ObservationObject* point = PointAt(*this, subscript);
    if (!point) return 0;
    QZ_ASSERT_TEXT(point->GetMethod() == DBENTITY_MeanTurnedAngle, "point->GetMethod() == DBENTITY_MeanTurnedAngle");
    if (point->GetUnderlyingMethod() == 0) {
        // The mean turned angle as stored: the job's positions take it over unchanged.
        const db_MeanTurnedAngle* mta = db_MeanTurnedAngle::Cast(point->GetMeasurement());
        QZ_ASSERT_TEXT(mta != nullptr, "position.Original == COORD_MTAType");
        const bool hasDistance = mta && !maths_IsNull(mta->MTA.EDMDistance);
        point->SetUnderlyingMethod(hasDistance ? DBENTITY_DirectReading : DBENTITY_AngleOnly);
    }
    return point->GetUnderlyingMethod();
}

bool dbIndex::IsDeleted(int subscript) const {
    const dbObject* object = GetObject(subscript);
    return object && object->IsDeleted();
}

bool dbIndex::IsRemoved(int subscript) const {
    const dbObject* object = GetObject(subscript);
    return object && object->HasFlag(DBOBJECT_Removed);
}

bool dbIndex::IsBest(int subscript, bool (dbObject::*test)()) const {
    dbObject* object = GetObject(subscript);
    return object && (object->*test)();
}

bool dbIndex::IsBestInIndex(int subscript) const { return IsBest(subscript, &dbObject::IsBestInIndex); }

bool dbIndex::IsBestInIndexGnss(int subscript) const { return IsBest(subscript, &dbObject::IsBestInIndexGnss); }

bool dbIndex::IsBestInIndexGrid(int subscript) const { return IsBest(subscript, &dbObject::IsBestInIndexGrid); }

bool dbIndex::IsBestInIndexLocalGrid(int subscript) const {
    return IsBest(subscript, &dbObject::IsBestInIndexLocalGrid);
}

bool dbIndex::IsBestInIndexNotLocalGrid(int subscript) const {
    return IsBest(subscript, &dbObject::IsBestInIndexNotLocalGrid);
}

// ---------------------------------------------------------------- dbIndex: record ids

dbObjectRef dbIndex::FindByRecordId(DBID id) const {
    if (id == NODBID || _FileType != DatabaseFile) return dbObjectRef();
    const auto at = std::lower_bound(_ByRecordId.begin(), _ByRecordId.end(), std::make_pair(id.Value(), INT32_MIN));
    if (at == _ByRecordId.end() || at->first != id.Value()) return dbObjectRef();
    return MakeReference(at->second);
}

void dbIndex::MapRecordId(DBID id, int subscript) {
    if (id == NODBID) return;
    const auto entry = std::make_pair(id.Value(), static_cast<int32_t>(subscript));
    // Objects mostly come in ascending id order.
    if (_ByRecordId.empty() || _ByRecordId.back() < entry) {
        _ByRecordId.push_back(entry);
        return;
    }
    _ByRecordId.insert(std::lower_bound(_ByRecordId.begin(), _ByRecordId.end(), entry), entry);
}

void dbIndex::UnmapRecordId(DBID id, int subscript) {
    const auto entry = std::make_pair(id.Value(), static_cast<int32_t>(subscript));
    const auto at = std::lower_bound(_ByRecordId.begin(), _ByRecordId.end(), entry);
    if (at != _ByRecordId.end() && *at == entry) _ByRecordId.erase(at);
}

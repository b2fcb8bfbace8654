#include "jobdb/dbmodel.h"

#include <cstring>
#include <new>

#include "foundation/environment.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/lists.h"
#include "records/recordheap.h"

namespace {

constexpr const char* kModule = "Library/dbmodel";

// ---------------------------------------------------------------------------------
// Edits carried by records of other families, routed by type code. Each answers
// whether it took the edit.

// The observation lets go of its measurement (returned in previous, to be discarded)
// and links a clone of the new one, or the new one itself when it is held (taken).
bool family_AttachMeasurement(dbRecord_Class& observation, const dbRecord_Class& measurement,
                              dbRecord_Class*& previous, dbRecord_Class** held) {
    previous = nullptr;
    db_Observation* point = db_Observation::Cast(&observation);
    const db_Measurement* linked = db_Measurement::Cast(&measurement);
    if (!point || !linked) return false;
    previous = point->GetMeasurement();
    if (held && *held == &measurement) {
        point->AdoptMeasurement(db_Measurement::Cast(*held));
        *held = nullptr;
    } else {
        point->AttachMeasurement(linked);
    }
    return true;
}

// A tunnel point (141 or 153) appended (a clone) to a tunnel list of listType (139 or
// 140): the index it takes there, or -1 when the list is of another kind.
int family_AppendTunnelPoint(dbRecord_Class& list, int listType, const dbRecord_Class& point) {
    db_TunnelList* tunnel = db_TunnelList::Cast(&list);
    if (!tunnel || list.GetType() != listType || !tunnel->Append(point)) return -1;
    return tunnel->GetCount() - 1;
}

// The point of id pointId, held at index in a tunnel list of listType, takes the new
// point's values; it keeps its id and, like every replaced record, its timestamp.
bool family_ReplaceTunnelPoint(dbRecord_Class& list, int listType, int index, DBID pointId,
                               const dbRecord_Class& point) {
    db_TunnelList* tunnel = db_TunnelList::Cast(&list);
    if (!tunnel || list.GetType() != listType || index < 0 || index >= tunnel->GetCount()) return false;
    dbRecord_Class* stored = tunnel->GetPoint(index);
    if (!stored || stored->GetRecordId() != pointId) return false;
    const double timeStamp = stored->GetTimeStamp();
    if (!stored->AssignFrom(point)) return false;
    stored->SetRecordId(pointId);
    stored->SetTimeStamp(timeStamp);
    return true;
}

// The edit records 157 (bool), 158 (record id) and 159 (text) applied to a target.
bool family_ApplyEdit(dbRecord_Class& target, const dbRecord_Class& edit) {
    if (const db_BoolAction* action = db_BoolAction::Cast(&edit)) target.ApplyBoolAction(*action);
    else if (const db_DBID* action = db_DBID::Cast(&edit)) target.ApplyDBIDAction(*action);
    else if (const db_Str* action = db_Str::Cast(&edit)) target.ApplyStrAction(*action);
    else return false;
    return true;
}

// 158 on a point observation goes to its measurement; null when it has none.
dbRecord_Class* family_GetMeasurement(dbRecord_Class& observation) {
    db_Observation* point = db_Observation::Cast(&observation);
    return point ? point->GetMeasurement() : nullptr;
}

// 160: the features of a db_Features record.
const FeatureArray* family_GetEditFeatures(const dbRecord_Class& edit) {
    const db_Features* features = db_Features::Cast(&edit);
    return features ? &features->Features : nullptr;
}

// A db_Features record that takes over a superseded set of features, for the free
// list; the features stay where they are in memory, so pointers to them stay valid.
dbRecord_Class* family_MakeFeaturesRecord(FeatureArray& features) {
    db_Features* record = new db_Features;
    record->Features.Swap(features);
    return record;
}

// The edit's features, to be used up (held) or copied.
FeatureArray* family_GetHeldFeatures(dbRecord_Class* edit) {
    db_Features* features = db_Features::Cast(edit);
    return features ? &features->Features : nullptr;
}

// 161: the descriptions of a db_Descriptions record.
const dbrecord_Descriptions* family_GetEditDescriptions(const dbRecord_Class& edit) {
    const db_Descriptions* descriptions = db_Descriptions::Cast(&edit);
    return descriptions ? &descriptions->Descriptions : nullptr;
}

// ---------------------------------------------------------------------------------

dbRecord_Class* CloneRecord(const dbRecord_Class* record) { return record ? record->Clone() : nullptr; }

// The record to store: the action's own when it is held, else a clone.
dbRecord_Class* TakeOrClone(const dbRecord_Class& record, dbRecord_Class** held) {
    if (held && *held == &record) {
        dbRecord_Class* taken = *held;
        *held = nullptr;
        return taken;
    }
    return record.Clone();
}

}  // namespace

// ------------------------------------------------------------------ dbModel_Action

dbModel_Action::dbModel_Action(int operation, DBID target, const dbRecord_Class* record)
    : Operation(operation), Target(target), DBRecord(CloneRecord(record)) {}

dbModel_Action::dbModel_Action(const dbModel_Action& other)
    : Flags(other.Flags), Operation(other.Operation), Target(other.Target), DBRecord(CloneRecord(other.DBRecord)) {}

dbModel_Action::~dbModel_Action() { delete DBRecord; }

void* dbModel_Action::operator new(std::size_t size) { return dbRecord_Heap::Allocate(size); }

void dbModel_Action::operator delete(void* action, std::size_t size) noexcept { dbRecord_Heap::Free(action, size); }

void dbModel_Action::SetRecord(dbRecord_Class* record) {
    if (record == DBRecord) return;
    delete DBRecord;
    DBRecord = record;
}

// ------------------------------------------------------------------ dbTransaction

dbTransaction::~dbTransaction() { Clear(); }

void dbTransaction::Append(dbModel_Action* action) {
    if (!QZ_ASSERT(action != nullptr)) return;
    action->_Next = nullptr;
    if (_Last) _Last->_Next = action;
    else _First = action;
    _Last = action;
}

void dbTransaction::Clear() {
    dbModel_Action* action = _First;
    while (action) {
        dbModel_Action* next = action->_Next;
        delete action;
        action = next;
    }
    _First = _Last = nullptr;
}

int dbTransaction::Count() const {
    int n = 0;
    for (const dbModel_Action* a = _First; a; a = a->GetNext()) ++n;
    return n;
}

void dbTransaction::MarkAborted() {
    if (_Last) _Last->Flags |= 4;
}

void dbTransaction::MarkEnd() {
    if (_Last) _Last->Flags |= 2;
}

bool dbTransaction::IsAborted() const { return _Last && (_Last->Flags & 4); }

bool dbTransaction::IsEnded() const { return _Last && (_Last->Flags & 2); }

// ------------------------------------------------------------------ dbModel_Record

dbModel_Record::dbModel_Record(const dbModel_Record& other)
    : DBRecord(CloneRecord(other.DBRecord)), _Forward(other._Forward), _Back(other._Back) {}

dbModel_Record::~dbModel_Record() { delete DBRecord; }

// ------------------------------------------------------------------ dbModel_HolderSlots

uint32_t dbModel_HolderSlots::Grow() {
    // The discarded mark takes the top bit of a slot number.
    if (_Slabs.size() >= (dbModel_Record::DiscardedMark - 1) / SlabSize) throw std::bad_alloc();
    _Slabs.push_back(std::make_unique<dbModel_Record[]>(SlabSize));
    return static_cast<uint32_t>((_Slabs.size() - 1) * SlabSize + 1);
}

// ------------------------------------------------------------------ dbModel_IdTable

dbModel_IdTable::~dbModel_IdTable() {
    for (uint32_t i = 0; i < BlockCount; ++i) delete[] Blocks[i];
    delete[] Blocks;
}

void dbModel_IdTable::Set(DBID id, uint32_t slot) {
    uint32_t n = id.Value();
    if (!QZ_ASSERT_TEXT(n > 0, "id > 0")) return;
    uint32_t block = n / BlockSize;
    if (block >= BlockCount) {
        uint32_t count = block + 1;
        uint32_t** blocks = new uint32_t*[count];
        for (uint32_t i = 0; i < BlockCount; ++i) blocks[i] = Blocks[i];
        for (uint32_t i = BlockCount; i < count; ++i) blocks[i] = new uint32_t[BlockSize]();
        delete[] Blocks;
        Blocks = blocks;
        BlockCount = count;
    }
    Blocks[block][n % BlockSize] = slot;
}

void dbModel_IdTable::ClearAll() {
    for (uint32_t i = 0; i < BlockCount; ++i) std::memset(Blocks[i], 0, BlockSize * sizeof(uint32_t));
}

// ------------------------------------------------------------------ dbModel

dbModel::dbModel() = default;

dbModel::~dbModel() {
    QZ_ASSERT_TEXT(_MainThread._Front == 0, "_MainThread.GetFront() == NULL");
    Clear();
}

DBID dbModel::NextRecordId() {
    DBID id = _NextRecordId;
    _NextRecordId = DBID(id.Value() + 1);
    return id;
}

dbRecord_Class* dbModel::GetRecord(DBID id) const {
    dbModel_Record* holder = FindTarget(id);
    return holder ? holder->DBRecord : nullptr;
}

uint32_t dbModel::FindTargetSlot(DBID id) const {
    const uint32_t slot = _IdTable.Get(id);
    const dbModel_Record* holder = _Slots.Get(slot);
    return holder && !holder->IsDiscarded() && holder->DBRecord ? slot : 0;
}

const dbModel_TypeSummary& dbModel::GetTypeSummary(int type) const {
    static const dbModel_TypeSummary none;
    if (!QZ_ASSERT_TEXT(type >= 0 && type <= DATABASE_AllRecords, "type >= 0 && type <= DATABASE_AllRecords"))
        return none;
    return _Summary[type];
}

bool dbModel::ApplyTransaction(const dbTransaction& transaction) {
    for (const dbModel_Action* action = transaction.GetFirst(); action && !_Failed; action = action->GetNext())
        ApplyAction(*action);
    return _Failed;
}

bool dbModel::ApplyTransactionUsingRecords(dbTransaction& transaction) {
    for (dbModel_Action* action = transaction.GetFirst(); action && !_Failed; action = action->GetNext())
        Apply(*action, &action->DBRecord);
    return _Failed;
}

void dbModel::ApplyAction(const dbModel_Action& action) { Apply(action, nullptr); }

void dbModel::Apply(const dbModel_Action& action, dbRecord_Class** held) {
    const dbRecord_Class* record = action.DBRecord;
    if (!record) {
        QZ_FAIL("!\"Bad action\"");
        return;
    }
    if (record->IsMeasurement()) {
        ApplyMeasurement(action, held);
        return;
    }
    switch (record->GetType()) {
    case DATABASE_NoteRecord:
        ApplyNote(action, held);
        return;
    case DATABASE_ObservationRecord:
    case DATABASE_LineRecord:
    case DATABASE_ArcRecord:
        if (action.Operation == DBMODEL_Replace) ApplyUpdate(action);
        else ApplyChainOperation(action, held);
        return;
    case DATABASE_TunnelPointDeltaRecord:
    case DATABASE_TunnelSetoutPointRecord: {
        int listType = record->GetType() == DATABASE_TunnelPointDeltaRecord ? DATABASE_TunnelXSPointsRecord
                                                                          : DATABASE_TunnelXSSetoutPointsRecord;
        if (action.Operation == DBMODEL_Replace) {
            // Found by its id, not by walking the lists: the same point, in constant time.
            auto place = _TunnelPoints.find(action.Target.Value());
            if (place == _TunnelPoints.end()) return;
            if (dbModel_Record* list = FindTarget(place->second.List))
                family_ReplaceTunnelPoint(*list->DBRecord, listType, place->second.Index, action.Target, *record);
        } else if (action.Operation == DBMODEL_Apply) {
            dbModel_Record* list = FindTarget(action.Target);
            const int index = list ? family_AppendTunnelPoint(*list->DBRecord, listType, *record) : -1;
            if (index >= 0) _TunnelPoints.emplace(record->GetRecordId().Value(), TunnelPointPlace{action.Target, index});
        }
        return;
    }
    case DATABASE_BoolActionRecord:
    case DATABASE_StrActionRecord:
        if (dbModel_Record* target = FindTarget(action.Target); QZ_ASSERT_TEXT(target != nullptr, "target"))
            family_ApplyEdit(*target->DBRecord, *record);
        return;
    case DATABASE_DBIDActionRecord:
        if (dbModel_Record* target = FindTarget(action.Target)) {
            if (target->DBRecord->GetType() == DATABASE_ObservationRecord) {
                dbRecord_Class* measurement = family_GetMeasurement(*target->DBRecord);
                if (QZ_ASSERT_TEXT(measurement != nullptr, "measurement")) family_ApplyEdit(*measurement, *record);
            } else if (target->DBRecord->GetType() == DATABASE_AntennaRecord) {
                family_ApplyEdit(*target->DBRecord, *record);
            }
        }
        return;
    case DATABASE_FeaturesActionRecord:
        ApplyFeatures(action, held);
        return;
    case DATABASE_DescriptionsActionRecord: {
        dbModel_Record* target = FindTarget(action.Target);
        dbRecordWithFeatures_Class* coded = target ? dbRecordWithFeatures_Class::Cast(target->DBRecord) : nullptr;
        const dbrecord_Descriptions* descriptions = family_GetEditDescriptions(*record);
        if (coded && descriptions) coded->SetDescriptions(*descriptions);
        return;
    }
    default:
        ApplyChainOperation(action, held);
        return;
    }
}

void dbModel::ApplyFeatures(const dbModel_Action& action, dbRecord_Class** held) {
    dbModel_Record* target = FindTarget(action.Target);
    dbRecordWithFeatures_Class* coded = target ? dbRecordWithFeatures_Class::Cast(target->DBRecord) : nullptr;
    const FeatureArray* features = family_GetEditFeatures(*action.DBRecord);
    if (!coded || !features || coded->GetFeatures().IsEqual(*features)) return;
    Discard(family_MakeFeaturesRecord(coded->GetFeatures()));
    if (held && *held == action.DBRecord) coded->GetFeatures().Swap(*family_GetHeldFeatures(*held));
    else coded->SetFeatures(*features);
}

// Whatever the operation: the measurement replaces the observation's current one.
void dbModel::ApplyMeasurement(const dbModel_Action& action, dbRecord_Class** held) {
    dbModel_Record* target = FindTarget(action.Target);
    if (!target || target->DBRecord->GetType() != DATABASE_ObservationRecord) {
        QZ_FAIL("!\"Bad action\"");
        return;
    }
    dbRecord_Class* previous = nullptr;
    if (family_AttachMeasurement(*target->DBRecord, *action.DBRecord, previous, held)) Discard(previous);
}

void dbModel::ApplyNote(const dbModel_Action& action, dbRecord_Class** held) {
    switch (action.Operation) {
    case DBMODEL_Append:
    case DBMODEL_InsertBefore:
        ApplyChainOperation(action, held);
        return;
    case DBMODEL_Replace:
    case DBMODEL_Apply:
        if (dbModel_Record* target = FindTarget(action.Target)) target->DBRecord->SetNotes(action.DBRecord->GetNotes());
        return;
    default:
        QZ_FAIL("!\"Bad action\"");
        return;
    }
}

// A point, line or arc replaced in place: the stored object takes the new values.
void dbModel::ApplyUpdate(const dbModel_Action& action) {
    dbModel_Record* target = FindTarget(action.Target);
    if (!target) return;
    const dbRecord_Class* record = action.DBRecord;
    if (!QZ_ASSERT_TEXT(target->DBRecord->GetType() == record->GetType(),
                        "oldRecord->DBRecord->GetType() == record->GetType()"))
        return;
    dbRecordWithFeatures_Class* stored = dbRecordWithFeatures_Class::Cast(target->DBRecord);
    const dbRecordWithFeatures_Class* update = dbRecordWithFeatures_Class::Cast(record);
    if (stored && update) stored->UpdateFrom(*update);
}

void dbModel::ApplyChainOperation(const dbModel_Action& action, dbRecord_Class** held) {
    switch (action.Operation) {
    case DBMODEL_Append:
        Append(*action.DBRecord, held);
        return;
    case DBMODEL_Replace:
        Replace(action.Target, *action.DBRecord, held);
        return;
    case DBMODEL_InsertBefore:
        InsertBefore(action.Target, *action.DBRecord, held);
        return;
    case DBMODEL_Remove:
        Remove(action.Target);
        return;
    default:
        QZ_FAIL("!\"Bad action\"");
        return;
    }
}

bool dbModel::CanTakeId(const dbRecord_Class& record) const {
    DBID id = record.GetRecordId();
    if (!QZ_ASSERT_TEXT(id != NODBID, "record->GetRecordId() != NODBID")) return false;
    // Two records under one id would lose one of them from the table.
    return QZ_ASSERT_TEXT(_IdTable.Get(id) == 0, "FindRecord(record->GetRecordId()) == NULL");
}

void dbModel::CountNew(const dbRecord_Class& record) {
    dbModel_TypeSummary& entry = _Summary[record.GetType()];
    ++entry.Count;
    if (entry.First == NODBID) entry.First = record.GetRecordId();
    ++_Summary[DATABASE_AllRecords].Count;
}

void dbModel::Append(const dbRecord_Class& record, dbRecord_Class** held) {
    if (!dbRecord_IsRecordType(record.GetType()) || !CanTakeId(record)) return;
    dbRecord_Class* copy = TakeOrClone(record, held);
    if (!copy) return;
    const uint32_t slot = NewHolder(copy);
    _Slots.Get(slot)->_Back = _MainThread._Back;
    if (_MainThread._Back) _Slots.Get(_MainThread._Back)->_Forward = slot;
    else _MainThread._Front = slot;
    _MainThread._Back = slot;
    _IdTable.Set(copy->GetRecordId(), slot);
    CountNew(*copy);
    _Summary[copy->GetType()].Last = copy->GetRecordId();
}

void dbModel::Replace(DBID target, const dbRecord_Class& record, dbRecord_Class** held) {
    dbModel_Record* holder = FindTarget(target);
    if (!holder) return;
    if (!QZ_ASSERT_TEXT(holder->DBRecord->GetType() == record.GetType(),
                        "oldRecord->DBRecord->GetType() == record->GetType()"))
        return;
    dbRecord_Class* copy = TakeOrClone(record, held);
    if (!copy) return;
    // The stored record keeps its place, its id and its timestamp.
    copy->SetRecordId(target);
    copy->SetTimeStamp(holder->DBRecord->GetTimeStamp());
    dbRecord_Class* old = holder->DBRecord;
    holder->DBRecord = copy;
    Discard(old);
}

void dbModel::InsertBefore(DBID target, const dbRecord_Class& record, dbRecord_Class** held) {
    if (!dbRecord_IsRecordType(record.GetType()) || !CanTakeId(record)) return;
    const uint32_t nextSlot = FindTargetSlot(target);
    if (!nextSlot) return;
    dbRecord_Class* copy = TakeOrClone(record, held);
    if (!copy) return;
    const uint32_t slot = NewHolder(copy);
    dbModel_Record* next = _Slots.Get(nextSlot);
    dbModel_Record* holder = _Slots.Get(slot);
    holder->_Forward = nextSlot;
    holder->_Back = next->_Back;
    if (next->_Back) _Slots.Get(next->_Back)->_Forward = slot;
    else _MainThread._Front = slot;
    next->_Back = slot;
    _IdTable.Set(copy->GetRecordId(), slot);
    CountNew(*copy);
    // Last moves only when no record of the type stands at or behind the new one.
    dbModel_TypeSummary& entry = _Summary[copy->GetType()];
    bool later = false;
    for (const dbModel_Record* h = next; h && !later; h = _Slots.Get(h->_Forward))
        later = h->DBRecord->GetType() == copy->GetType();
    if (entry.Last == NODBID || !later) entry.Last = copy->GetRecordId();
}

void dbModel::Remove(DBID target) {
    const uint32_t slot = FindTargetSlot(target);
    if (!slot) return;
    const dbModel_Record* holder = _Slots.Get(slot);
    if (holder->_Back) _Slots.Get(holder->_Back)->_Forward = holder->_Forward;
    else _MainThread._Front = holder->_Forward;
    if (holder->_Forward) _Slots.Get(holder->_Forward)->_Back = holder->_Back;
    else _MainThread._Back = holder->_Back;
    // Its id still finds it until the next purge.
    PutOnFreeList(slot);
}

void dbModel::PutOnFreeList(uint32_t slot) {
    dbModel_Record* holder = _Slots.Get(slot);
    holder->_Back = dbModel_Record::DiscardedMark;
    holder->_Forward = _FreeList;
    _FreeList = slot;
}

void dbModel::Discard(dbRecord_Class* record) {
    if (!record) return;
    record->SetRecordId(NODBID);
    PutOnFreeList(NewHolder(record));
    ++_SupersededCount;
}

uint32_t dbModel::NewHolder(dbRecord_Class* record) {
    if (!_SpareHolders) {
        const uint32_t first = _Slots.Grow();
        for (uint32_t slot = first + dbModel_HolderSlots::SlabSize - 1; slot >= first; --slot) {
            _Slots.Get(slot)->_Forward = _SpareHolders;
            _SpareHolders = slot;
        }
    }
    const uint32_t slot = _SpareHolders;
    dbModel_Record* holder = _Slots.Get(slot);
    _SpareHolders = holder->_Forward;
    holder->_Forward = holder->_Back = 0;
    holder->DBRecord = record;
    return slot;
}

void dbModel::DeleteHolder(uint32_t slot) {
    dbModel_Record* holder = _Slots.Get(slot);
    delete holder->DBRecord;
    holder->DBRecord = nullptr;
    holder->_Back = 0;
    holder->_Forward = _SpareHolders;
    _SpareHolders = slot;
}

void dbModel::PurgeSuperseded() {
    for (uint32_t* link = &_FreeList; _SupersededCount > 0 && *link;) {
        const uint32_t slot = *link;
        dbModel_Record* holder = _Slots.Get(slot);
        if (holder->DBRecord && holder->DBRecord->GetRecordId() != NODBID) {
            link = &holder->_Forward;
            continue;
        }
        *link = holder->_Forward;
        DeleteHolder(slot);
        --_SupersededCount;
    }
    _SupersededCount = 0;
}

void dbModel::PurgeDiscarded() {
    _SupersededCount = 0;
    while (_FreeList) {
        const uint32_t slot = _FreeList;
        const dbModel_Record* holder = _Slots.Get(slot);
        _FreeList = holder->_Forward;
        DBID id = holder->DBRecord ? holder->DBRecord->GetRecordId() : NODBID;
        if (id != NODBID && _IdTable.Get(id) == slot) _IdTable.Set(id, 0);
        DeleteHolder(slot);
    }
}

void dbModel::Clear() {
    uint32_t slot = _MainThread._Front;
    while (slot) {
        const uint32_t next = _Slots.Get(slot)->_Forward;
        DeleteHolder(slot);
        slot = next;
    }
    _MainThread._Front = _MainThread._Back = 0;
    PurgeDiscarded();
    // No id may lead to a deleted holder.
    _IdTable.ClearAll();
    _TunnelPoints.clear();
}

#include "records/dbRecord.h"

#include <new>
#include <utility>

#include "foundation/buffer.h"
#include "foundation/environment.h"
#include "foundation/kernel/clock.h"
#include "records/damage.h"
#include "records/recordheap.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

// ---------------------------------------------------------------- dbRecord_Class

dbRecord_Class::dbRecord_Class() : _TimeStamp(clock_GetTime()), _RecordId(NODBID) {}

void* dbRecord_Class::operator new(std::size_t size) { return dbRecord_Heap::Allocate(size); }

void dbRecord_Class::operator delete(void* record, std::size_t size) noexcept { dbRecord_Heap::Free(record, size); }

dbRecord_Class& dbRecord_Class::operator=(const dbRecord_Class& other) {
    if (this == &other) return *this;
    QZ_ASSERT_TEXT(GetType() == other.GetType(), "this->GetType() == other.GetType()");
    _RecordId = other._RecordId;
    _TimeStamp = other._TimeStamp;
    _Notes = other._Notes;
    return *this;
}

const Str& dbRecord_Class::GetName() const {
    static const Str empty;
    return empty;
}

bool dbRecord_Class::IsMeasurement() const {
    return dbRecord_GetTypeInfo(GetType()).Is(DBTYPE_Measurement);
}

bool dbRecord_Class::IsDeleted() const { return false; }

bool dbRecord_Class::IsPersisted() const {
    return dbRecord_GetTypeInfo(GetType()).Is(DBTYPE_Persisted);
}

bool dbRecord_Class::IsDefaultRequired() const {
    return dbRecord_GetTypeInfo(GetType()).Is(DBTYPE_DefaultRequired);
}

bool dbRecord_Class::InvalidatesPositions() const {
    return dbRecord_GetTypeInfo(GetType()).Is(DBTYPE_InvalidatesPositions);
}

dbRecord_Class* dbRecord_Class::FillUnsetFrom(const dbRecord_Class&) const { return nullptr; }

void dbRecord_Class::ApplyBoolAction(const db_BoolAction&) { QZ_FAIL("0"); }

void dbRecord_Class::ApplyDBIDAction(const db_DBID&) { QZ_FAIL("0"); }

void dbRecord_Class::ApplyStrAction(const db_Str&) { QZ_FAIL("0"); }

bool dbRecord_Class::ReadChecked(ReadBuffer& buffer, int& byteOffset) {
    Read(buffer, byteOffset);
    return !dbRecord_IsDamaged(buffer, byteOffset);
}

void dbRecord_Class::WriteHeader(WriteBuffer& buffer) const {
    buffer.PutUInt16(static_cast<uint32_t>(GetType()));
    buffer.PutUInt32(_RecordId.Value());
    buffer.PutDouble(_TimeStamp);
    buffer.PutStr(_Notes);
}

void dbRecord_Class::ReadHeader(ReadBuffer& buffer, int& byteOffset) {
    const int type = buffer.GetUInt16(byteOffset);
    QZ_ASSERT_TEXT(GetType() == type,
                   "this->GetType() == (database_RecordType) buffer.GetUInt16 (byteOffset)");
    _RecordId = DBID(buffer.GetUInt32(byteOffset));
    _TimeStamp = buffer.GetDouble(byteOffset);
    _Notes = buffer.GetString(byteOffset);
}

StrArray dbRecord_Class::GetNoteLines() const {
    Str text = _Notes;
    text.Replace("\r\n", "\r");
    text.Replace("\n\r", "\r");
    text.ReplaceChar('\n', '\r');
    StrArray lines;
    int start = 0;
    while (start < text.Length()) {
        int end = text.FindChar('\r', start);
        lines.Add(text.Mid(start, end - start));
        start = end + 1;
    }
    return lines;
}

dbRecord_Class* dbRecord_Class::Clone() const {
    // Null where the factory makes nothing: a type outside 0..161 (the radio and
    // survey bases answer 163 until their derived part is built) or no memory.
    // Callers treat null as "nothing to store".
    if (!dbRecord_IsRecordType(GetType())) return nullptr;
    try {
        return Duplicate();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void dbRecord_Class::ReportTypeMismatch(const char* text) { QZ_FAIL(text); }

// ---------------------------------------------------------------- dbrecord_Descriptions

void dbrecord_Descriptions::Write(WriteBuffer& buffer) const {
    buffer.PutStr(Description1);
    buffer.PutStr(Description2);
}

void dbrecord_Descriptions::Read(ReadBuffer& buffer, int& byteOffset) {
    Description1 = buffer.GetString(byteOffset);
    Description2 = buffer.GetString(byteOffset);
}

Str dbrecord_Descriptions::Get(int n) const {
    if (n == 1) return Description1;
    if (n == 2) return Description2;
    return Str();
}

Str* dbrecord_Descriptions::GetPtr(int n) {
    if (n == 1) return &Description1;
    if (n == 2) return &Description2;
    QZ_FAIL("false");
    return nullptr;
}

// ---------------------------------------------------------------- dbrecord_DescriptionsSlot

namespace {
bool HasNoText(const dbrecord_Descriptions& pair) {
    return pair.Description1.Length() == 0 && pair.Description2.Length() == 0;
}
}  // namespace

dbrecord_DescriptionsSlot::dbrecord_DescriptionsSlot(const dbrecord_DescriptionsSlot& other)
    : _Pair(other._Pair ? dbRecord_HeapNew<dbrecord_Descriptions>(*other._Pair) : nullptr) {}

const dbrecord_Descriptions& dbrecord_DescriptionsSlot::Get() const {
    static const dbrecord_Descriptions none;
    return _Pair ? *_Pair : none;
}

void dbrecord_DescriptionsSlot::Set(const dbrecord_Descriptions& pair) {
    if (&pair != _Pair) Set(dbrecord_Descriptions(pair));
}

void dbrecord_DescriptionsSlot::Set(dbrecord_Descriptions&& pair) {
    if (&pair == _Pair) return;
    if (HasNoText(pair)) {
        Drop();
    } else if (_Pair) {
        _Pair->Description1 = std::move(pair.Description1);
        _Pair->Description2 = std::move(pair.Description2);
    } else {
        _Pair = dbRecord_HeapNew<dbrecord_Descriptions>(std::move(pair));
    }
}

void dbrecord_DescriptionsSlot::Read(ReadBuffer& buffer, int& byteOffset) {
    dbrecord_Descriptions pair;
    pair.Read(buffer, byteOffset);
    Set(std::move(pair));
}

void dbrecord_DescriptionsSlot::Drop() noexcept {
    dbRecord_HeapDelete(_Pair);
    _Pair = nullptr;
}

// ---------------------------------------------------------------- dbRecordWithFeatures_Class

dbRecordWithFeatures_Class& dbRecordWithFeatures_Class::operator=(
    const dbRecordWithFeatures_Class& other) {
    if (this == &other) return *this;
    dbRecord_Class::operator=(other);
    _Features.Assign(other._Features);
    _Descriptions = other._Descriptions;
    return *this;
}

void dbRecordWithFeatures_Class::WriteWithFeatures(WriteBuffer& buffer) const {
    WriteHeader(buffer);
    _Features.Write(buffer);
    _Descriptions.Write(buffer);
}

void dbRecordWithFeatures_Class::ReadWithFeatures(ReadBuffer& buffer, int& byteOffset) {
    ReadHeader(buffer, byteOffset);
    if (dbRecord_IsDamaged(buffer, byteOffset)) return;
    _Features.Read(buffer, byteOffset);
    if (dbRecord_IsDamaged(buffer, byteOffset)) return;
    _Descriptions.Read(buffer, byteOffset);
}

void dbRecordWithFeatures_Class::SetFeatures(const FeatureArray& features) {
    if (&features == &_Features) return;
    _Features.Clear();
    _Features.Assign(features);
}

void dbRecordWithFeatures_Class::SetFeatureCodes(const Str& codes, bool splitDigits) {
    _Features.ParseCodeString(codes, splitDigits);
}

void dbRecordWithFeatures_Class::UpdateFeatureCodes(const Str& codes, bool splitDigits) {
    _Features.SetFromCodeString(codes, splitDigits);
}

namespace {
bool IsFeatureCoded(int type) {
    return type == DATABASE_ObservationRecord || type == DATABASE_LineRecord ||
           type == DATABASE_ArcRecord;
}
}  // namespace

dbRecordWithFeatures_Class* dbRecordWithFeatures_Class::Cast(dbRecord_Class* record) {
    return record && IsFeatureCoded(record->GetType())
               ? static_cast<dbRecordWithFeatures_Class*>(record)
               : nullptr;
}

const dbRecordWithFeatures_Class* dbRecordWithFeatures_Class::Cast(const dbRecord_Class* record) {
    return Cast(const_cast<dbRecord_Class*>(record));
}

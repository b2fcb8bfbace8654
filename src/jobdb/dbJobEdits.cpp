// JobDatabase: storing records, entities, notes and changed-only stores.
//
// Every operation here turns into actions of the access object. An operation that
// opens a nested group of its own joins the caller's group when one is open, so an
// entity (BeginEntity .. EndEntity) commits as one transaction with everything stored
// inside it.
#include "foundation/environment.h"
#include "jobdb/dbJob.h"
#include "records/stakeoutsettings.h"

namespace {
constexpr const char* kModule = "Library/dbJob";

// Point observation objects carry this flag in the job index once an entity marked
// them.
constexpr uint16_t kObservationEndsEntity = 0x20;

Str JoinLines(const StrArray& lines) {
    Str text;
    for (int i = 0; i < lines.Count(); ++i) {
        text += lines[i];
        text += "\r\n";
    }
    return text;
}
}  // namespace

// ---------------------------------------------------------------- storing and groups

DBID JobDatabase::AddRecord(const dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    _Access->BeginGroupNested();
    const DBID id = _Access->AddAction(DBMODEL_Append, NODBID, record);
    _Access->EndGroupNested();
    return id;
}

DBID JobDatabase::AppendRecord(const dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    if (_Access->InGroup()) return _Access->AddAction(DBMODEL_Append, NODBID, record);
    return AddRecord(record);
}

void JobDatabase::BeginGroup() {
    if (QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) _Access->BeginGroup();
}

void JobDatabase::EndGroup() {
    if (QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) _Access->EndGroup();
}

void JobDatabase::AbortGroup() {
    if (QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) _Access->AbortGroup();
}

dbRecord_Class* JobDatabase::GetRecord(DBID id) const { return _Access ? _Access->GetRecord(id) : nullptr; }

// ---------------------------------------------------------------- entities

DBID JobDatabase::BeginEntity(dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    if (!QZ_ASSERT_TEXT(record != nullptr, "record != NULL")) return NODBID;
    _Access->BeginGroupNested();
    if (_PendingNotes.Count() > 0) {
        record->GetNotes() += JoinLines(_PendingNotes);
        _PendingNotes.Clear();
    }
    return _Access->AddAction(DBMODEL_Append, NODBID, record);
}

DBID JobDatabase::EndEntity() {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    // Without an open entity the marker would wait, uncommitted, for someone else's group.
    if (!QZ_ASSERT_TEXT(_Access->InGroup(), "InGroup()")) return NODBID;
    const db_EndEntity marker;
    const DBID id = _Access->AddAction(DBMODEL_Append, NODBID, &marker);
    _Access->EndGroupNested();
    return id;
}

DBID JobDatabase::EndEntityMarkingObservation() {
    const DBID id = EndEntity();
    if (id == NODBID || !MainJobIndex) return id;
    // Records without an object in the index (notes, end markers) are passed over.
    for (DBID walk = _Access->GetPreviousId(id); walk != NODBID; walk = _Access->GetPreviousId(walk)) {
        const dbObjectRef reference = MainJobIndex->FindByRecordId(walk);
        if (reference.IsNull()) continue;
        if (MainJobIndex->GetRecordType(reference.GetSubscript()) != DATABASE_ObservationRecord) continue;
        if (uint16_t* flags = MainJobIndex->GetFlags(reference.GetSubscript())) *flags |= kObservationEndsEntity;
        break;
    }
    return id;
}

void JobDatabase::DeleteEntity(DBID id) {
    if (!QZ_ASSERT_TEXT(id != NODBID, "recordId != NODBID")) return;
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return;
    _Access->BeginGroupNested();
    // The walk follows the chain only: it stops at its end, and the next id is taken
    // before the removal so a removed record's links are never followed.
    for (DBID walk = id; walk != NODBID;) {
        const dbRecord_Class* record = _Access->GetRecord(walk);
        if (!record) break;
        const DBID next = _Access->GetNextId(walk);
        const bool last = record->GetType() == DATABASE_EndEntityRecord;
        _Access->AddAction(DBMODEL_Remove, walk, record);
        if (last) break;
        walk = next;
    }
    _Access->EndGroupNested();
}

// ---------------------------------------------------------------- edits and notes

DBID JobDatabase::ChangeRecord(DBID target, const db_Note& note) {
    return ChangeRecord(target, static_cast<const dbRecord_Class&>(note));
}

DBID JobDatabase::ChangeRecord(DBID target, const dbRecord_Class& record) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    return _Access->ApplyInGroup(target, &record);
}

void JobDatabase::AddPendingNoteLines(const StrArray& lines) {
    for (int i = 0; i < lines.Count(); ++i) _PendingNotes.Add(lines[i]);
}

void JobDatabase::PrependNoteLine(DBID target, const Str& line) {
    const dbRecord_Class* record = GetRecord(target);
    if (!record) return;
    db_Note note;
    Str text = line;
    text += "\r\n";
    text += JoinLines(record->GetNoteLines());
    note.SetNotes(text);
    ChangeRecord(target, note);
}

void JobDatabase::AppendNoteLines(DBID target, const StrArray& lines) {
    const dbRecord_Class* record = GetRecord(target);
    if (!record) return;
    db_Note note;
    Str text = JoinLines(record->GetNoteLines());
    text += JoinLines(lines);
    note.SetNotes(text);
    ChangeRecord(target, note);
}

// ---------------------------------------------------------------- changed-only stores

DBID JobDatabase::AddIfChanged(const dbRecord_Class* record, const dbRecord_Class* current) {
    const DBID endOfStyle = _Access->GetLastIdOfType(DATABASE_EndStyleRecord);
    // A record stored before the newest end of a survey style no longer counts.
    const bool stale = current && current->GetRecordId().Value() < endOfStyle.Value();
    if (current && !stale && record->IsEqual(*current)) return current->GetRecordId();
    return AppendRecord(record);
}

DBID JobDatabase::AddTargetIfChanged(const dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    if (!QZ_ASSERT_TEXT(record != nullptr && record->GetType() == DATABASE_TargetRecord,
                        "record->GetType () == DATABASE_TargetRecord"))
        return NODBID;
    const dbRecord_Class* current = MainJobIndex ? MainJobIndex->FindTargetRecord(record->GetName()) : nullptr;
    const DBID currentId = current ? current->GetRecordId() : NODBID;
    const DBID id = AddIfChanged(record, current);
    if (id != NODBID && id != currentId) Environment::Get()->FeaturesAdded(record);
    return id;
}

DBID JobDatabase::AddAntennaIfChanged(const dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    if (!QZ_ASSERT_TEXT(record != nullptr && record->GetType() == DATABASE_AntennaRecord,
                        "record->GetType () == DATABASE_AntennaRecord"))
        return NODBID;
    return AddIfChanged(record, GetNewest(DATABASE_AntennaRecord));
}

DBID JobDatabase::AddEquipmentIfChanged(const dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    if (!QZ_ASSERT_TEXT(record != nullptr && record->GetType() == DATABASE_EquipmentRecord,
                        "record->GetType () == DATABASE_EquipmentRecord"))
        return NODBID;
    return AddIfChanged(record, GetNewest(DATABASE_EquipmentRecord));
}

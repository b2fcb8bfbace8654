#include "jobdb/dbaccess.h"

#include <cstdio>

#include "foundation/environment.h"
#include "foundation/kernel/clock.h"

namespace {
constexpr const char* kModule = "Library/dbaccess";

void CheckThreadSafe() {
    QZ_ASSERT_TEXT(Environment::Get()->IsThreadSafe(), "Environment::Get()->IsThreadSafe ()");
}

void Warn(const char* text, uint32_t value) {
    char hex[16];
    std::snprintf(hex, sizeof hex, " 0x%x", static_cast<unsigned>(value));
    Str message(text);
    message += hex;
    Environment::Get()->Warning(message.Data());
}

// Operations that name a stored record as their target.
bool NeedsTarget(int operation) { return operation != DBMODEL_Append; }

// Operations whose id is their target's rather than a new one.
bool KeepsTargetId(int operation) { return operation == DBMODEL_Replace || operation == DBMODEL_Remove; }
}  // namespace

void dbListener::Committed(dbTransaction&) {}

void dbListener::Aborted(dbTransaction&) {}

dbAccess::~dbAccess() {
    QZ_ASSERT_TEXT(_GroupNestCount == 0, "_GroupNestCount == 0");
    for (dbTransaction& transaction : _Transactions) {
        QZ_ASSERT_TEXT(transaction.Empty(), "_Transactions[i].Empty()");
        transaction.Clear();
    }
    if (IsOpen()) Close();
    _Model.Clear();
}

int dbAccess::CurrentSlot() {
    const int thread = Environment::Get()->GetCurrentThread();
    if (!QZ_ASSERT_TEXT(thread >= 0 && thread < ThreadSlots, "thread >= 0 && thread < DBACCESS_MaxThreads")) return 0;
    return thread;
}

bool dbAccess::IsStartThread() { return _GroupStartThread == Environment::Get()->GetCurrentThread(); }

dbTransaction& dbAccess::CurrentTransaction() { return _Transactions[CurrentSlot()]; }

// ---------------------------------------------------------------- groups

void dbAccess::BeginGroup() {
    QZ_ASSERT_TEXT(!InGroup(), "!InGroup()");
    BeginGroupNested();
}

void dbAccess::EndGroup() {
    QZ_ASSERT_TEXT(_GroupNestCount == 1, "_GroupNestCount == 1");
    EndGroupNested();
}

void dbAccess::AbortGroup() {
    QZ_ASSERT_TEXT(_GroupNestCount == 1, "_GroupNestCount == 1");
    AbortGroupNested();
}

void dbAccess::BeginGroupNested() {
    CheckThreadSafe();
    if (_GroupNestCount == 0) {
        _SavedNextRecordId = _Model.PeekNextRecordId();
        _GroupStartThread = Environment::Get()->GetCurrentThread();
        _Model.SetFailed(false);
    } else {
        QZ_ASSERT_TEXT(IsStartThread(), "_GroupStartThread == Environment::Get()->GetCurrentThread()");
    }
    ++_GroupNestCount;
}

void dbAccess::EndGroupNested() {
    CheckThreadSafe();
    if (!QZ_ASSERT_TEXT(_GroupNestCount > 0, "this->_GroupNestCount > 0")) return;
    QZ_ASSERT_TEXT(IsStartThread(), "_GroupStartThread == Environment::Get()->GetCurrentThread()");
    if (_GroupNestCount > 1) {
        --_GroupNestCount;
        return;
    }
    dbTransaction& transaction = CurrentTransaction();
    if (!_Model.HasFailed() && (_AutoGroup || !_Listener)) {
        // No listener sees the transaction and nothing can fail it now (the model stops
        // only on a flag set before): the journal encodes its records first, which the
        // model never changes, so the bytes are the same, and the model then keeps the
        // records themselves instead of copies.
        if (!transaction.Empty()) _Journal.AppendTransaction(transaction);
        _Model.ApplyTransactionUsingRecords(transaction);
    } else {
        if (_Model.ApplyTransaction(transaction)) {
            AbortGroupNested();
            return;
        }
        if (!transaction.Empty() && _Listener && !_AutoGroup) _Listener->Committed(transaction);
        if (!transaction.Empty()) _Journal.AppendTransaction(transaction);
    }
    --_GroupNestCount;
    transaction.Clear();
    _GroupStartThread = -1;
}

void dbAccess::AbortGroupNested() {
    CheckThreadSafe();
    // Only the outermost group can be abandoned; any other level is refused whole, so
    // the nest count stays as it was.
    if (!QZ_ASSERT_TEXT(_GroupNestCount == 1, "_GroupNestCount == 1")) return;
    QZ_ASSERT_TEXT(IsStartThread(), "_GroupStartThread == Environment::Get()->GetCurrentThread()");
    dbTransaction& transaction = CurrentTransaction();
    if (!transaction.Empty()) {
        if (_Listener && !_AutoGroup) _Listener->Aborted(transaction);
        transaction.MarkAborted();
        // Journaled all the same, marked so that replay skips it.
        _Journal.AppendTransaction(transaction);
        transaction.Clear();
    }
    --_GroupNestCount;
    _Model.SetNextRecordId(_SavedNextRecordId);
    _GroupStartThread = -1;
}

DBID dbAccess::AddAction(int operation, DBID target, const dbRecord_Class* record) {
    return QueueAction(operation, target, record, nullptr);
}

DBID dbAccess::AddAction(int operation, DBID target, std::unique_ptr<dbRecord_Class> record) {
    const dbRecord_Class* given = record.get();
    return QueueAction(operation, target, given, std::move(record));
}

DBID dbAccess::QueueAction(int operation, DBID target, const dbRecord_Class* record,
                           std::unique_ptr<dbRecord_Class> owned) {
    CheckThreadSafe();
    // Refused actions store nothing and say so by NODBID: nothing could be journaled or
    // replayed from them.
    if (!QZ_ASSERT_TEXT(record != nullptr, "record != NULL")) return NODBID;
    if (!QZ_ASSERT_TEXT(dbRecord_IsRecordType(record->GetType()),
                        "record->GetType () >= DATABASE_JobHeaderRecord && record->GetType () < DATABASE_AllRecords"))
        return NODBID;
    const bool known = dbModel_IsOperation(operation) && operation != DBMODEL_Foreign && operation != DBMODEL_NoRecord;
    if (!QZ_ASSERT_TEXT(known, "!\"Bad action\"")) return NODBID;
    // A measurement lives inside its observation: it is only ever applied to one.
    if (operation != DBMODEL_Apply && !QZ_ASSERT_TEXT(!record->IsMeasurement(), "!record->IsMeasurement ()"))
        return NODBID;
    if (NeedsTarget(operation) && !QZ_ASSERT_TEXT(target != NODBID, "target != NODBID")) return NODBID;
    if (_CheckLengthsFirst && !dbJournal::Fits(operation, target, *record)) {
        Warn("Journal: Record too long, action refused. Type", static_cast<uint32_t>(record->GetType()));
        return NODBID;
    }

    if (_AutoGroup) BeginGroupNested();
    QZ_ASSERT_TEXT(InGroup(), "InGroup()");
    // The id is taken even when the model has failed: the group is abandoned at its
    // end and hands it out again.
    const DBID id = KeepsTargetId(operation) ? target : _Model.NextRecordId();
    if (!_Model.HasFailed()) {
        dbRecord_Class* clone = owned ? owned.release() : record->Clone();
        if (QZ_ASSERT_TEXT(clone != nullptr, "clone != NULL")) {
            clone->SetRecordId(id);
            if (_TimeStamping) clone->SetTimeStamp(clock_GetTime());
            dbModel_Action* action = new dbModel_Action;
            action->Operation = operation;
            action->Target = target;
            action->SetRecord(clone);
            CurrentTransaction().Append(action);
        }
    }
    if (_AutoGroup) EndGroupNested();
    return id;
}

DBID dbAccess::ApplyInGroup(DBID target, const dbRecord_Class* record) {
    BeginGroupNested();
    DBID id = AddAction(DBMODEL_Apply, target, record);
    EndGroupNested();
    return id;
}

DBID dbAccess::ApplyInGroup(DBID target, std::unique_ptr<dbRecord_Class> record) {
    BeginGroupNested();
    DBID id = AddAction(DBMODEL_Apply, target, std::move(record));
    EndGroupNested();
    return id;
}

// ---------------------------------------------------------------- reading

DBID dbAccess::GetFirstId() const {
    const dbModel_Record* front = _Model.GetThread().GetFront();
    return front ? front->DBRecord->GetRecordId() : NODBID;
}

DBID dbAccess::GetNextId(DBID id) const {
    const dbModel_Record* holder = _Model.FindRecord(id);
    if (!holder || holder->IsDiscarded()) return NODBID;
    const dbModel_Record* next = _Model.GetThread().GetNextHolder(holder);
    return next ? next->DBRecord->GetRecordId() : NODBID;
}

DBID dbAccess::GetPreviousId(DBID id) const {
    const dbModel_Record* holder = _Model.FindRecord(id);
    const dbModel_Record* previous = _Model.GetThread().GetPreviousHolder(holder);
    return previous ? previous->DBRecord->GetRecordId() : NODBID;
}

DBID dbAccess::GetLastId() {
    const dbModel_Record* back = _Model.GetThread().GetBack();
    DBID id = back ? back->DBRecord->GetRecordId() : NODBID;
    for (const dbModel_Action* action = CurrentTransaction().GetFirst(); action; action = action->GetNext())
        if (action->Operation == DBMODEL_Append && action->DBRecord) id = action->DBRecord->GetRecordId();
    return id;
}

DBID dbAccess::GetLastIdOfType(int type) {
    DBID id = NODBID;
    for (const dbModel_Action* action = CurrentTransaction().GetFirst(); action; action = action->GetNext())
        if (action->DBRecord && action->DBRecord->GetType() == type) id = action->DBRecord->GetRecordId();
    if (id != NODBID) return id;
    return _Model.GetTypeSummary(type).Last;
}

// ---------------------------------------------------------------- the file

bool dbAccess::CreateFile(const Str& path, const filehdr_Class& header) {
    _OpenedWritable = _Journal.Create(path, header);
    return _OpenedWritable;
}

bool dbAccess::Open(const Str& path, bool writable) {
    CheckThreadSafe();
    _OpenedWritable = writable;
    if (!_Journal.Open(path, writable)) {
        _OpenStatus = DBACCESS_CannotOpen;
        return false;
    }
    const filehdr_Class fresh(FILEHDR_Journal);
    filehdr_Class header(FILEHDR_Journal);
    if (!_Journal.GetHeader(header) || header.FileType != fresh.FileType) {
        _OpenStatus = DBACCESS_NotAJob;
        Close();
        return false;
    }
    if (!header.IsSame(fresh)) {
        _OpenStatus = DBACCESS_WrongVersion;
        Close();
        return false;
    }
    const bool complete = ReplayJournal();
    if (_Model.HasFailed()) {
        _OpenStatus = DBACCESS_ModelFailed;
        Close();
        return false;
    }
    if (!_Model.GetThread().GetFront()) {
        _OpenStatus = DBACCESS_NotAJob;
        Close();
        return false;
    }
    _OpenStatus = complete ? DBACCESS_Opened : DBACCESS_Damaged;
    // A partial last transaction is dropped; cutting it off now keeps its bytes from
    // standing behind shorter new ones. A damaged tail waits for the caller's decision.
    if (complete && writable && _Journal.IsWritable() &&
        _Journal.GetFileSize() > static_cast<uint64_t>(_Journal.GetAppendPosition()))
        TruncateJournal();
    return true;
}

bool dbAccess::ReplayJournal() {
    if (!QZ_ASSERT_TEXT(_Journal.IsOpen(), "_Journal._File.IsOpen()")) return false;
    _Journal.SeekFirstRecord();
    bool result = true;
    while (!_Model.HasFailed()) {
        int status = DBJOURNAL_ReadGood;
        dbTransaction* transaction = _Journal.ReadTransaction(status);
        const bool more = status == DBJOURNAL_ReadGood || status == DBJOURNAL_ReadAborted ||
                          status == DBJOURNAL_ReadPartial;
        if (status == DBJOURNAL_ReadGood && transaction) ApplyReplayedTransaction(*transaction);
        if (more) _Journal.SetAppendPosition(_Journal.GetLastGoodAppendPosition());
        delete transaction;
        if (!more) {
            result = status != DBJOURNAL_ReadDamaged;
            break;
        }
    }
    _Model.PurgeDiscarded();
    _Journal.SetRepairDetected(false);
    return result;
}

void dbAccess::ApplyReplayedTransaction(dbTransaction& transaction) {
    const bool repaired = _Journal.IsRepairDetected();
    for (dbModel_Action* action = transaction.GetFirst(); action && !_Model.HasFailed(); action = action->GetNext()) {
        if (action->Operation == DBMODEL_Foreign) continue;
        dbRecord_Class* record = action->DBRecord;
        if (!record) continue;
        if (repaired && action->Operation != DBMODEL_Append && !_Model.GetRecord(action->Target)) {
            Warn("Target record missing from Model.  Target ", action->Target.Value());
            Warn("-- Offending record ID ", record->GetRecordId().Value());
            continue;
        }
        if (KeepsTargetId(action->Operation)) {
            QZ_ASSERT_TEXT(record->GetRecordId() == action->Target, "action->DBRecord->RecordId == action->Target");
        } else if (record->GetRecordId() == NODBID) {
            QZ_ASSERT_TEXT(action->Operation == DBMODEL_Apply, "action->Operation == DBMODEL_Apply");
        } else {
            const uint32_t expected = _Model.NextRecordId().Value();
            const uint32_t id = record->GetRecordId().Value();
            if (id != expected) {
                if (repaired) {
                    Warn("DBID discontinuity.  Expected ", expected);
                    Warn("-- Actual DBID read ", id);
                }
                // The counter never falls behind an id that was read, nor goes back
                // below one already handed out.
                _Model.SetNextRecordId(DBID(id + 1 > expected ? id + 1 : expected));
                if (id < expected && _Model.FindRecord(record->GetRecordId())) {
                    Warn("Duplicate DBID skipped.  Record ", id);
                    continue;
                }
            }
        }
        _Model.ApplyAction(*action);
    }
}

bool dbAccess::Close() {
    bool ok = true;
    if (_Journal.IsOpen()) ok = _Journal.Close();
    _Model.Clear();
    return ok;
}

int64_t dbAccess::TruncateJournal() {
    // A job opened for reading is never changed.
    if (!_OpenedWritable || !_Journal.IsOpen()) return 0;
    return _Journal.TruncateAt(_Journal.GetAppendPosition());
}

void dbAccess::FlushIfDue(double now) {
    if (InGroup()) return;
    _Journal.FlushIfDue(now);
}

#include "jobdb/dbJob.h"

#include <cstdio>

#include "foundation/environment.h"
#include "records/dbRecordFactory.h"

namespace {
constexpr const char* kModule = "Library/dbJob";

void CheckThreadSafe() {
    QZ_ASSERT_TEXT(Environment::Get()->IsThreadSafe(), "Environment::Get()->IsThreadSafe ()");
}
}  // namespace

// ---------------------------------------------------------------- JobListener

void JobListener::Committed(dbTransaction& transaction) {
    for (const dbModel_Action* action = transaction.GetFirst(); action; action = action->GetNext())
        if (action->DBRecord && action->DBRecord->IsPersisted()) _Job->_SettingsCache->Store(action->DBRecord);
    if (_Job->MainJobIndex) _Job->MainJobIndex->FollowTransaction(&transaction);
    if (_Job->TransactionCallback) _Job->TransactionCallback(_Job, transaction);
}

void JobListener::Aborted(dbTransaction&) {}

// ---------------------------------------------------------------- JobSettingsCache

JobSettingsCache::~JobSettingsCache() { Clear(); }

int JobSettingsCache::Store(const dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(record != nullptr, "record != NULL")) return -1;
    QZ_ASSERT_TEXT(record->IsPersisted(), "record->IsPersisted()");
    dbRecord_Class* copy = record->Clone();
    if (!QZ_ASSERT_TEXT(copy != nullptr, "copy != NULL")) return -1;
    ++_ChangeCount;
    for (int i = 0; i < _Count; ++i) {
        if (_Records[i]->GetType() == record->GetType()) {
            delete _Records[i];
            _Records[i] = copy;
            return i;
        }
    }
    dbRecord_Class** records = new dbRecord_Class*[_Count + 1];
    for (int i = 0; i < _Count; ++i) records[i] = _Records[i];
    records[_Count] = copy;
    delete[] _Records;
    _Records = records;
    return _Count++;
}

dbRecord_Class* JobSettingsCache::Get(int type) {
    for (int i = 0; i < _Count; ++i)
        if (_Records[i]->GetType() == type) return _Records[i];
    dbRecord_Class* def = dbRecord_Create(type);
    // A type whose class is not built yet has no default to offer.
    if (!QZ_ASSERT_TEXT(def != nullptr, "def")) return nullptr;
    QZ_ASSERT_TEXT(def->IsPersisted(), "def->IsPersisted()");
    const int i = Store(def);
    delete def;
    return i >= 0 ? _Records[i] : nullptr;
}

dbRecord_Class* JobSettingsCache::GetAt(int i) const {
    if (!QZ_ASSERT_TEXT((i >= 0) && (i < _Count), "(i >= 0) && (i < count)")) return nullptr;
    return _Records[i];
}

void JobSettingsCache::Clear() {
    for (int i = 0; i < _Count; ++i) delete _Records[i];
    delete[] _Records;
    _Records = nullptr;
    _Count = 0;
}

// ---------------------------------------------------------------- JobDatabase

JobDatabase::JobDatabase() : _SettingsCache(new JobSettingsCache) {}

JobDatabase::~JobDatabase() {
    delete _SettingsCache;
    // The owner closes first; an index or access object still here is freed, not closed.
    if (!IsReferenceToJob) {
        if (MainJobIndex) {
            MainJobIndex->Database = nullptr;
            MainJobIndex->Clear();
            delete MainJobIndex;
        }
        delete _Access;
    }
}

void JobDatabase::AttachIndex() {
    MainJobIndex = dbJobIndex_New();
    MainJobIndex->Reset();
    MainJobIndex->AttachJob(this);
}

bool JobDatabase::Create(const Str& path, const Str& jobName, bool noTimeStamps) {
    CheckThreadSafe();
    if (!QZ_ASSERT_TEXT(_Access == nullptr, "_Access == NULL")) return false;
    _Access = new dbAccess;
    // Exclusive creation: an existing file of that name is never touched, and a file
    // whose header could not be written is removed again.
    if (!_Access->CreateFile(path, filehdr_Class(FILEHDR_Journal))) {
        delete _Access;
        _Access = nullptr;
        return false;
    }
    if (noTimeStamps) _Access->DisableTimeStamps();
    _JobHeader.JobName = jobName;
    _Access->BeginGroupNested();
    const DBID id = _Access->AddAction(DBMODEL_Append, NODBID, &_JobHeader);
    _Access->EndGroupNested();
    // The held header mirrors record 1 as stored.
    if (const dbRecord_Class* stored = _Access->GetRecord(id)) dbRecord_CopyFields(*stored, _JobHeader);
    AttachIndex();
    _Access->SetListener(&_Listener);
    _OpenStatus = DBACCESS_Opened;
    return true;
}

bool JobDatabase::Open(const Str& path, bool writable) {
    _OpenFlag = false;
    if (!QZ_ASSERT_TEXT(_Access == nullptr, "_Access == NULL")) return false;
    _Access = new dbAccess;
    bool ok = _Access->Open(path, writable);
    _OpenStatus = _Access->GetOpenStatus();
    if (ok && _OpenStatus == DBACCESS_Damaged) {
        if (TruncationCallback && TruncationCallback(this)) {
            const int64_t position = _Access->TruncateJournal();
            char text[64];
            std::snprintf(text, sizeof text, "Journal truncated at file position 0x%llx",
                          static_cast<unsigned long long>(position));
            Environment::Get()->Warning(text);
        } else {
            _Access->Close();
            ok = false;
        }
    }
    if (!ok) {
        delete _Access;
        _Access = nullptr;
        return false;
    }
    AttachIndex();
    if (const dbRecord_Class* first = _Access->GetRecord(DBID(1))) dbRecord_CopyFields(*first, _JobHeader);
    else QZ_FAIL("Source.GetType () == Dest.GetType()");
    _Access->SetListener(&_Listener);
    return true;
}

bool JobDatabase::Close() {
    _OpenFlag = false;
    if (IsReferenceToJob) {
        MainJobIndex = nullptr;
        _Access = nullptr;
        IsReferenceToJob = false;
        return true;
    }
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return false;
    bool ok = true;
    if (_PendingNotes.Count() > 0) {
        Str text;
        for (int i = 0; i < _PendingNotes.Count(); ++i) {
            text += _PendingNotes[i];
            text += "\r\n";
        }
        db_Note note;
        note.SetNotes(text);
        _Access->BeginGroupNested();
        if (_Access->AddAction(DBMODEL_Append, NODBID, &note) == NODBID) ok = false;
        _Access->EndGroupNested();
        _PendingNotes.Clear();
    }
    if (!_Access->Close()) ok = false;
    delete _Access;
    _Access = nullptr;
    if (MainJobIndex) {
        MainJobIndex->Database = nullptr;
        MainJobIndex->Clear();
        delete MainJobIndex;
        MainJobIndex = nullptr;
    }
    return ok;
}

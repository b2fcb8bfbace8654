// JobDatabase: settings in force, default settings and the default-settings file.
//
// A settings type is a record type whose IsPersisted answers true: the job's newest
// record of the type is in force. The settings cache holds one record per type: the
// job's newest as commits arrive, or the type's defaults made on first use, or the
// records of a default-settings file.
//
// The default-settings file is an ordinary job file under "$(ProjectRootDir)": the
// file header of a job, then one transaction holding a job header record named
// "DefaultSettings" (id 1) and the cached settings records (ids 2, 3, ...).
#include "foundation/environment.h"
#include "foundation/files/filesys.h"
#include "foundation/files/path.h"
#include "foundation/kernel/clock.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbRecordCalls.h"
#include "platform/error.h"
#include "platform/file.h"
#include "records/coordsysdefs.h"
#include "records/imaging.h"

namespace {
constexpr const char* kModule = "Library/dbJob";

constexpr const char* kDefaultSettingsName = "DefaultSettings";
// Where a new default-settings file is written before it replaces the old one.
constexpr const char* kTemporarySuffix = ".tmp";

Str DefaultSettingsPath(const Str& name) { return path_CombineAndExpand("$(ProjectRootDir)", name); }

// Records that may stand between a record and the projection in force for it.
bool IsCoordinateSystemCompanion(int type) {
    switch (type) {
        case DATABASE_NoteRecord:
        case DATABASE_EllipsoidRecord:
        case DATABASE_DatumRecord:
        case DATABASE_PlaneRecord:
        case DATABASE_HeightRecord:
        case DATABASE_CorrectionsRecord:
        case DATABASE_DescriptionsDefinitionRecord:
        case DATABASE_CoordSysControlRecord:
        case DATABASE_CoordSystemRecord:
            return true;
        default:
            return false;
    }
}

void CheckThreadSafe() {
    QZ_ASSERT_TEXT(Environment::Get()->IsThreadSafe(), "Environment::Get ()->IsThreadSafe ()");
}
}  // namespace

// ---------------------------------------------------------------- settings in force

dbRecord_Class* JobDatabase::GetNewest(int type) {
    if (!_Access || !_Access->IsOpen()) return nullptr;
    return _Access->GetRecord(_Access->GetLastIdOfType(type));
}

dbRecord_Class* JobDatabase::GetSettings(int type) {
    // An append still pending in the caller's group has no record yet: the cache
    // answers until it commits.
    if (dbRecord_Class* record = GetNewest(type)) return record;
    return _SettingsCache->Get(type);
}

void JobDatabase::EnsureSettings(int type) {
    dbRecord_Class* defaults = _SettingsCache->Get(type);
    if (!defaults) return;
    const dbRecord_Class* newest = GetNewest(type);
    if (!newest) {
        if (defaults->IsDefaultRequired()) AppendRecord(defaults);
        return;
    }
    dbRecord_Class* completed = newest->FillUnsetFrom(*defaults);
    if (!completed) {
        _SettingsCache->Store(newest);
        return;
    }
    AppendRecord(completed);
    delete completed;
}

void JobDatabase::WriteDefaultSettings() {
    if (!QZ_ASSERT_TEXT(!InTransaction(), "!this->InTransaction()")) return;
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return;
    _Access->BeginGroup();
    for (int type : {DATABASE_UnitsRecord, DATABASE_CodingRecord, DATABASE_CorrectionsRecord,
                     DATABASE_DescriptionsDefinitionRecord})
        EnsureSettings(type);
    _Access->EndGroup();
}

void JobDatabase::LoadSettingsFromJob() {
    if (!_Access) return;
    for (DBID id = _Access->GetFirstId(); id != NODBID; id = _Access->GetNextId(id)) {
        const dbRecord_Class* record = _Access->GetRecord(id);
        if (record && record->IsPersisted()) _SettingsCache->Store(record);
    }
}

void JobDatabase::UpdateAutoEntityNames() {
    const dbRecord_Class* cached = _SettingsCache->Get(DATABASE_AutoEntityNamesRecord);
    if (!cached) return;
    const dbRecord_Class* newest = GetNewest(DATABASE_AutoEntityNamesRecord);
    if (!newest || !newest->IsEqual(*cached)) AppendRecord(cached);
}

void JobDatabase::UpdateTimeZone() {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return;
    db_TimeZone zone;
    if (!clock_GetTimeZone(zone.TimeZoneName, zone.HoursToUTC)) return;
    const dbRecord_Class* newest = GetNewest(DATABASE_TimeZoneRecord);
    if (!newest || !newest->IsEqual(zone)) dbRecord_AppendGrouped(_Access, &zone);
}

// ---------------------------------------------------------------- the default-settings file

bool JobDatabase::LoadDefaultSettings(const Str& name) {
    CheckThreadSafe();
    _SettingsCache->Clear();
    const Str path = DefaultSettingsPath(name);
    if (!filesys_FileExists(path)) return false;
    dbJournal* journal = new dbJournal;
    bool loaded = false;
    if (journal->Open(path, false)) {
        const filehdr_Class fresh(FILEHDR_Journal);
        filehdr_Class header(FILEHDR_Journal);
        if (journal->GetHeader(header) && header.FileType == fresh.FileType && header.IsSame(fresh)) {
            journal->SeekFirstRecord();
            for (;;) {
                int status = 0;
                dbTransaction* transaction = journal->ReadTransaction(status);
                if (transaction && status == 0) {
                    for (const dbModel_Action* action = transaction->GetFirst(); action; action = action->GetNext())
                        if (action->DBRecord && action->DBRecord->IsPersisted())
                            _SettingsCache->Store(action->DBRecord);
                }
                delete transaction;
                if (status != 0) break;
            }
            loaded = true;
        }
        journal->Close();
    }
    delete journal;
    return loaded;
}

bool JobDatabase::SaveDefaultSettings(const Str& name) {
    CheckThreadSafe();
    const Str path = DefaultSettingsPath(name);
    // The old file stays until the new one is complete on disk.
    Str temporary = path;
    temporary += kTemporarySuffix;
    if (filesys_FileExists(temporary)) platform_DeleteFile(temporary.Data());

    dbJournal* journal = new dbJournal;
    if (!journal->Create(temporary, filehdr_Class(FILEHDR_Journal))) {
        delete journal;
        return false;
    }
    dbTransaction transaction;
    db_JobHeader header;
    header.JobName = kDefaultSettingsName;
    int id = 1;
    auto add = [&](const dbRecord_Class* record) {
        dbModel_Action* action = new dbModel_Action(DBMODEL_Append, NODBID, record);
        if (action->DBRecord) action->DBRecord->SetRecordId(DBID(id++));
        transaction.Append(action);
    };
    add(&header);
    for (int i = 0; i < _SettingsCache->GetCount(); ++i) add(_SettingsCache->GetAt(i));
    journal->AppendTransaction(transaction);
    const bool written = journal->Close();
    delete journal;

    if (written && platform_ReplaceFile(temporary.Data(), path.Data())) return true;
    platform_DeleteFile(temporary.Data());
    return false;
}

// ---------------------------------------------------------------- projections

const db_Projection* JobDatabase::GetProjectionFor(DBID id) {
    if (_Access) {
        for (DBID walk = _Access->GetNextId(id); walk != NODBID; walk = _Access->GetNextId(walk)) {
            const dbRecord_Class* record = _Access->GetRecord(walk);
            if (!record) break;
            if (record->GetType() == DATABASE_ProjectionRecord) return db_Projection::Cast(record);
            if (!IsCoordinateSystemCompanion(record->GetType())) break;
        }
        for (DBID walk = _Access->GetPreviousId(id); walk != NODBID; walk = _Access->GetPreviousId(walk)) {
            const dbRecord_Class* record = _Access->GetRecord(walk);
            if (record && record->GetType() == DATABASE_ProjectionRecord) return db_Projection::Cast(record);
        }
    }
    return GetProjectionSettings();
}

bool JobDatabase::IsScaleOnlyChange(int kind) {
    const db_Projection* settings = GetProjectionSettings();
    if (!settings) return false;
    const int current = settings->Projection.ProjectionType;
    return kind != current && (kind == COORDSYS_ScaleOnly || current == COORDSYS_ScaleOnly);
}

// ---------------------------------------------------------------- files and references

bool JobDatabase::ReadFileHeader(const Str& path, filehdr_Class& header) {
    return dbJournal_ReadFileHeader(path, header);
}

void JobDatabase::ReferToJob(JobDatabase& other) {
    // A job of its own would be lost behind the borrowed pointers.
    if (!QZ_ASSERT_TEXT(IsReferenceToJob || (_Access == nullptr && MainJobIndex == nullptr),
                        "_Access == NULL"))
        return;
    MainJobIndex = other.MainJobIndex;
    _Access = other._Access;
    _OpenFlag = other._OpenFlag;
    IsReferenceToJob = true;
}

// JobDatabase: one job as the rest of the program sees it.
//
// It creates or opens the job file through its own dbAccess, owns the job index, holds
// a copy of the job header record (record 1), caches the newest settings record of
// every settings type, and keeps the pending note lines that Close stores as one note
// record. Its listener keeps the cache and the index in step with every committed
// transaction; in automatic-group mode (the import) no commit reaches it.
#pragma once

#include "foundation/files/filehdr.h"
#include "foundation/text/str.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbJobIndex.h"
#include "records/dbFeatures.h"
#include "records/dbRecord.h"
#include "records/dbid.h"
#include "records/jobheader.h"

class JobDatabase;
// The settings records the getters name.
class db_AttachedFilesList;
class db_AutoEntityNames;
class db_BackgroundFileList;
class db_Coding;
class db_ConfigCalib;
class db_CoordSystem;
class db_CoordSystemControl;
class db_CoordViewType;
class db_Corrections;
class db_Datum;
class db_DescriptionsDefinition;
class db_Ellipsoid;
class db_Height;
class db_JobProperties;
class db_Plane;
class db_Projection;
class db_RoadAvailableStations;
class db_RoverSurvey;
class db_StakeoutList;
class db_TraverseAdjustment;
class db_Units;

class JobListener : public dbListener {
public:
    explicit JobListener(JobDatabase* job) : _Job(job) {}
    void Committed(dbTransaction& transaction) override;
    void Aborted(dbTransaction& transaction) override;

private:
    JobDatabase* _Job;
};

// The newest record of each settings type, at most one per type code; the cache owns
// clones.
class JobSettingsCache {
public:
    JobSettingsCache() = default;
    JobSettingsCache(const JobSettingsCache&) = delete;
    JobSettingsCache& operator=(const JobSettingsCache&) = delete;
    ~JobSettingsCache();

    // Stores a clone in place of the cached record of the same type; the index, or -1
    // for a null record.
    int Store(const dbRecord_Class* record);
    // The cached record of a type, a default one made and stored when none is cached;
    // null (reported) for a type the factory cannot make.
    dbRecord_Class* Get(int type);
    dbRecord_Class* GetAt(int i) const;
    int GetCount() const { return _Count; }
    int GetChangeCount() const { return _ChangeCount; }
    void Clear();

private:
    dbRecord_Class** _Records = nullptr;
    int _Count = 0;
    int _ChangeCount = 0;
};

class JobDatabase {
public:
    JobDatabase();
    JobDatabase(const JobDatabase&) = delete;
    JobDatabase& operator=(const JobDatabase&) = delete;
    // Does not close the job: the owner closes first.
    virtual ~JobDatabase();

    // A new job file (never an existing one) holding the job header record under the
    // given name. With noTimeStamps every stored record keeps its own timestamp.
    bool Create(const Str& path, const Str& jobName, bool noTimeStamps);
    // Opens and replays a job. A job damaged in the middle opens only when the
    // truncation callback agrees to cut it behind the last good transaction.
    bool Open(const Str& path, bool writable);
    // Stores the pending note lines as one note record, flushes and closes. False when
    // anything stored since the job was created or opened did not reach the file.
    bool Close();

    bool IsOpen() const { return _OpenFlag && _Access && _Access->IsOpen(); }
    bool InTransaction() const { return _Access && _Access->InGroup(); }

    // ---------------------------------------------------------------- records
    // Every change is one action of the access object. Most operations open a nested
    // group of their own: inside an outer group they join it, outside they commit at
    // once. Without an access object they store nothing and give NODBID.

    // An append in a nested group of its own; the new id.
    DBID AddRecord(const dbRecord_Class* record);
    // An append inside the open group, else in a group of its own; the new id.
    DBID AppendRecord(const dbRecord_Class* record);
    // The outermost group of the access object.
    void BeginGroup();
    void EndGroup();
    void AbortGroup();
    // The committed record under an id; null without an access object.
    dbRecord_Class* GetRecord(DBID id) const;

    // An entity: its first record and everything stored up to EndEntity commit
    // together. BeginEntity moves the pending note lines into the record's notes, each
    // ended by CR LF, appends the record and leaves its group open.
    DBID BeginEntity(dbRecord_Class* record);
    // Appends a db_EndEntity and closes the entity's group; its id.
    DBID EndEntity();
    // As EndEntity; then the newest point observation before the marker that the job
    // index holds is flagged 0x20 there.
    DBID EndEntityMarkingObservation();
    // Removes the run of records from id through the next db_EndEntity, in one
    // transaction. Notes stay (the model keeps them).
    void DeleteEntity(DBID id);

    // Edit records applied to a stored record, each in a nested group of its own; the
    // id the apply consumed.
    DBID ApplyBoolAction(DBID target, int action);  // 0 deletes, 1 undeletes
    DBID SetRecordFeatures(DBID target, const FeatureArray& features);
    // The same with an array the caller is done with: its features move into the edit.
    DBID SetRecordFeatures(DBID target, FeatureArray&& features);
    DBID ApplyDBID(DBID target, DBID id);
    DBID ApplyStr(DBID target, const Str& text, int code);  // 0 point name, 1 transformation name
    // A note replaces the target's whole notes text; a tunnel point joins its list.
    DBID ChangeRecord(DBID target, const db_Note& note);
    DBID ChangeRecord(DBID target, const dbRecord_Class& record);

    // Notes.
    void AddPendingNoteLines(const StrArray& lines);
    // Both rewrite the target's notes as lines each ended by CR LF; nothing when the
    // target is not in the job.
    void PrependNoteLine(DBID target, const Str& line);
    void AppendNoteLines(DBID target, const StrArray& lines);

    // Stores a target (db_Target), antenna (db_Antenna) or equipment (db_Equipment)
    // record only when the job's current one differs from it or was stored before the
    // newest db_EndSurveyStyle; the id of the stored record, else of the current one.
    // A stored target is shown to Environment::FeaturesAdded.
    DBID AddTargetIfChanged(const dbRecord_Class* record);
    DBID AddAntennaIfChanged(const dbRecord_Class* record);
    DBID AddEquipmentIfChanged(const dbRecord_Class* record);
    // Links a point observation's measurement to a new target (antenna); observations
    // stored after it that shared the old one are linked to a copy of the old one
    // stored behind the new. The new record's id; NODBID, with nothing stored, when
    // the observation, its measurement's link or the old record is missing.
    DBID ChangeTarget(DBID observation, const dbRecord_Class* newTarget);
    DBID ChangeAntenna(DBID observation, const dbRecord_Class* newAntenna);

    // The feature codes and descriptions in use for new entities.
    void SetCurrentFeatures(const FeatureArray& features) { _CurrentFeatures.Assign(features); }
    void SetCurrentDescriptions(const dbrecord_Descriptions& descriptions) {
        _CurrentDescriptions.Assign(descriptions);
    }
    void ClearCurrentFeatures() {
        _CurrentFeatures.Clear();
        _CurrentDescriptions.Clear();
    }

    // ---------------------------------------------------------------- settings
    // The settings record of a type in force: the job's newest committed one while the
    // file is open, else the cache's, made from the type's defaults on first use. Null
    // only for a type whose class the record factory cannot make (reported).
    dbRecord_Class* GetSettings(int type);
    // The getters by type. Each class is named only where the getter is used, so a
    // caller includes the family header of the record it asks for.
    template <class T = db_JobProperties> T* GetJobPropertiesSettings() { return Settings<T>(120); }
    template <class T = db_Corrections> T* GetCorrectionsSettings() { return Settings<T>(37); }
    template <class T = db_Units> T* GetUnitsSettings() { return Settings<T>(47); }
    template <class T = db_DescriptionsDefinition> T* GetDescriptionsDefinitionSettings() {
        return Settings<T>(51);
    }
    template <class T = db_ConfigCalib> T* GetConfigCalibSettings() { return Settings<T>(76); }
    template <class T = db_Coding> T* GetCodingSettings() { return Settings<T>(50); }
    template <class T = db_Datum> T* GetDatumSettings() { return Settings<T>(33); }
    template <class T = db_Projection> T* GetProjectionSettings() { return Settings<T>(34); }
    template <class T = db_Ellipsoid> T* GetEllipsoidSettings() { return Settings<T>(32); }
    template <class T = db_Plane> T* GetPlaneSettings() { return Settings<T>(35); }
    template <class T = db_Height> T* GetHeightSettings() { return Settings<T>(36); }
    template <class T = db_CoordSystem> T* GetCoordSystemSettings() { return Settings<T>(81); }
    template <class T = db_CoordSystemControl> T* GetCoordSystemControlSettings() {
        return Settings<T>(79);
    }
    template <class T = db_TraverseAdjustment> T* GetTraverseAdjustmentSettings() {
        return Settings<T>(115);
    }
    template <class T = db_RoadAvailableStations> T* GetRoadAvailableStationsSettings() {
        return Settings<T>(38);
    }
    template <class T = db_BackgroundFileList> T* GetBackgroundFileListSettings() {
        return Settings<T>(119);
    }
    template <class T = db_StakeoutList> T* GetStakeoutListSettings() { return Settings<T>(118); }
    template <class T = db_AttachedFilesList> T* GetAttachedFilesListSettings() {
        return Settings<T>(117);
    }
    template <class T = db_RoverSurvey> T* GetRoverSurveySettings() { return Settings<T>(43); }
    // From the cache only.
    template <class T = db_AutoEntityNames> T* GetAutoEntityNamesSettings() {
        return static_cast<T*>(_SettingsCache->Get(148));
    }
    // A copy: the job's newest loaded into a default one while the file is open, else
    // the defaults.
    template <class T = db_CoordViewType> T GetCoordViewTypeSettings() {
        T settings;
        if (_Access && _Access->IsOpen()) settings.LoadLatest(_Access);
        return settings;
    }

    int GetSettingsChangeCount() const { return _SettingsCache->GetChangeCount(); }
    // Completes the job's newest record of a type from the cached defaults: stores the
    // completed copy, or the default when the job has none and the type requires one.
    void EnsureSettings(int type);
    // EnsureSettings for units, coding, corrections and descriptions definition, in one
    // outermost group; no group may be open.
    void WriteDefaultSettings();
    // Caches the job's persisted records in chain order: the newest of each type stays.
    void LoadSettingsFromJob();
    // The cache from a default-settings file "$(ProjectRootDir)" + name: an ordinary job
    // file holding one transaction of a job header "DefaultSettings" and the cached
    // settings. False when the file is missing or not a job of this version.
    bool LoadDefaultSettings(const Str& name);
    // Writes the cache as such a file. The new file is written beside the old one under
    // a temporary name and then renamed over it, so the old defaults stay whole until
    // the new ones are.
    bool SaveDefaultSettings(const Str& name);
    // Stores the cache's automatic entity names when the job's newest ones differ.
    void UpdateAutoEntityNames();
    // Stores the system's time zone, in a group of its own, when the job's newest
    // db_TimeZone differs or there is none.
    void UpdateTimeZone();
    // The projection in force at a record: the first db_Projection behind it across
    // coordinate-system records, else the newest one before it, else the settings.
    const db_Projection* GetProjectionFor(DBID id);
    // True when the kinds differ and one of them is the scale-only projection.
    bool IsScaleOnlyChange(int kind);
    static bool ReadFileHeader(const Str& path, filehdr_Class& header);
    // Shares another job's index and access object without owning them.
    void ReferToJob(JobDatabase& other);
    bool IsReferenceTo(const JobDatabase& other) const {
        return IsReferenceToJob && MainJobIndex == other.MainJobIndex;
    }

    dbAccess* GetAccess() const { return _Access; }
    dbJobIndex* GetJobIndex() const { return MainJobIndex; }
    int GetOpenStatus() const { return _OpenStatus; }
    const db_JobHeader& GetJobHeader() const { return _JobHeader; }
    // The header record Create stores: its timestamp and notes may be set beforehand.
    db_JobHeader& GetJobHeader() { return _JobHeader; }
    JobSettingsCache& GetSettingsCache() { return *_SettingsCache; }
    // Lines that Close stores as one note record, each ended by CR LF.
    StrArray& GetPendingNoteLines() { return _PendingNotes; }
    FeatureArray& GetCurrentFeatures() { return _CurrentFeatures; }
    dbrecord_Descriptions& GetCurrentDescriptions() { return _CurrentDescriptions; }

    dbJobIndex* MainJobIndex = nullptr;
    // True when the index and the access object belong to another JobDatabase.
    bool IsReferenceToJob = false;
    // Told of every committed transaction after the cache and the index.
    void (*TransactionCallback)(JobDatabase* job, dbTransaction& transaction) = nullptr;
    // Asked whether a job damaged in the middle may be cut behind its last good
    // transaction.
    bool (*TruncationCallback)(JobDatabase* job) = nullptr;

private:
    friend class JobListener;
    template <class T>
    T* Settings(int type) {
        return static_cast<T*>(GetSettings(type));
    }
    // The newest committed record of a type, or null.
    dbRecord_Class* GetNewest(int type);
    DBID AddIfChanged(const dbRecord_Class* record, const dbRecord_Class* current);
    DBID ChangeLink(DBID observation, const dbRecord_Class* newRecord, bool antenna);
    void AttachIndex();

    dbAccess* _Access = nullptr;
    int _OpenStatus = DBACCESS_CannotOpen;
    db_JobHeader _JobHeader;
    JobListener _Listener{this};
    JobSettingsCache* _SettingsCache;
    bool _OpenFlag = false;
    FeatureArray _CurrentFeatures;
    dbrecord_Descriptions _CurrentDescriptions;
    StrArray _PendingNotes;
};

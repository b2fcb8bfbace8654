// JobDatabase: one job as the rest of the program sees it.
//
// It creates or opens the job file through its own dbAccess, owns the job index, holds
// a copy of the job header record (record 1), caches the newest settings record of
// every settings type, and keeps the pending note lines that Close stores as one note
// record. Its listener keeps the cache and the index in step with every committed
// transaction; in automatic-group mode (the import) no commit reaches it.
#pragma once

#include "foundation/text/str.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbJobIndex.h"
#include "records/dbFeatures.h"
#include "records/dbRecord.h"
#include "records/jobheader.h"

class JobDatabase;

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

    dbAccess* GetAccess() const { return _Access; }
    dbJobIndex* GetJobIndex() const { return MainJobIndex; }
    int GetOpenStatus() const { return _OpenStatus; }
    const db_JobHeader& GetJobHeader() const { return _JobHeader; }
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

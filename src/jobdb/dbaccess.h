// dbAccess: the access object of one open job file.
//
// Every change of a job is an action (append, replace, insert before, apply an edit,
// remove) queued on the calling thread's transaction inside a group. When the
// outermost group ends, the transaction is applied to the in-memory model, shown to
// the listener and handed to the journal, which writes it to the file. An aborted group
// reaches the model never; the journal still records it, marked aborted, and replay
// skips it.
//
// Record ids: every append, insert and apply takes the model's next id at the moment
// the action is queued; the ids taken inside an aborted group are handed out again.
// Replace and remove keep their target's id.
//
// Opening a job replays the journal transaction by transaction into the model. Replay
// never gives two records one id: behind a gap the counter continues above the id
// read, and a record that claims an id already held is skipped with a warning.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/files/filehdr.h"
#include "foundation/text/str.h"
#include "jobdb/dbjournal.h"
#include "jobdb/dbmodel.h"
#include "records/dbRecord.h"
#include "records/dbid.h"

// Told of every finished transaction, except while the access object groups
// automatically.
class dbListener {
public:
    virtual ~dbListener() = default;
    virtual void Committed(dbTransaction& transaction);
    virtual void Aborted(dbTransaction& transaction);
};

// Statuses of dbAccess::Open.
enum dbAccess_OpenStatus : int {
    DBACCESS_Opened = 0,
    DBACCESS_CannotOpen = 1,
    DBACCESS_WrongVersion = 2,
    DBACCESS_NotAJob = 3,  // header unreadable or of another file type, or no record
    DBACCESS_ModelFailed = 5,
    DBACCESS_Damaged = 6,  // open up to the damage
};

class dbAccess {
public:
    static constexpr int ThreadSlots = 30;

    dbAccess() = default;
    dbAccess(const dbAccess&) = delete;
    dbAccess& operator=(const dbAccess&) = delete;
    // Requires no open group and every transaction slot empty; closes a file left open.
    virtual ~dbAccess();

    // Groups.
    void BeginGroup();
    void EndGroup();
    void AbortGroup();
    void BeginGroupNested();
    void EndGroupNested();
    void AbortGroupNested();
    bool InGroup() const { return _GroupNestCount > 0; }
    bool InTransaction() const { return _GroupNestCount > 0; }

    // Queues one action on the calling thread's transaction and returns the id it
    // concerns (see the operations in jobdb/dbmodel.h). A null record, a record whose
    // type is no record type and a measurement handed in for anything but an apply
    // store nothing and give NODBID. While the model has failed nothing is queued, but
    // the id is taken and returned all the same.
    DBID AddAction(int operation, DBID target, const dbRecord_Class* record);
    // The same with a record made for the action alone: it is queued itself rather than
    // a copy (and deleted when the action is refused).
    DBID AddAction(int operation, DBID target, std::unique_ptr<dbRecord_Class> record);
    // An apply in a group of its own.
    DBID ApplyInGroup(DBID target, const dbRecord_Class* record);
    DBID ApplyInGroup(DBID target, std::unique_ptr<dbRecord_Class> record);

    // From now on every action outside a group is a transaction of its own, and no
    // group is reported to the listener. There is no way back.
    void SetAutoGroup() { _AutoGroup = true; }
    bool IsAutoGroup() const { return _AutoGroup; }
    // While on, an action whose record the journal would refuse as too long is refused
    // before its record is copied (NODBID), at the cost of encoding each record once
    // more: for records that may be long.
    void CheckLengthsFirst(bool check) { _CheckLengthsFirst = check; }
    // With time-stamping off a stored record keeps its own timestamp.
    void DisableTimeStamps() { _TimeStamping = false; }
    void EnableTimeStamps() { _TimeStamping = true; }
    void SetListener(dbListener* listener) { _Listener = listener; }
    dbTransaction& CurrentTransaction();

    // Reading committed records; the model keeps ownership.
    dbRecord_Class* GetRecord(DBID id) const { return _Model.GetRecord(id); }
    DBID GetFirstId() const;
    DBID GetNextId(DBID id) const;
    DBID GetPreviousId(DBID id) const;
    // The back of the chain, or the last append pending on the calling thread.
    DBID GetLastId();
    // The last pending action of the calling thread with a record of that type, else
    // the model's newest record of the type.
    DBID GetLastIdOfType(int type);
    const dbModel_TypeSummary& GetTypeSummary(int type) const { return _Model.GetTypeSummary(type); }

    // The file.
    bool CreateFile(const Str& path, const filehdr_Class& header);
    bool Open(const Str& path, bool writable);
    // Flushes, closes and empties the model. False when something appended since the
    // file was created or opened never reached it.
    bool Close();
    bool IsOpen() const { return _Journal.IsOpen(); }
    int GetOpenStatus() const { return _OpenStatus; }
    bool GetFileHeader(filehdr_Class& header) const { return _Journal.GetHeader(header); }
    // The job file: its path and name are the job's.
    const file_Class& GetJobFile() const { return _Journal.GetFile(); }
    // Cuts the file where the next transaction goes (behind the last transaction that
    // read back whole) and makes the journal writable again when the job was opened
    // for writing; the position, or 0 when the cut failed.
    int64_t TruncateJournal();
    void FlushIfDue(double now);
    void FlushFile() { _Journal.Flush(); }
    // See dbModel::PurgeSuperseded.
    void PurgeSuperseded() { _Model.PurgeSuperseded(); }
    bool CopyFile(const Str& name) { return _Journal.CopyFile(name); }

    // For tests and the job database.
    const dbModel& GetModel() const { return _Model; }
    dbModel& GetModel() { return _Model; }
    dbJournal& GetJournal() { return _Journal; }
    int GetGroupNestCount() const { return _GroupNestCount; }

private:
    // AddAction's work: owned, when given, is record itself and is queued as it is.
    DBID QueueAction(int operation, DBID target, const dbRecord_Class* record, std::unique_ptr<dbRecord_Class> owned);
    bool ReplayJournal();
    void ApplyReplayedTransaction(dbTransaction& transaction);
    // The calling thread's slot, 0 when the thread number is out of range (reported).
    int CurrentSlot();
    bool IsStartThread();

    dbModel _Model;
    dbJournal _Journal;
    bool _AutoGroup = false;
    int _GroupNestCount = 0;
    DBID _SavedNextRecordId;
    int _GroupStartThread = -1;
    bool _TimeStamping = true;
    bool _CheckLengthsFirst = false;
    int _OpenStatus = DBACCESS_Opened;
    // Created, or opened for writing: only then may the file be cut.
    bool _OpenedWritable = false;
    dbListener* _Listener = nullptr;
    dbTransaction _Transactions[ThreadSlots];
};

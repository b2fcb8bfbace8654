// dbModel: every record of an open job in memory, in file (chain) order, found by its
// record id in constant time.
//
// The model changes only by applying record actions. A dbModel_Action names an
// operation, a target record id and a record (owned); a dbTransaction is the ordered
// list of actions of one group of work. The same types carry a transaction to the
// journal and back when a job is replayed. The model never touches the file.
//
// Ownership: the model owns every record it holds. A record that leaves the chain
// (removed) or is superseded (replaced record, replaced measurement, replaced feature
// set) goes to the free list and stays valid until the next PurgeDiscarded, so callers'
// pointers survive the transaction that changed it.
//
// Edits are routed by the type code of the record they carry: measurements go to their
// point observation, the edit records (157..161) to their target, tunnel points to their
// tunnel list. A tunnel point applied to its list joins the list's points; a point
// replaced later is found through a table from point id to its list and place, so the
// replace costs the same whatever the number of lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "records/dbRecord.h"
#include "records/dbRecordTypes.h"
#include "records/dbid.h"

// The operations of a record action.
enum dbModel_Operation : int {
    DBMODEL_Append = 10800,
    DBMODEL_Replace = 10801,
    DBMODEL_InsertBefore = 10802,
    DBMODEL_Apply = 10803,
    DBMODEL_Foreign = 10804,
    DBMODEL_NoRecord = 10805,
    DBMODEL_Remove = 10806,
    DBMODEL_NoOperation = 10807,  // a new action without arguments
};

inline bool dbModel_IsOperation(int operation) {
    return operation >= DBMODEL_Append && operation <= DBMODEL_Remove;
}

// One change of a job. Flags are the journal's (1 first, 2 last, 4 aborted).
class dbModel_Action {
public:
    dbModel_Action() = default;
    // Holds a clone of record (none for a null record).
    dbModel_Action(int operation, DBID target, const dbRecord_Class* record);
    // Clones the record; the copy is not linked to any transaction.
    dbModel_Action(const dbModel_Action& other);
    dbModel_Action& operator=(const dbModel_Action&) = delete;
    virtual ~dbModel_Action();

    // One or more per record written: kept with the records (records/recordheap.h).
    static void* operator new(std::size_t size);
    static void operator delete(void* action, std::size_t size) noexcept;

    dbModel_Action* GetNext() const { return _Next; }
    // Replaces the record held, deleting the old one; the action owns the new one.
    void SetRecord(dbRecord_Class* record);

    uint32_t Flags = 0;
    int Operation = DBMODEL_NoOperation;
    DBID Target;
    dbRecord_Class* DBRecord = nullptr;

private:
    friend class dbTransaction;
    dbModel_Action* _Next = nullptr;
};

// The ordered actions of one group; owns them.
class dbTransaction {
public:
    dbTransaction() = default;
    dbTransaction(const dbTransaction&) = delete;
    dbTransaction& operator=(const dbTransaction&) = delete;
    virtual ~dbTransaction();

    bool Empty() const { return _First == nullptr; }
    // Links an action at the end and takes ownership of it.
    void Append(dbModel_Action* action);
    // Deletes every action with its record.
    void Clear();
    dbModel_Action* GetFirst() const { return _First; }
    dbModel_Action* GetLast() const { return _Last; }
    int Count() const;

    // OR the abort (4) or end (2) flag into the last action; nothing when empty.
    void MarkAborted();
    void MarkEnd();
    bool IsAborted() const;
    bool IsEnded() const;

private:
    dbModel_Action* _First = nullptr;
    dbModel_Action* _Last = nullptr;
};

// The holder of one record in the chain or on the free list; owns its record. A job
// holds one per record, so a holder is 16 bytes: the holders live in the model's slabs
// and name their neighbours by slot number (see dbModel_HolderSlots).
class dbModel_Record {
public:
    explicit dbModel_Record(dbRecord_Class* record = nullptr) : DBRecord(record) {}
    // Copies both links and a clone of the record.
    dbModel_Record(const dbModel_Record& other);
    dbModel_Record& operator=(const dbModel_Record&) = delete;
    ~dbModel_Record();

    // On the free list: removed or superseded. No action reaches such a record.
    bool IsDiscarded() const { return (_Back & DiscardedMark) != 0; }

    dbRecord_Class* DBRecord = nullptr;

private:
    friend class dbModel;
    friend class dbModel_Thread;
    friend class dbModel_HolderSlots;
    static constexpr uint32_t DiscardedMark = 0x80000000u;
    uint32_t _Forward = 0;  // the slot towards the back (on a list: the next one); 0 none
    uint32_t _Back = 0;     // the slot towards the front, 0 none; or DiscardedMark
};

// Where the holders live: slabs of 1024, never moved, each holder found by its slot
// number (1 and up; 0 is no holder).
class dbModel_HolderSlots {
public:
    static constexpr int SlabSize = 1024;

    dbModel_Record* Get(uint32_t slot) const {
        return slot ? &_Slabs[(slot - 1) / SlabSize][(slot - 1) % SlabSize] : nullptr;
    }
    // One more slab; the slot of its first holder.
    uint32_t Grow();

private:
    std::vector<std::unique_ptr<dbModel_Record[]>> _Slabs;
};

// The chain of holders in file order.
class dbModel_Thread {
public:
    explicit dbModel_Thread(const dbModel_HolderSlots& slots) : _Slots(slots) {}
    dbModel_Thread(const dbModel_Thread&) = delete;
    dbModel_Thread& operator=(const dbModel_Thread&) = delete;
    virtual ~dbModel_Thread() = default;

    dbModel_Record* GetFront() const { return _Slots.Get(_Front); }
    dbModel_Record* GetBack() const { return _Slots.Get(_Back); }
    // The neighbours of a holder in the chain; null at the ends and for a null holder.
    dbModel_Record* GetNextHolder(const dbModel_Record* holder) const {
        return holder ? _Slots.Get(holder->_Forward) : nullptr;
    }
    dbModel_Record* GetPreviousHolder(const dbModel_Record* holder) const {
        return holder && !holder->IsDiscarded() ? _Slots.Get(holder->_Back) : nullptr;
    }

private:
    friend class dbModel;
    const dbModel_HolderSlots& _Slots;
    uint32_t _Front = 0;
    uint32_t _Back = 0;
};

struct dbModel_TypeSummary {
    DBID First;          // the first record of the type the model stored
    DBID Last;           // the last in chain order, as far as appends and inserts go
    uint32_t Count = 0;  // appended and inserted; removals and replacements not counted
};

// Holder slots by record id: blocks of 1018 entries, zero-filled, grown on demand,
// never shrunk.
class dbModel_IdTable {
public:
    static constexpr uint32_t BlockSize = 1018;

    dbModel_IdTable() = default;
    dbModel_IdTable(const dbModel_IdTable&) = delete;
    dbModel_IdTable& operator=(const dbModel_IdTable&) = delete;
    ~dbModel_IdTable();

    // 0 for NODBID and for ids beyond the table.
    uint32_t Get(DBID id) const {
        const uint32_t n = id.Value();
        const uint32_t block = n / BlockSize;
        return n != 0 && block < BlockCount ? Blocks[block][n % BlockSize] : 0;
    }
    // Grows the table to id / 1018 + 1 blocks first. Id 0 is refused.
    void Set(DBID id, uint32_t slot);
    // Empties every entry; the blocks stay.
    void ClearAll();
    uint32_t GetBlockCount() const { return BlockCount; }

    uint32_t** Blocks = nullptr;
    uint32_t BlockCount = 0;
};

class dbModel {
public:
    dbModel();
    dbModel(const dbModel&) = delete;
    dbModel& operator=(const dbModel&) = delete;
    // Requires an empty chain (the access object clears the model when it closes).
    virtual ~dbModel();

    // The next record id, advancing the counter.
    DBID NextRecordId();
    // The counter without advancing it, and setting it (a group that is abandoned
    // hands its ids out again; replay continues behind the ids it met).
    DBID PeekNextRecordId() const { return _NextRecordId; }
    void SetNextRecordId(DBID id) { _NextRecordId = id; }

    bool HasFailed() const { return _Failed; }
    void SetFailed(bool failed) { _Failed = failed; }

    // The holder of a record id, removed records included until the next purge; null
    // for NODBID and ids not held.
    dbModel_Record* FindRecord(DBID id) const { return _Slots.Get(_IdTable.Get(id)); }
    // The record of a holder in the chain; null for removed and unknown ids.
    dbRecord_Class* GetRecord(DBID id) const;

    // Applies each action in order while the failure flag is clear; returns the flag.
    bool ApplyTransaction(const dbTransaction& transaction);
    void ApplyAction(const dbModel_Action& action);
    // The same for a transaction that is discarded once applied: where the model would
    // store a copy of an action's record it keeps the record itself (the action is left
    // without one), and the records of edits may be emptied. The model ends in the same
    // state; only the copies are saved.
    bool ApplyTransactionUsingRecords(dbTransaction& transaction);

    const dbModel_Thread& GetThread() const { return _MainThread; }
    // The entry of a type code 0..162; any other code is reported and gets an empty one.
    const dbModel_TypeSummary& GetTypeSummary(int type) const;

    // Deletes the records on the free list and forgets their ids.
    void PurgeDiscarded();
    // Deletes the superseded records on the free list at once; removed records stay,
    // found by their ids, until PurgeDiscarded. For a writer of many records, at a
    // point where no pointer to a superseded record is held.
    void PurgeSuperseded();
    // Deletes every record of the chain and of the free list. The next id and the
    // summary stay; no id finds a record any more.
    void Clear();

private:
    // The slot of a holder in the chain with that id, or 0 (missing, removed, superseded).
    uint32_t FindTargetSlot(DBID id) const;
    // The same holder, or null.
    dbModel_Record* FindTarget(DBID id) const { return _Slots.Get(FindTargetSlot(id)); }
    // held, when not null, is the action's own record, which the model may take (and
    // null) instead of storing a copy.
    void Apply(const dbModel_Action& action, dbRecord_Class** held);
    void ApplyMeasurement(const dbModel_Action& action, dbRecord_Class** held);
    void ApplyFeatures(const dbModel_Action& action, dbRecord_Class** held);
    void ApplyNote(const dbModel_Action& action, dbRecord_Class** held);
    void ApplyUpdate(const dbModel_Action& action);
    void ApplyChainOperation(const dbModel_Action& action, dbRecord_Class** held);
    void Append(const dbRecord_Class& record, dbRecord_Class** held);
    void Replace(DBID target, const dbRecord_Class& record, dbRecord_Class** held);
    void InsertBefore(DBID target, const dbRecord_Class& record, dbRecord_Class** held);
    void Remove(DBID target);
    // Whether a new record may take its id: positive and not held by another record.
    bool CanTakeId(const dbRecord_Class& record) const;
    void CountNew(const dbRecord_Class& record);
    // Puts a holder that left the chain on the free list.
    void PutOnFreeList(uint32_t slot);
    // A superseded record: its id becomes NODBID and it waits on the free list.
    void Discard(dbRecord_Class* record);
    // Holders come from slabs and go back to a list of spares, so a job of a million
    // records asks the heap for holders a thousand times, not a million, and each
    // holder costs its own 16 bytes and no allocator overhead. The new holder's slot.
    uint32_t NewHolder(dbRecord_Class* record);
    // Deletes the holder's record and keeps the holder for the next one.
    void DeleteHolder(uint32_t slot);

    dbModel_HolderSlots _Slots;
    dbModel_Thread _MainThread{_Slots};
    uint32_t _FreeList = 0;       // linked by _Forward
    uint32_t _SpareHolders = 0;   // linked by _Forward
    DBID _NextRecordId{1};
    dbModel_TypeSummary _Summary[DATABASE_AllRecords + 1];
    dbModel_IdTable _IdTable;
    // Where each tunnel point applied to a list stands: the list's id and the index.
    struct TunnelPointPlace {
        DBID List;
        int Index;
    };
    std::unordered_map<uint32_t, TunnelPointPlace> _TunnelPoints;
    bool _Failed = false;
    // Superseded records put on the free list since the last purge; being the newest,
    // they lie in front of every older holder there.
    uint32_t _SupersededCount = 0;
};

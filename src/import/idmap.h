// The map from the XML record IDs of an export to the record ids the job gave the
// stored records. Records refer to each other by XML ID while the export is read; the
// second pass turns those IDs into record ids through this map.
//
// Lookups answer as a list with insertion at its head would: a later entry for an
// equal ID hides the earlier one (also when it maps to NODBID), and an ID never
// entered gives NODBID. Since hidden entries are never seen again, an entry simply
// takes over its ID's slot.
//
// An open-addressing hash table with linear probing, grown by half when it is four
// fifths full, so entering and finding stay constant-time on exports of millions of
// records. A slot is eight bytes: the ID 0xFFFFFFFF marks a free slot, and that one ID
// is kept beside the table. The table is the largest structure of a conversion after
// the job model, so its size matters as much as its speed.
#pragma once

#include <cstdint>
#include <memory>

#include "records/dbid.h"

class writejob_RecordIdMap {
public:
    writejob_RecordIdMap() = default;
    writejob_RecordIdMap(const writejob_RecordIdMap&) = delete;
    writejob_RecordIdMap& operator=(const writejob_RecordIdMap&) = delete;

    void Set(uint32_t xmlId, DBID recordId);
    DBID Find(uint32_t xmlId) const;
    // The count of distinct IDs entered.
    int Count() const { return _Count; }

private:
    static constexpr uint32_t FreeId = 0xFFFFFFFFu;
    struct Slot {
        uint32_t xmlId;
        DBID recordId;
    };
    void Grow();
    uint32_t Home(uint32_t xmlId) const;
    // Enters an ID other than FreeId into a table with a free slot.
    void Put(uint32_t xmlId, DBID recordId);

    std::unique_ptr<Slot[]> _Slots;
    uint32_t _Capacity = 0;
    uint32_t _Used = 0;  // slots taken
    int _Count = 0;
    bool _HasFreeId = false;  // the ID FreeId, kept apart
    DBID _FreeIdRecord;
};

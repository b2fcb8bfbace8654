// The map from the XML record IDs of an export to the record ids the job gave the
// stored records. Records refer to each other by XML ID while the export is read; the
// second pass turns those IDs into record ids through this map.
//
// Lookups answer as a list with insertion at its head would: a later entry for an
// equal ID hides the earlier one (also when it maps to NODBID), and an ID never
// entered gives NODBID. Since hidden entries are never seen again, an entry simply
// takes over its ID's slot.
//
// Exports number their records densely from 1, so IDs go straight into pages of 1024
// slots indexed by the ID, walked in order as the export is; the pages in use stay
// within 64 plus one for every 128 IDs entered, so scattered IDs never make a table of
// mostly empty pages. An ID beyond them goes to an open-addressing hash table with
// linear probing, doubled when it is half full. Entering and finding stay constant-time
// on exports of millions of records.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

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
    static constexpr int kPageBits = 10;
    static constexpr uint32_t kPageSize = 1u << kPageBits;
    struct Page {
        DBID recordIds[kPageSize];
        uint64_t used[kPageSize / 64];
    };
    struct Slot {
        uint32_t xmlId;
        DBID recordId;
        bool used;
    };
    // Whether the ID's page may be in use: it never turns false again for an ID.
    bool IsPaged(uint32_t xmlId) const {
        return (xmlId >> kPageBits) < 64 + static_cast<uint32_t>(_Count) / 128;
    }
    // The hash table's slot of the ID, or null.
    Slot* FindSlot(uint32_t xmlId) const;
    void SetHashed(uint32_t xmlId, DBID recordId);
    void Grow();
    uint32_t Home(uint32_t xmlId) const;

    std::vector<std::unique_ptr<Page>> _Pages;
    std::unique_ptr<Slot[]> _Slots;
    int _Hashed = 0;
    uint32_t _Capacity = 0;  // 0 or a power of two
    int _Count = 0;
};

#include "import/idmap.h"

#include <bit>

uint32_t writejob_RecordIdMap::Home(uint32_t xmlId) const {
    // Exports number their records densely; a multiplicative hash spreads runs of
    // neighbouring IDs over the whole table. Its high bits are taken: the low bits of
    // the product ignore the high bits of the ID, so IDs a power of two apart would
    // share a few slots.
    return static_cast<uint32_t>((xmlId * 2654435761u) >> (32 - std::countr_zero(_Capacity)));
}

void writejob_RecordIdMap::Set(uint32_t xmlId, DBID recordId) {
    if (static_cast<uint64_t>(_Count + 1) * 2 > _Capacity) Grow();
    for (uint32_t i = Home(xmlId);; i = (i + 1) & (_Capacity - 1)) {
        Slot& slot = _Slots[i];
        if (!slot.used) {
            slot = {xmlId, recordId, true};
            ++_Count;
            return;
        }
        if (slot.xmlId == xmlId) {
            slot.recordId = recordId;
            return;
        }
    }
}

DBID writejob_RecordIdMap::Find(uint32_t xmlId) const {
    if (_Count == 0) return NODBID;
    for (uint32_t i = Home(xmlId);; i = (i + 1) & (_Capacity - 1)) {
        const Slot& slot = _Slots[i];
        if (!slot.used) return NODBID;
        if (slot.xmlId == xmlId) return slot.recordId;
    }
}

void writejob_RecordIdMap::Grow() {
    uint32_t capacity = _Capacity ? _Capacity * 2 : 1024;
    std::unique_ptr<Slot[]> old = std::move(_Slots);
    uint32_t oldCapacity = _Capacity;
    _Slots = std::make_unique<Slot[]>(capacity);
    _Capacity = capacity;
    _Count = 0;
    for (uint32_t i = 0; i < oldCapacity; ++i)
        if (old[i].used) Set(old[i].xmlId, old[i].recordId);
}

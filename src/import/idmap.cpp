#include "import/idmap.h"

uint32_t writejob_RecordIdMap::Home(uint32_t xmlId) const {
    // Exports number their records densely; a multiplicative hash spreads runs of
    // neighbouring IDs over the whole table, and its high bits scaled to the capacity
    // pick the slot (the low bits of the product ignore the high bits of the ID, so IDs
    // a power of two apart would share a few slots).
    const uint32_t hash = xmlId * 2654435761u;
    return static_cast<uint32_t>((static_cast<uint64_t>(hash) * _Capacity) >> 32);
}

void writejob_RecordIdMap::Set(uint32_t xmlId, DBID recordId) {
    if (xmlId == FreeId) {
        if (!_HasFreeId) ++_Count;
        _HasFreeId = true;
        _FreeIdRecord = recordId;
        return;
    }
    if (static_cast<uint64_t>(_Used + 1) * 5 > static_cast<uint64_t>(_Capacity) * 4) Grow();
    Put(xmlId, recordId);
}

void writejob_RecordIdMap::Put(uint32_t xmlId, DBID recordId) {
    for (uint32_t i = Home(xmlId);; i = i + 1 == _Capacity ? 0 : i + 1) {
        Slot& slot = _Slots[i];
        if (slot.xmlId == FreeId) {
            slot = {xmlId, recordId};
            ++_Used;
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
    if (xmlId == FreeId) return _HasFreeId ? _FreeIdRecord : NODBID;
    if (_Used == 0) return NODBID;
    for (uint32_t i = Home(xmlId);; i = i + 1 == _Capacity ? 0 : i + 1) {
        const Slot& slot = _Slots[i];
        if (slot.xmlId == FreeId) return NODBID;
        if (slot.xmlId == xmlId) return slot.recordId;
    }
}

void writejob_RecordIdMap::Grow() {
    const uint32_t capacity = _Capacity ? _Capacity + _Capacity / 2 : 1024;
    std::unique_ptr<Slot[]> old = std::move(_Slots);
    const uint32_t oldCapacity = _Capacity;
    _Slots = std::make_unique_for_overwrite<Slot[]>(capacity);
    for (uint32_t i = 0; i < capacity; ++i) _Slots[i] = {FreeId, NODBID};
    _Capacity = capacity;
    _Count -= static_cast<int>(_Used);
    _Used = 0;
    for (uint32_t i = 0; i < oldCapacity; ++i)
        if (old[i].xmlId != FreeId) Put(old[i].xmlId, old[i].recordId);
}

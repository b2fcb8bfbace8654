#include "import/idmap.h"

#include <bit>

uint32_t writejob_RecordIdMap::Home(uint32_t xmlId) const {
    // A multiplicative hash spreads runs of neighbouring IDs over the whole table. Its high bits are taken: the low bits of
    // the product ignore the high bits of the ID, so IDs a power of two apart would
    // share a few slots.
    return static_cast<uint32_t>((xmlId * 2654435761u) >> (32 - std::countr_zero(_Capacity)));
}

void writejob_RecordIdMap::Set(uint32_t xmlId, DBID recordId) {
    if (IsPaged(xmlId)) {
        // An ID entered while its page was beyond reach keeps its hashed entry.
        if (Slot* slot = FindSlot(xmlId)) {
            slot->recordId = recordId;
            return;
        }
        const uint32_t index = xmlId >> kPageBits;
        if (index >= _Pages.size()) _Pages.resize(index + 1);
        if (!_Pages[index]) _Pages[index] = std::make_unique<Page>();
        Page& page = *_Pages[index];
        const uint32_t at = xmlId & (kPageSize - 1);
        uint64_t& word = page.used[at / 64];
        const uint64_t bit = uint64_t{1} << (at % 64);
        if (!(word & bit)) {
            word |= bit;
            ++_Count;
        }
        page.recordIds[at] = recordId;
        return;
    }
    SetHashed(xmlId, recordId);
}

void writejob_RecordIdMap::SetHashed(uint32_t xmlId, DBID recordId) {
    if (static_cast<uint64_t>(_Hashed + 1) * 2 > _Capacity) Grow();
    for (uint32_t i = Home(xmlId);; i = (i + 1) & (_Capacity - 1)) {
        Slot& slot = _Slots[i];
        if (!slot.used) {
            slot = {xmlId, recordId, true};
            ++_Hashed;
            ++_Count;
            return;
        }
        if (slot.xmlId == xmlId) {
            slot.recordId = recordId;
            return;
        }
    }
}

writejob_RecordIdMap::Slot* writejob_RecordIdMap::FindSlot(uint32_t xmlId) const {
    if (_Hashed == 0) return nullptr;
    for (uint32_t i = Home(xmlId);; i = (i + 1) & (_Capacity - 1)) {
        Slot& slot = _Slots[i];
        if (!slot.used) return nullptr;
        if (slot.xmlId == xmlId) return &slot;
    }
}

DBID writejob_RecordIdMap::Find(uint32_t xmlId) const {
    const uint32_t index = xmlId >> kPageBits;
    if (index < _Pages.size() && _Pages[index]) {
        // A paged ID is never hashed too: an unentered one there is unentered.
        const Page& page = *_Pages[index];
        const uint32_t at = xmlId & (kPageSize - 1);
        if (page.used[at / 64] & (uint64_t{1} << (at % 64))) return page.recordIds[at];
    }
    const Slot* slot = FindSlot(xmlId);
    return slot ? slot->recordId : NODBID;
}

void writejob_RecordIdMap::Grow() {
    uint32_t capacity = _Capacity ? _Capacity * 2 : 1024;
    std::unique_ptr<Slot[]> old = std::move(_Slots);
    uint32_t oldCapacity = _Capacity;
    _Slots = std::make_unique<Slot[]>(capacity);
    _Capacity = capacity;
    for (uint32_t i = 0; i < oldCapacity; ++i) {
        if (!old[i].used) continue;
        for (uint32_t j = Home(old[i].xmlId);; j = (j + 1) & (_Capacity - 1)) {
            if (!_Slots[j].used) {
                _Slots[j] = old[i];
                break;
            }
        }
    }
}

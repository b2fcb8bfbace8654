// An owning list of entries inside a record, written as an i16 count and then each
// entry. The lists of traverse legs and of extra design elevations share it.
//
// Traits name what differs between them:
//   ExtraSlots        the list grows to 2n + ExtraSlots slots when n entries no longer fit
//   MinEntryBytes     the fewest bytes an entry takes on disk, which bounds a count read
//   CountCheck        the report when a list too long for its i16 count is written
//   Write, Read       one entry's fields on disk
//
// A list longer than an i16 count can carry is written as its first 32767 entries
// with a matching count, and reported; a count read that the bytes left cannot hold
// marks the record damaged and reads no entry.
#pragma once

#include <utility>
#include <vector>

#include "foundation/buffer.h"
#include "records/damage.h"
#include "records/dbRecordValues.h"

template <class Entry, class Traits>
class dbrecord_EntryList {
public:
    // The most entries an i16 count can carry.
    static constexpr int MaxWritten = 32767;

    dbrecord_EntryList() = default;
    // A copy holds exactly Reserve(count) slots.
    dbrecord_EntryList(const dbrecord_EntryList& other) { *this = other; }
    dbrecord_EntryList& operator=(const dbrecord_EntryList& other) {
        if (this == &other) return *this;
        Clear();
        Reserve(other.Count());
        _Entries = other._Entries;
        return *this;
    }

    void Reserve(int n) {
        if (n <= _Allocated) return;
        _Allocated = 2 * n + Traits::ExtraSlots;
        _Entries.reserve(static_cast<size_t>(_Allocated));
    }
    // Appends a copy of the entry.
    void Add(const Entry& entry) {
        Reserve(Count() + 1);
        _Entries.push_back(entry);
    }
    int Count() const { return static_cast<int>(_Entries.size()); }
    int Allocated() const { return _Allocated; }
    void Clear() {
        _Entries.clear();
        _Entries.shrink_to_fit();
        _Allocated = 0;
    }

    void Write(WriteBuffer& buffer) const {
        int count = Count();
        if (count > MaxWritten) {
            dbRecord_Report(Traits::CountCheck);
            count = MaxWritten;
        }
        buffer.PutInt16(count);
        for (int i = 0; i < count; ++i) Traits::Write(buffer, _Entries[static_cast<size_t>(i)]);
    }
    bool IsEqual(const dbrecord_EntryList& other) const {
        if (this == &other) return true;
        if (Count() != other.Count()) return false;
        for (int i = 0; i < Count(); ++i)
            if (!_Entries[static_cast<size_t>(i)].IsEqual(other._Entries[static_cast<size_t>(i)])) return false;
        return true;
    }

protected:
    // The entry at index, or null (reported "Index < _Count") outside the list.
    const Entry* Find(int index) const {
        if (index >= 0 && index < Count()) return &_Entries[static_cast<size_t>(index)];
        dbRecord_Report("Index < _Count");
        return nullptr;
    }
    Entry* Find(int index) { return const_cast<Entry*>(std::as_const(*this).Find(index)); }
    bool Find(int index, Entry& entry) const {
        const Entry* found = Find(index);
        if (!found) return false;
        entry = *found;
        return true;
    }
    // Appends the entries read to those held; a count of zero or less gives none.
    void ReadEntries(ReadBuffer& buffer, int& byteOffset) {
        const int count = buffer.GetInt16(byteOffset);
        if (!dbRecord_CountFits(buffer, byteOffset, count, Traits::MinEntryBytes)) return;
        for (int i = 0; i < count && !dbRecord_IsDamaged(buffer, byteOffset); ++i) {
            Entry entry;
            Traits::Read(buffer, byteOffset, entry);
            Add(entry);
        }
    }

private:
    std::vector<Entry> _Entries;
    int _Allocated = 0;
};

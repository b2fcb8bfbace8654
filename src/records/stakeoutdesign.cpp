#include "records/stakeoutdesign.h"

#include <utility>

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;

// An entry on disk: i16 index, three f64 and at least the description's terminator.
constexpr int kMinEntryBytes = 2 + 3 * 8 + 1;
}  // namespace

dbrecord_ExtraDesignElevations& dbrecord_ExtraDesignElevations::operator=(
    const dbrecord_ExtraDesignElevations& other) {
    if (this == &other) return *this;
    Clear();
    Reserve(other.Count());
    _Entries = other._Entries;
    return *this;
}

void dbrecord_ExtraDesignElevations::Reserve(int n) {
    if (n <= _Allocated) return;
    _Allocated = 2 * n + 2;
    _Entries.reserve(static_cast<size_t>(_Allocated));
}

void dbrecord_ExtraDesignElevations::Add(const dbrecord_ExtraDesignElevation& entry) {
    Reserve(Count() + 1);
    _Entries.push_back(entry);
}

const dbrecord_ExtraDesignElevation* dbrecord_ExtraDesignElevations::Get(int index) const {
    if (!QZ_ASSERT_TEXT(index >= 0 && index < Count(), "Index < _Count")) return nullptr;
    return &_Entries[static_cast<size_t>(index)];
}

dbrecord_ExtraDesignElevation* dbrecord_ExtraDesignElevations::Get(int index) {
    return const_cast<dbrecord_ExtraDesignElevation*>(std::as_const(*this).Get(index));
}

bool dbrecord_ExtraDesignElevations::Get(int index, dbrecord_ExtraDesignElevation& entry) const {
    const dbrecord_ExtraDesignElevation* found = Get(index);
    if (!found) return false;
    entry = *found;
    return true;
}

void dbrecord_ExtraDesignElevations::Clear() {
    _Entries.clear();
    _Entries.shrink_to_fit();
    _Allocated = 0;
}

void dbrecord_ExtraDesignElevations::Write(WriteBuffer& buffer) const {
    int count = Count();
    if (!QZ_ASSERT_TEXT(count <= MaxWritten, "ExtraDesignElevations.Count() <= 32767")) count = MaxWritten;
    buffer.PutInt16(count);
    for (int i = 0; i < count; ++i) {
        const dbrecord_ExtraDesignElevation& entry = _Entries[static_cast<size_t>(i)];
        buffer.PutInt16(entry.Index);
        buffer.PutDouble(entry.EditElevDesignElev);
        buffer.PutDouble(entry.EditElevVertOffset);
        buffer.PutDouble(entry.EditElevCutFill);
        buffer.PutStr(entry.EditElevDesc);
    }
}

void dbrecord_ExtraDesignElevations::Read(ReadBuffer& buffer, int& byteOffset) {
    const int count = buffer.GetInt16(byteOffset);
    if (!dbRecord_CountFits(buffer, byteOffset, count, kMinEntryBytes)) return;
    for (int i = 0; i < count && !dbRecord_IsDamaged(buffer, byteOffset); ++i) {
        dbrecord_ExtraDesignElevation entry;
        entry.Index = buffer.GetInt16(byteOffset);
        entry.EditElevDesignElev = buffer.GetDouble(byteOffset);
        entry.EditElevVertOffset = buffer.GetDouble(byteOffset);
        entry.EditElevCutFill = buffer.GetDouble(byteOffset);
        entry.EditElevDesc = buffer.GetString(byteOffset);
        Add(entry);
    }
}

bool dbrecord_ExtraDesignElevations::IsEqual(const dbrecord_ExtraDesignElevations& other) const {
    if (this == &other) return true;
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        if (!_Entries[static_cast<size_t>(i)].IsEqual(other._Entries[static_cast<size_t>(i)])) return false;
    }
    return true;
}

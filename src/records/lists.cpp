#include "records/lists.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;

// The fewest bytes a slot takes on disk besides its entry: the index.
constexpr int kIndexBytes = 4;

// Reads count slot entries (index, then the entry by readEntry) into slots. An index
// outside the table makes the record damaged; a second entry for a slot replaces the
// first. Nothing is read for a count the bytes left cannot hold.
template <class T, class ReadEntry>
void ReadSlots(ReadBuffer& b, int& o, uint32_t count, int minEntryBytes, dbrecord_Slots<T>& slots,
               ReadEntry readEntry) {
    slots.Clear();
    if (!dbRecord_CountFits(b, o, count, kIndexBytes + minEntryBytes)) return;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t index = b.GetUInt32(o);
        if (dbRecord_IsDamaged(b, o)) return;
        if (!dbrecord_Slots<T>::IsSlot(index)) {
            dbRecord_MarkDamaged(b, o);
            return;
        }
        T* entry = new T;
        readEntry(*entry);
        slots.Set(static_cast<int>(index), entry);
        if (dbRecord_IsDamaged(b, o)) return;
    }
}
}  // namespace

// ---------------------------------------------------------------- attached files

void dbrecord_AttachedFile::Write(WriteBuffer& b) const {
    b.PutStr(Filename);
    b.PutInt16(CoordType);
    b.PutStr(LocalReferenceTransform);
}

void dbrecord_AttachedFile::Read(ReadBuffer& b, int& o) {
    Filename = b.GetString(o);
    CoordType = b.GetInt16(o);
    LocalReferenceTransform = b.GetString(o);
}

bool db_AttachedFilesList::IsEqual(const dbRecord_Class& record) const {
    const db_AttachedFilesList* other = Cast(&record);
    return other && Fields::Equal(*this, *other);
}

void db_AttachedFilesList::Table::Write(const db_AttachedFilesList& r, WriteBuffer& b) {
    b.PutUInt32(r.FileCount);
    uint32_t NumberOfStringsWrittenOut = 0;
    for (int slot = 0; slot < dbrecord_Slots<dbrecord_AttachedFile>::Size; ++slot) {
        const dbrecord_AttachedFile* file = r.Files.Get(slot);
        if (!file) continue;
        b.PutInt32(slot);
        file->Write(b);
        ++NumberOfStringsWrittenOut;
    }
    QZ_ASSERT_TEXT(NumberOfStringsWrittenOut == r.FileCount, "NumberOfStringsWrittenOut == FileCount");
}

void db_AttachedFilesList::Table::Read(db_AttachedFilesList& r, ReadBuffer& b, int& o) {
    const uint32_t count = b.GetUInt32(o);
    ReadSlots(b, o, count, dbrecord_AttachedFile::MinBytes, r.Files,
              [&](dbrecord_AttachedFile& file) { file.Read(b, o); });
    r.FileCount = static_cast<uint32_t>(r.Files.Occupied());
}

// ---------------------------------------------------------------- stake-out list

void db_StakeoutList::Ids::Write(const db_StakeoutList& r, WriteBuffer& b) {
    b.PutUInt32(r.GetUniqueCount());
    for (DBID id : r.Uniques) b.PutUInt32(id.Value());
}

void db_StakeoutList::Ids::Read(db_StakeoutList& r, ReadBuffer& b, int& o) {
    r.Uniques.clear();
    const uint32_t count = b.GetUInt32(o);
    if (!dbRecord_CountFits(b, o, count, 4)) return;
    r.Uniques.reserve(count);
    for (uint32_t i = 0; i < count; ++i) r.Uniques.push_back(DBID(b.GetUInt32(o)));
}

// ---------------------------------------------------------------- background files

void db_BackgroundFileList::Table::Write(const db_BackgroundFileList& r, WriteBuffer& b) {
    b.PutUInt32(r.FilenameCount);
    uint32_t written = 0;
    for (int slot = 0; slot < dbrecord_Slots<Str>::Size; ++slot) {
        const Str* name = r.Filenames.Get(slot);
        if (!name) continue;
        b.PutInt32(slot);
        b.PutStr(*name);
        ++written;
    }
    QZ_ASSERT_TEXT(written == r.FilenameCount, "fileCount == 0");
}

void db_BackgroundFileList::Table::Read(db_BackgroundFileList& r, ReadBuffer& b, int& o) {
    const uint32_t count = b.GetUInt32(o);
    ReadSlots(b, o, count, 1, r.Filenames, [&](Str& name) { name = b.GetString(o); });
    r.FilenameCount = static_cast<uint32_t>(r.Filenames.Occupied());
}

// ---------------------------------------------------------------- tunnel lists

db_TunnelList::db_TunnelList(const db_TunnelList& other)
    : dbRecord_Class(other), TunnelName(other.TunnelName), Station(other.Station) {
    AppendPointsOf(other);
}

db_TunnelList& db_TunnelList::operator=(const db_TunnelList& other) {
    if (this == &other) return *this;
    dbRecord_Class::operator=(other);
    TunnelName = other.TunnelName;
    Station = other.Station;
    ReleasePoints();
    AppendPointsOf(other);
    return *this;
}

// No type check here: a copy is made while the list's own type is not yet known, and
// the source's points are of its type already.
void db_TunnelList::AppendPointsOf(const db_TunnelList& other) {
    for (int i = 0; i < other.Count; ++i) AppendClone(*other.Points[i]);
}

void db_TunnelList::ReleasePoints() {
    for (int i = 0; i < Count; ++i) delete Points[i];
    delete[] Points;
    Points = nullptr;
    Count = 0;
    Capacity = 0;
}

bool db_TunnelList::Append(const dbRecord_Class& point) {
    if (!QZ_ASSERT_TEXT(point.GetType() == GetPointType(), "point.GetType() == GetPointType()")) return false;
    return AppendClone(point);
}

bool db_TunnelList::AppendClone(const dbRecord_Class& point) {
    if (Count + 1 >= Capacity) {
        // Far beyond any job; the doubling must not overflow.
        if (!QZ_ASSERT_TEXT(Capacity < (1 << 29), "Capacity < 0x20000000")) return false;
        const int capacity = Capacity == 0 ? 20 : 2 * Capacity;
        dbRecord_Class** points = new dbRecord_Class*[capacity]();
        for (int i = 0; i < Count; ++i) points[i] = Points[i];
        delete[] Points;
        Points = points;
        Capacity = capacity;
    }
    dbRecord_Class* clone = point.Clone();
    if (!clone) return false;
    Points[Count++] = clone;
    return true;
}

const dbRecord_Class* db_TunnelList::GetPoint(int index) const {
    if (!QZ_ASSERT_TEXT(index < Count, "index < this->Count")) return nullptr;
    if (!QZ_ASSERT_TEXT(index >= 0, "index >= 0")) return nullptr;
    return Points[index];
}

dbRecord_Class* db_TunnelList::GetPoint(int index) {
    return const_cast<dbRecord_Class*>(static_cast<const db_TunnelList*>(this)->GetPoint(index));
}

db_TunnelList* db_TunnelList::Cast(dbRecord_Class* record) {
    if (!record) return nullptr;
    const int type = record->GetType();
    return type == DATABASE_TunnelXSPointsRecord || type == DATABASE_TunnelXSSetoutPointsRecord
               ? static_cast<db_TunnelList*>(record)
               : nullptr;
}

bool db_TunnelList::IsSameList(const dbRecord_Class& record) const {
    if (record.GetType() != GetType()) return false;
    const db_TunnelList& other = static_cast<const db_TunnelList&>(record);
    return TunnelName == other.TunnelName && Station == other.Station;
}

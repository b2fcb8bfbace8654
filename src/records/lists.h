// List records.
//
//   117 db_AttachedFilesList     the attached files of a job (persisted)
//   118 db_StakeoutList          the record ids of a stake-out list (persisted)
//   119 db_BackgroundFileList    the background files of a job (persisted)
//   139 db_TunnelXSPoints        a tunnel cross section of measured points (141)
//   140 db_TunnelXSSetoutPoints  a tunnel cross section of set-out points (153)
//   141 db_TunnelPointDelta      one measured tunnel point
//   142 db_TunnelSettings        tunnel scanning and set-out settings
//   153 db_TunnelSetoutPoint     one set-out tunnel point
//
// The two file lists keep a table of 256 slots. On disk: the file count (u32), then for
// each occupied slot in ascending order its index (i32, 0..255) and its entry; empty
// slots leave nothing. A slot index of 256 or more makes the record damaged; a second
// entry for a slot replaces the first. After a read the count is the occupied slots'.
//
// The stake-out list: its id count (u32), then the ids (u32 each).
//
// A tunnel cross section writes only its name and station. Its points are records of
// their own in the journal, each applied to the cross section by the job model, which
// keeps them in memory in the cross section's point array.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/kernel/maths.h"
#include "records/dbRecordValues.h"
#include "records/editactions.h"

// One attached file; a plain value owned by its slot.
class dbrecord_AttachedFile {
public:
    dbrecord_AttachedFile() = default;
    explicit dbrecord_AttachedFile(const Str& filename) : Filename(filename) {}

    bool operator==(const dbrecord_AttachedFile& other) const {
        return Filename == other.Filename && CoordType == other.CoordType &&
               LocalReferenceTransform == other.LocalReferenceTransform;
    }
    bool operator!=(const dbrecord_AttachedFile& other) const { return !(*this == other); }

    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);
    // The fewest bytes an entry takes on disk: two empty texts and the i16.
    static constexpr int MinBytes = 1 + 2 + 1;

    Str Filename;
    int32_t CoordType = 4;  // coord_Type, COORD_GridType; written as i16
    Str LocalReferenceTransform;
};

// A table of 256 slots, each empty or owning one entry. Copies are deep.
template <class T>
class dbrecord_Slots {
public:
    static constexpr int Size = 256;

    dbrecord_Slots() = default;
    dbrecord_Slots(const dbrecord_Slots& other) { *this = other; }
    dbrecord_Slots& operator=(const dbrecord_Slots& other) {
        if (this == &other) return *this;
        for (int i = 0; i < Size; ++i) _Slots[i].reset(other._Slots[i] ? new T(*other._Slots[i]) : nullptr);
        return *this;
    }

    static bool IsSlot(int64_t slot) { return slot >= 0 && slot < Size; }
    // Null for an empty slot and for a number outside the table.
    const T* Get(int slot) const { return IsSlot(slot) ? _Slots[slot].get() : nullptr; }
    // Takes the entry, releasing the slot's earlier one; an entry for a number outside
    // the table is released unstored: false.
    bool Set(int slot, T* entry) {
        std::unique_ptr<T> owned(entry);
        if (!IsSlot(slot)) return false;
        _Slots[slot] = std::move(owned);
        return true;
    }
    void Clear() {
        for (auto& slot : _Slots) slot.reset();
    }
    int Occupied() const {
        int n = 0;
        for (const auto& slot : _Slots) n += slot ? 1 : 0;
        return n;
    }
    // Both empty, or both holding equal entries, slot by slot.
    bool operator==(const dbrecord_Slots& other) const {
        for (int i = 0; i < Size; ++i) {
            const T* a = _Slots[i].get();
            const T* b = other._Slots[i].get();
            if (!a != !b || (a && !(*a == *b))) return false;
        }
        return true;
    }

private:
    std::array<std::unique_ptr<T>, Size> _Slots;
};

class db_AttachedFilesList : public dbRecord_Body<db_AttachedFilesList> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AttachedFilesRecord;

    // Another type or another count is simply not equal: no report.
    bool IsEqual(const dbRecord_Class& record) const override;

    uint32_t FileCount = 0;
    dbrecord_Slots<dbrecord_AttachedFile> Files;

private:
    struct Table {
        static void Write(const db_AttachedFilesList& r, WriteBuffer& b);
        static void Read(db_AttachedFilesList& r, ReadBuffer& b, int& o);
        static bool Equal(const db_AttachedFilesList& a, const db_AttachedFilesList& c) {
            return a.FileCount == c.FileCount && a.Files == c.Files;
        }
    };

public:
    using Fields = dbfield_List<Table>;
};

// Compares nothing: reports "0" and answers true.
class db_StakeoutList : public dbRecord_UncomparedBody<db_StakeoutList> {
public:
    static constexpr database_RecordType RecordType = DATABASE_StakeoutListRecord;

    uint32_t GetUniqueCount() const { return static_cast<uint32_t>(Uniques.size()); }

    // The ids in order; their number is the count written.
    std::vector<DBID> Uniques;

private:
    struct Ids {
        static void Write(const db_StakeoutList& r, WriteBuffer& b);
        static void Read(db_StakeoutList& r, ReadBuffer& b, int& o);
        static bool Equal(const db_StakeoutList&, const db_StakeoutList&) { return true; }
    };

public:
    using Fields = dbfield_List<Ids>;
};

// Compares nothing: reports "0" and answers true.
class db_BackgroundFileList : public dbRecord_UncomparedBody<db_BackgroundFileList> {
public:
    static constexpr database_RecordType RecordType = DATABASE_BackgroundFileListRecord;

    uint32_t FilenameCount = 0;
    dbrecord_Slots<Str> Filenames;

private:
    struct Table {
        static void Write(const db_BackgroundFileList& r, WriteBuffer& b);
        static void Read(db_BackgroundFileList& r, ReadBuffer& b, int& o);
        static bool Equal(const db_BackgroundFileList&, const db_BackgroundFileList&) { return true; }
    };

public:
    using Fields = dbfield_List<Table>;
};

// The frame of both tunnel cross sections: the name and station on disk, the points
// in memory only. Points are clones the list owns.
class db_TunnelList : public dbRecord_Class {
public:
    db_TunnelList() = default;
    // Copies the header, name and station, and appends a clone of each point.
    db_TunnelList(const db_TunnelList& other);
    // The same, after releasing the list's own points.
    db_TunnelList& operator=(const db_TunnelList& other);
    ~db_TunnelList() override { ReleasePoints(); }

    // The type code of the points the list holds.
    virtual database_RecordType GetPointType() const = 0;
    // Stores a clone of point at the end, growing the array first when Count + 1
    // reaches Capacity (to 20, then doubling). A point of another type, or one that
    // cannot be cloned, is refused: false.
    bool Append(const dbRecord_Class& point);
    // The point at index, which must lie in 0..Count-1 (else reported, null).
    const dbRecord_Class* GetPoint(int index) const;
    dbRecord_Class* GetPoint(int index);
    int GetCount() const { return Count; }
    int GetCapacity() const { return Capacity; }

    // The record as a tunnel list when its type is 139 or 140, else null.
    static db_TunnelList* Cast(dbRecord_Class* record);
    static const db_TunnelList* Cast(const dbRecord_Class* record) {
        return Cast(const_cast<dbRecord_Class*>(record));
    }

    Str TunnelName;
    double Station = MATHS_Null;

protected:
    // Same type code, name and station; the points are not compared and another type
    // is simply not equal.
    bool IsSameList(const dbRecord_Class& record) const;

private:
    void ReleasePoints();
    void AppendPointsOf(const db_TunnelList& other);
    bool AppendClone(const dbRecord_Class& point);

    int Count = 0;
    int Capacity = 0;
    dbRecord_Class** Points = nullptr;
};

template <class Derived, database_RecordType PointType>
class db_TunnelListBody : public dbRecord_Body<Derived, db_TunnelList> {
public:
    database_RecordType GetPointType() const override { return PointType; }
    bool IsEqual(const dbRecord_Class& record) const override { return this->IsSameList(record); }

    using Fields = dbfield_List<dbfield_String<&db_TunnelList::TunnelName>, dbfield_F64<&db_TunnelList::Station>>;
};

class db_TunnelXSPoints : public db_TunnelListBody<db_TunnelXSPoints, DATABASE_TunnelPointDeltaRecord> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TunnelXSPointsRecord;
};

class db_TunnelXSSetoutPoints
    : public db_TunnelListBody<db_TunnelXSSetoutPoints, DATABASE_TunnelSetoutPointRecord> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TunnelXSSetoutPointsRecord;
};

// A tunnel point: another type is simply not equal; a db_DBID edit sets Observation.
template <class Derived>
class db_TunnelPointBody : public dbRecord_Body<Derived> {
public:
    bool IsEqual(const dbRecord_Class& record) const override {
        const Derived* other = Derived::Cast(&record);
        return other && Derived::Fields::Equal(static_cast<const Derived&>(*this), *other);
    }
    void ApplyDBIDAction(const db_DBID& action) override { static_cast<Derived&>(*this).Observation = action.Id; }
};

class db_TunnelPointDelta : public db_TunnelPointBody<db_TunnelPointDelta> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TunnelPointDeltaRecord;

    DBID Observation;  // the point observation
    double Delta = MATHS_Null;
    double HorizontalOffset = MATHS_Null;
    double VerticalOffset = MATHS_Null;
    double DeltaStation = MATHS_Null;

    using R = db_TunnelPointDelta;
    using Fields = dbfield_List<dbfield_Id<&R::Observation>, dbfield_F64<&R::Delta>, dbfield_F64<&R::HorizontalOffset>,
                                dbfield_F64<&R::VerticalOffset>, dbfield_F64<&R::DeltaStation>>;
};

class db_TunnelSetoutPoint : public db_TunnelPointBody<db_TunnelSetoutPoint> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TunnelSetoutPointRecord;

    DBID Observation;  // the point observation
    double HorizontalOffset = MATHS_Null;
    double VerticalOffset = MATHS_Null;
    double DeltaStation = MATHS_Null;

    using R = db_TunnelSetoutPoint;
    using Fields = dbfield_List<dbfield_Id<&R::Observation>, dbfield_F64<&R::HorizontalOffset>,
                                dbfield_F64<&R::VerticalOffset>, dbfield_F64<&R::DeltaStation>>;
};

// In memory the scan settings come first; on disk the tolerances lead.
class db_TunnelSettings : public dbRecord_Body<db_TunnelSettings> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TunnelSettingsRecord;

    // Another type is simply not equal: no report.
    bool IsEqual(const dbRecord_Class& record) const override {
        const db_TunnelSettings* other = Cast(&record);
        return other && Fields::Equal(*this, *other);
    }

    double ScanInterval = MATHS_Null;
    double ScanEDMTimeout = MATHS_Null;
    double ScanStationTolerance = MATHS_Null;
    double ScanOverbreakTolerance = MATHS_Null;
    double ScanUnderbreakTolerance = MATHS_Null;
    int32_t ScanIterations = 5;
    double SetoutTolerance = 0.1;
    int32_t SetoutIterations = 5;
    double SetoutEDMTimeout = MATHS_Null;
    Str TunnelName;

    using R = db_TunnelSettings;
    using Fields = dbfield_List<dbfield_F64<&R::ScanStationTolerance>, dbfield_F64<&R::ScanOverbreakTolerance>,
                                dbfield_F64<&R::ScanUnderbreakTolerance>, dbfield_F64<&R::ScanInterval>,
                                dbfield_F64<&R::ScanEDMTimeout>, dbfield_String<&R::TunnelName>,
                                dbfield_F64<&R::SetoutTolerance>, dbfield_I32<&R::SetoutIterations>,
                                dbfield_I32<&R::ScanIterations>, dbfield_F64<&R::SetoutEDMTimeout>>;
};

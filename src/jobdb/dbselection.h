// dbSelection: a compact list of references to index objects, possibly from several
// indexes, which can be kept in name order, searched by name, filtered and hit-tested.
//
// Each item is 5 bytes without padding: a flag byte (0 when made; bit 0x80 is the mark
// Subtract uses), then the packed dbObjectRef in the machine's byte order. Items are
// read and written with memcpy, never through a typed pointer into the array.
//
// Name order: the objects' names compared bytewise (strcmp), equal names by reference
// (index number, then subscript). References are unique in an index, so the order is
// total and every correct sort gives the same list.
//
// The array grows by 800 items, then 800 + 4077, 800 + 2 x 4077, ... whichever first
// exceeds the need; a failed allocation halves the step. When the array cannot grow,
// additions are reported and add nothing.
//
// An item whose index has gone answers neutral values: no index, file type 0, record
// type 163, no record id, not loaded.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/coords/coord.h"
#include "jobdb/dbfilter.h"
#include "jobdb/dbobjectref.h"
#include "records/classification.h"
#include "records/dbid.h"

class dbIndex;
class dbJobIndex;
class dbObject;
class db_Measurement;

inline constexpr int DBSELECTION_ItemSize = 5;

// One item as a value; the array holds it packed.
struct dbSelectionItem {
    dbSelectionItem() = default;
    explicit dbSelectionItem(const dbObjectRef& reference, uint8_t flag = 0)
        : Flag(flag), Reference(reference.Pack()) {}
    dbObjectRef GetReference() const { return dbObjectRef(Reference); }

    uint8_t Flag = 0;
    uint32_t Reference = 0xFFFFFFFF;  // packed
};

class dbSelection {
public:
    dbSelection();
    dbSelection(const dbSelection& set);
    // One item for that reference, not sorted.
    dbSelection(int index, int subscript);
    virtual ~dbSelection();
    // Self-assignment is reported and changes nothing.
    dbSelection& operator=(const dbSelection& set);
    bool Isdbselection_Class() const;

    // ------------------------------------------------ filling, sorting, editing
    // One item per object of the index in subscript order; sorted by name afterwards
    // when the selection is kept in name order.
    void FillFromIndex(dbIndex* index);
    // Item count 0; the array stays.
    void Clear() { _ItemCount = 0; }
    bool IsSortedByName() const { return _SortedByName; }
    void SortByName();
    void SortByReference();
    // Names compared naturally (digit runs by value), ties by reference.
    void SortNatural();
    // At its name position when sorted, else at the end; the position, or -1 (reported)
    // when the array cannot grow.
    int AddItem(const dbSelectionItem& item);
    // At its place in name order, names then references, when sorted (an older object
    // goes before newer ones of its name), else at the end; the position, or -1.
    int AddItemInOrder(const dbSelectionItem& item);
    // Reported, adding nothing, when itemNum is outside 0..count or the array cannot grow.
    void AddItemAt(int itemNum, const dbSelectionItem& item);
    void SetItem(int itemNum, const dbSelectionItem& item);
    void RemoveItem(int itemNum);
    // The first item with that reference, if any.
    void RemoveReference(const dbObjectRef& ref);
    int AddItemMarkUnsorted(const dbSelectionItem& item);
    void Append(const dbSelection& other);
    // Removes every item whose reference occurs in the other.
    void Subtract(const dbSelection& other);
    void Reserve(int minObjects);
    // Items the array can hold.
    int GetAllocated() const { return _Allocated; }

    // Shorthands used by the job database: the count, a reference, and an append at the
    // end that marks the list unsorted (the position, or -1 when the array cannot grow).
    int GetCount() const { return _ItemCount; }
    dbObjectRef At(int itemNum) const { return GetReference(itemNum); }
    int Add(const dbObjectRef& reference);

    // ------------------------------------------------ searching
    // Finds an item of the name and record type (162 any) in name order; itemNum (in
    // and out, may be null) holds the item found. Modes: 0 first, 1 last, 2 next after
    // itemNum, 3 previous, 4..8 first not deleted whose status has the mode's mask.
    bool Search(const char* name, int recordType, int searchMode, int* itemNum) const;
    // The first item whose name is greater, or the count.
    int FindInsertPosition(const char* name) const;
    // Linear; names equal when ASCII letters are folded.
    bool FindNameInsensitive(const char* name, int recordType, int* itemNum) const;

    // ------------------------------------------------ items
    int GetItemCount() const { return _ItemCount; }
    // {0, null reference packed} outside 0..count-1 (reported).
    dbSelectionItem GetItem(int itemNum) const;
    dbObjectRef GetReference(int itemNum) const;
    dbIndex* GetIndex(int itemNum) const;
    dbJobIndex* GetJobIndex(int itemNum) const;
    int GetFileType(int itemNum) const;
    int GetRecordType(int itemNum) const;
    DBID GetRecordId(int itemNum) const;
    dbObject* GetObject(int itemNum) const;
    bool EnsureLoaded(int itemNum) const;
    const char* GetName(int itemNum) const;
    static const char* GetName(const dbObjectRef& ref);
    uint16_t* GetFlags(int itemNum) const;
    db_PointClassification GetClassification(int itemNum) const;
    int32_t GetMethod(int itemNum) const;
    int32_t GetUnderlyingMethod(int itemNum) const;
    int GetMeasurementType(int itemNum) const;
    db_Measurement* GetMeasurement(int itemNum) const;
    bool IsDeleted(int itemNum) const;
    bool IsRemoved(int itemNum) const;
    bool MatchesSearchMode(int itemNum, int searchMode) const;
    // A listing of at most 100 items from `first`, one line each; the text lives in one
    // process-wide buffer that the next listing replaces.
    const char* Dump(int first) const;

    // ------------------------------------------------ filters (keep the order of the kept)
    dbSelection& FilterByItemFlag(uint8_t mask, uint8_t value);
    // The count before filtering.
    int FilterByObjectFlags(uint16_t mask, uint16_t value);
    int FilterByTriple(const dbFilterTriple& triple);
    const dbFilterTriple& GetLastFilter() const { return _LastFilter; }
    // Codes compared with ASCII letters upper-cased.
    void FilterByCode(const char* code);
    // Keeps the spans from an item named `first` to the next named `last`.
    dbSelection& FilterByNameSpan(const char* first, const char* last);
    // Points whose names lie naturally between from and to, then sorted naturally.
    void FilterNameRange(const char* from, const char* to);
    int FilterHasHorizontal();
    dbSelection& FilterHasCoordinates();
    // The number of items dropped.
    int DropInvalid();
    int DropDeleted();
    // The count before filtering.
    int DropRemoved();
    int DropHiddenMeanTurnedAngles();

    // Adds the other's items whose reference is not here yet: at itemNum, itemNum + 1,
    // ... when itemNum lies in 0..count-1, else by AddItem. The other's item count.
    int Merge(int itemNum, const dbSelection& other);
    // Replaces the items of `index` (of every index with allIndexes) by all objects of
    // their names and record types, in `index` and then in the indexes attached to its
    // owner, each visited once. A point becomes its name's best point, or a null
    // reference when none is met, followed by the other points of the name.
    // Environment::Yield is called every 300 items.
    void GatherSameNamed(dbIndex* index, bool allIndexes);
    // Replaces each point that is not the best in its index by its job index's point of
    // the name, removing it when there is none; true when nothing changed.
    bool ReplaceByBestPoints();

    // ------------------------------------------------ positions
    // The nearest point, the first of equals; -1 for none.
    int NearestItem(const coord_CorrectedGrid& position) const;
    // Keeps the items whose object lies within the tolerance; with pointsIfOne and
    // exactly one point hit, only the points among them.
    void SelectNear(const coord_CorrectedGrid& position, double tolerance, bool pointsIfOne);
    void SelectInRectangle(const coord_CorrectedGrid& corner1, const coord_CorrectedGrid& corner2,
                           bool southAzimuths, int orientationCode);
    // The grid orientation and south azimuths come from `owner`'s transform. Points hit
    // are counted in hitCount; a hit line, arc or group updates its near-start flag.
    static bool HitTest(dbObject* object, const coord_CorrectedGrid& position, const dbJobIndex* owner,
                        double tolerance, int& hitCount);
    static bool IsInRectangle(dbObject* object, double maxNorth, double minNorth, double maxEast, double minEast,
                              bool southAzimuths, int orientationCode);
    // Of a line or arc; of a group, its own and every descendant's.
    static void SetNearStart(dbObject* object, bool value);

private:
    unsigned char* Slot(int itemNum) const { return _Items + static_cast<std::ptrdiff_t>(itemNum) * DBSELECTION_ItemSize; }
    dbSelectionItem Load(int itemNum) const;
    void Store(int itemNum, const dbSelectionItem& item);
    // Reserves and reports when the array still cannot hold `count` items.
    bool HasRoomFor(int count);
    // The item number is inside 0..count-1; reported otherwise.
    bool Holds(int itemNum, const char* text) const;
    // The index of the item's reference; reported when gone.
    dbIndex* IndexOf(int itemNum) const;
    const char* NameAt(int itemNum) const;
    bool TypeMatches(int itemNum, int recordType) const;
    // The binary search over names: an item of the name, or -1; `upper` gets the last
    // upper bound.
    int FindName(const char* name, int* upper) const;
    template <class Less>
    void HeapSort(Less less);
    // Keeps the items that pass, in order; the count before.
    template <class Keep>
    int KeepIf(Keep keep);
    // Keeps the items whose object resolves and passes.
    template <class Keep>
    int KeepObjectsIf(Keep keep);

    const char* _ClassTag;
    bool _SortedByName = false;
    int32_t _ItemCount = 0;
    int32_t _Allocated = 0;
    dbFilterTriple _LastFilter;
    unsigned char* _Items = nullptr;
};

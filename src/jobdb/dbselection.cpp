#include "jobdb/dbselection.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "foundation/environment.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbindex.h"
#include "jobdb/dbobjects.h"
#include "records/dbRecordTypes.h"

namespace {
constexpr const char* kModule = "Library/dbselect";

// The text the class tag points at while a selection is alive.
const char kClassName[] = "dbSelection";

constexpr int kGrowthStart = 800;
constexpr int kGrowthStep = 4077;
constexpr int kDumpLines = 100;

const char* EmptyText() { return StaticIndexGlobals().EmptyText.Data(); }

// The name of the object at the reference; the empty text when the index has gone.
const char* QuietName(const dbObjectRef& ref) {
    const dbIndex* index = ref.GetIndex();
    return index ? index->GetName(ref.GetSubscript()) : EmptyText();
}

bool NameLess(const dbSelectionItem& a, const dbSelectionItem& b) {
    const int c = std::strcmp(QuietName(a.GetReference()), QuietName(b.GetReference()));
    return c != 0 ? c < 0 : a.GetReference() < b.GetReference();
}

bool NaturalLess(const dbSelectionItem& a, const dbSelectionItem& b) {
    const int c = string_CompareNatural(Str(QuietName(a.GetReference())), Str(QuietName(b.GetReference())));
    return c != 0 ? c < 0 : a.GetReference() < b.GetReference();
}

bool ReferenceLess(const dbSelectionItem& a, const dbSelectionItem& b) { return a.GetReference() < b.GetReference(); }
}  // namespace

// ---------------------------------------------------------------- construction

dbSelection::dbSelection() : _ClassTag(kClassName) {}

dbSelection::dbSelection(const dbSelection& set) : _ClassTag(kClassName) {
    QZ_ASSERT_TEXT(set._ItemCount == 0 || set._Items, "set._Items");
    *this = set;
}

dbSelection::dbSelection(int index, int subscript) : _ClassTag(kClassName) {
    AddItem(dbSelectionItem(dbObjectRef(index, subscript)));
}

dbSelection::~dbSelection() {
    delete[] _Items;
    _Items = nullptr;
    _Allocated = 0;
    _ClassTag = nullptr;
}

dbSelection& dbSelection::operator=(const dbSelection& set) {
    QZ_ASSERT_TEXT(Isdbselection_Class(), "this->Isdbselection_Class()");
    if (!QZ_ASSERT_TEXT(this != &set, "this != &set")) return *this;
    _SortedByName = set._SortedByName;
    _ItemCount = 0;
    if (set._ItemCount == 0 || !set._Items || !HasRoomFor(set._ItemCount)) return *this;
    std::memcpy(_Items, set._Items, static_cast<size_t>(set._ItemCount) * DBSELECTION_ItemSize);
    _ItemCount = set._ItemCount;
    return *this;
}

bool dbSelection::Isdbselection_Class() const { return _ClassTag == kClassName; }

// ---------------------------------------------------------------- the array

dbSelectionItem dbSelection::Load(int itemNum) const {
    dbSelectionItem item;
    const unsigned char* slot = Slot(itemNum);
    item.Flag = slot[0];
    std::memcpy(&item.Reference, slot + 1, sizeof item.Reference);
    return item;
}

void dbSelection::Store(int itemNum, const dbSelectionItem& item) {
    unsigned char* slot = Slot(itemNum);
    slot[0] = item.Flag;
    std::memcpy(slot + 1, &item.Reference, sizeof item.Reference);
}

void dbSelection::Reserve(int minObjects) {
    if (!QZ_ASSERT_TEXT(minObjects > -1, "minObjects > -1")) return;
    if (_Allocated >= minObjects) return;
    // 64-bit, so that a step beyond the largest capacity counts as a failed allocation.
    int64_t step = kGrowthStart;
    while (_Allocated + step <= minObjects) step += kGrowthStep;
    for (;;) {
        const int64_t capacity = _Allocated + step;
        if (capacity <= minObjects) return;
        unsigned char* items = capacity <= INT_MAX ? new (std::nothrow) unsigned char[capacity * DBSELECTION_ItemSize]
                                                   : nullptr;
        if (items) {
            if (_Items) std::memcpy(items, _Items, static_cast<size_t>(_Allocated) * DBSELECTION_ItemSize);
            delete[] _Items;
            _Items = items;
            _Allocated = static_cast<int32_t>(capacity);
            break;
        }
        step /= 2;
    }
    if (_ItemCount > _Allocated) _ItemCount = _Allocated;
}

bool dbSelection::HasRoomFor(int count) {
    Reserve(count);
    if (!QZ_ASSERT_TEXT(_Items != nullptr || count == 0, "_Items")) return false;
    return QZ_ASSERT_TEXT(_Allocated >= count, "_Allocated >= minObjects");
}

bool dbSelection::Holds(int itemNum, const char* text) const {
    return QZ_ASSERT_TEXT(itemNum >= 0 && itemNum < _ItemCount, text);
}

// ---------------------------------------------------------------- filling, sorting, editing

void dbSelection::FillFromIndex(dbIndex* index) {
    if (!QZ_ASSERT(index != nullptr)) return;
    const int count = index->GetObjectCount();
    Reserve(count);
    if (_Items) {
        if (!QZ_ASSERT_TEXT(_Allocated >= count, "_Allocated >= minObjects")) {
            _ItemCount = 0;
            return;
        }
        for (int subscript = 0; subscript < count; ++subscript)
            Store(subscript, dbSelectionItem(index->MakeReference(subscript)));
        _ItemCount = count;
    }
    if (_SortedByName) SortByName();
}

template <class Less>
void dbSelection::HeapSort(Less less) {
    // Sifts the item at `root` down the heap of the first `end` items.
    auto siftDown = [&](int root, int end) {
        const dbSelectionItem moving = Load(root);
        for (;;) {
            int child = 2 * root + 1;
            if (child >= end) break;
            dbSelectionItem larger = Load(child);
            if (child + 1 < end) {
                const dbSelectionItem right = Load(child + 1);
                if (less(larger, right)) {
                    ++child;
                    larger = right;
                }
            }
            if (!less(moving, larger)) break;
            Store(root, larger);
            root = child;
        }
        Store(root, moving);
    };
    for (int i = _ItemCount / 2 - 1; i >= 0; --i) siftDown(i, _ItemCount);
    for (int end = _ItemCount - 1; end > 0; --end) {
        const dbSelectionItem top = Load(0);
        Store(0, Load(end));
        Store(end, top);
        siftDown(0, end);
    }
}

void dbSelection::SortByName() {
    // Each name is read once: a comparison would otherwise look up two objects.
    std::vector<std::pair<const char*, dbSelectionItem>> keyed;
    try {
        keyed.reserve(static_cast<size_t>(_ItemCount));
    } catch (const std::bad_alloc&) {
        HeapSort(NameLess);
        _SortedByName = true;
        return;
    }
    for (int i = 0; i < _ItemCount; ++i) {
        const dbSelectionItem item = Load(i);
        keyed.emplace_back(QuietName(item.GetReference()), item);
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int c = std::strcmp(a.first, b.first);
        return c != 0 ? c < 0 : a.second.GetReference() < b.second.GetReference();
    });
    for (int i = 0; i < _ItemCount; ++i) Store(i, keyed[static_cast<size_t>(i)].second);
    _SortedByName = true;
}

void dbSelection::SortByReference() {
    HeapSort(ReferenceLess);
    _SortedByName = false;
}

void dbSelection::SortNatural() {
    HeapSort(NaturalLess);
    _SortedByName = false;
}

int dbSelection::AddItem(const dbSelectionItem& item) {
    if (!HasRoomFor(_ItemCount + 1)) return -1;
    const int at = _SortedByName ? FindInsertPosition(QuietName(item.GetReference())) : _ItemCount;
    std::memmove(Slot(at + 1), Slot(at), static_cast<size_t>(_ItemCount - at) * DBSELECTION_ItemSize);
    Store(at, item);
    ++_ItemCount;
    return at;
}

int dbSelection::AddItemInOrder(const dbSelectionItem& item) {
    if (!HasRoomFor(_ItemCount + 1)) return -1;
    int at = _ItemCount;
    if (_SortedByName) {
        int low = 0;
        while (low < at) {
            const int middle = low + (at - low) / 2;
            if (NameLess(Load(middle), item)) low = middle + 1;
            else at = middle;
        }
    }
    std::memmove(Slot(at + 1), Slot(at), static_cast<size_t>(_ItemCount - at) * DBSELECTION_ItemSize);
    Store(at, item);
    ++_ItemCount;
    return at;
}

void dbSelection::AddItemAt(int itemNum, const dbSelectionItem& item) {
    if (!QZ_ASSERT_TEXT(itemNum >= 0 && itemNum <= _ItemCount, "itemNum <= _ItemCount")) return;
    if (!HasRoomFor(_ItemCount + 1)) return;
    std::memmove(Slot(itemNum + 1), Slot(itemNum), static_cast<size_t>(_ItemCount - itemNum) * DBSELECTION_ItemSize);
    Store(itemNum, item);
    ++_ItemCount;
    _SortedByName = false;
}

void dbSelection::SetItem(int itemNum, const dbSelectionItem& item) {
    if (!QZ_ASSERT_TEXT(itemNum > -1, "itemNum > -1") || !QZ_ASSERT_TEXT(itemNum < _ItemCount, "itemNum < _ItemCount"))
        return;
    Store(itemNum, item);
    _SortedByName = false;
}

void dbSelection::RemoveItem(int itemNum) {
    if (!Holds(itemNum, "itemNum < _ItemCount")) return;
    std::memmove(Slot(itemNum), Slot(itemNum + 1), static_cast<size_t>(_ItemCount - itemNum - 1) * DBSELECTION_ItemSize);
    --_ItemCount;
}

void dbSelection::RemoveReference(const dbObjectRef& ref) {
    const uint32_t packed = ref.Pack();
    for (int i = 0; i < _ItemCount; ++i) {
        if (Load(i).Reference == packed) {
            RemoveItem(i);
            return;
        }
    }
}

int dbSelection::AddItemMarkUnsorted(const dbSelectionItem& item) {
    const int at = AddItem(item);
    _SortedByName = false;
    return at;
}

int dbSelection::Add(const dbObjectRef& reference) {
    const int at = _ItemCount;
    AddItemAt(at, dbSelectionItem(reference));
    return _ItemCount > at ? at : -1;
}

void dbSelection::Append(const dbSelection& other) {
    QZ_ASSERT_TEXT(Isdbselection_Class(), "this->Isdbselection_Class()");
    // Appending a selection to itself walks a copy, since insertion moves the items.
    if (&other == this) {
        const dbSelection copy(other);
        Append(copy);
        return;
    }
    for (int i = 0; i < other._ItemCount; ++i) AddItem(other.Load(i));
    _SortedByName = false;
}

void dbSelection::Subtract(const dbSelection& other) {
    QZ_ASSERT_TEXT(Isdbselection_Class(), "this->Isdbselection_Class()");
    for (int i = 0; i < _ItemCount; ++i) {
        dbSelectionItem item = Load(i);
        bool inOther = false;
        for (int j = 0; j < other._ItemCount && !inOther; ++j) inOther = other.Load(j).Reference == item.Reference;
        item.Flag = static_cast<uint8_t>(inOther ? item.Flag | 0x80 : item.Flag & ~0x80);
        Store(i, item);
    }
    FilterByItemFlag(0x80, 0);
}

// ---------------------------------------------------------------- searching

const char* dbSelection::NameAt(int itemNum) const { return QuietName(Load(itemNum).GetReference()); }

bool dbSelection::TypeMatches(int itemNum, int recordType) const {
    return recordType == DATABASE_AllRecords || GetRecordType(itemNum) == recordType;
}

int dbSelection::FindName(const char* name, int* upper) const {
    int low = 0;
    int high = _ItemCount - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int c = std::strcmp(name, NameAt(middle));
        if (c == 0) return middle;
        if (c < 0) high = middle - 1;
        else low = middle + 1;
    }
    if (upper) *upper = high;
    return -1;
}

bool dbSelection::Search(const char* name, int recordType, int searchMode, int* itemNum) const {
    int local = -1;
    if (!itemNum) itemNum = &local;
    if (_ItemCount == 0 || !_Items) return false;
    QZ_ASSERT_TEXT(_SortedByName, "_SortedByName");
    if (!name) name = EmptyText();

    int at;
    switch (searchMode) {
    case 2:
    case 3:
        // An item number outside the list has no neighbour to move to.
        if (!QZ_ASSERT_TEXT(*itemNum >= 0 && *itemNum < _ItemCount, "*itemNum >= 0 && *itemNum < _ItemCount"))
            return false;
        if (searchMode == 2) {
            if (*itemNum + 1 >= _ItemCount) return false;
            at = *itemNum + 1;
        } else {
            if (*itemNum <= 0) return false;
            at = *itemNum - 1;
        }
        break;
    case 0:
    case 1:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
        at = FindName(name, nullptr);
        if (at < 0) return false;
        // The ends of the name's run by halving, so a name held many times costs no more.
        if (searchMode == 1) {
            int high = _ItemCount;
            while (at + 1 < high) {
                const int middle = at + (high - at) / 2;
                if (std::strcmp(NameAt(middle), name) == 0) at = middle;
                else high = middle;
            }
        } else {
            int low = -1;
            while (low + 1 < at) {
                const int middle = low + (at - low) / 2;
                if (std::strcmp(NameAt(middle), name) == 0) at = middle;
                else low = middle;
            }
        }
        break;
    default:
        QZ_FAIL("!\"Bad searchMode\"");
        return false;
    }

    const bool backward = searchMode == 1 || searchMode == 3;
    const bool best = searchMode >= 4;
    while (at >= 0 && at < _ItemCount && std::strcmp(NameAt(at), name) == 0) {
        if (TypeMatches(at, recordType) && (!best || (MatchesSearchMode(at, searchMode) && !IsDeleted(at)))) {
            *itemNum = at;
            return true;
        }
        at += backward ? -1 : 1;
    }
    return false;
}

int dbSelection::FindInsertPosition(const char* name) const {
    QZ_ASSERT_TEXT(_SortedByName, "_SortedByName");
    if (!name) name = EmptyText();
    int upper = 0;
    int at = FindName(name, &upper);
    if (at < 0) at = upper < 0 ? 0 : upper;
    while (at < _ItemCount && std::strcmp(NameAt(at), name) <= 0) ++at;
    return at;
}

bool dbSelection::FindNameInsensitive(const char* name, int recordType, int* itemNum) const {
    if (!name) name = EmptyText();
    for (int i = 0; i < _ItemCount; ++i) {
        if (TypeMatches(i, recordType) && string_CompareInsensitive(NameAt(i), name) == 0) {
            if (itemNum) *itemNum = i;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- items

dbSelectionItem dbSelection::GetItem(int itemNum) const {
    if (!QZ_ASSERT_TEXT(itemNum >= 0, "itemNum >= 0") ||
        !QZ_ASSERT_TEXT(itemNum < _ItemCount, "itemNum < this->_ItemCount"))
        return dbSelectionItem();
    return Load(itemNum);
}

dbObjectRef dbSelection::GetReference(int itemNum) const {
    if (!Holds(itemNum, "itemNum < _ItemCount")) return dbObjectRef();
    return Load(itemNum).GetReference();
}

dbIndex* dbSelection::GetIndex(int itemNum) const {
    if (!Holds(itemNum, "itemNum < _ItemCount")) return nullptr;
    return Load(itemNum).GetReference().GetIndex();
}

dbJobIndex* dbSelection::GetJobIndex(int itemNum) const {
    const dbIndex* index = GetIndex(itemNum);
    return index ? index->GetOwner() : nullptr;
}

int dbSelection::GetFileType(int itemNum) const {
    const dbIndex* index = GetIndex(itemNum);
    return index ? index->GetFileType() : dbIndex::NoFile;
}

int dbSelection::GetRecordType(int itemNum) const {
    const dbIndex* index = GetIndex(itemNum);
    return index ? index->GetRecordType(Load(itemNum).GetReference().GetSubscript()) : DATABASE_NoRecordType;
}

DBID dbSelection::GetRecordId(int itemNum) const {
    const dbIndex* index = GetIndex(itemNum);
    return index ? index->GetRecordId(Load(itemNum).GetReference().GetSubscript()) : NODBID;
}

dbObject* dbSelection::GetObject(int itemNum) const {
    if (!Holds(itemNum, "n < _ItemCount")) return nullptr;
    return Load(itemNum).GetReference().GetObject();
}

bool dbSelection::EnsureLoaded(int itemNum) const {
    dbIndex* index = GetIndex(itemNum);
    return index && index->EnsureLoaded(Load(itemNum).GetReference().GetSubscript());
}

dbIndex* dbSelection::IndexOf(int itemNum) const {
    if (!Holds(itemNum, "itemNum < _ItemCount")) return nullptr;
    dbIndex* index = Load(itemNum).GetReference().GetIndex();
    return QZ_ASSERT_TEXT(index != nullptr, "dbx != NULL") ? index : nullptr;
}

const char* dbSelection::GetName(int itemNum) const {
    const dbIndex* index = IndexOf(itemNum);
    return index ? index->GetName(Load(itemNum).GetReference().GetSubscript()) : EmptyText();
}

const char* dbSelection::GetName(const dbObjectRef& ref) {
    const dbIndex* index = ref.GetIndex();
    if (!QZ_ASSERT_TEXT(index != nullptr, "dbx != NULL")) return EmptyText();
    return index->GetName(ref.GetSubscript());
}

uint16_t* dbSelection::GetFlags(int itemNum) const {
    dbIndex* index = IndexOf(itemNum);
    return index ? index->GetFlags(Load(itemNum).GetReference().GetSubscript()) : nullptr;
}

db_PointClassification dbSelection::GetClassification(int itemNum) const {
    const dbIndex* index = IndexOf(itemNum);
    return index ? index->GetClassification(Load(itemNum).GetReference().GetSubscript()) : db_PointClassification();
}

int32_t dbSelection::GetMethod(int itemNum) const {
    const dbIndex* index = IndexOf(itemNum);
    return index ? index->GetMethod(Load(itemNum).GetReference().GetSubscript()) : DBENTITY_Unknown;
}

int32_t dbSelection::GetUnderlyingMethod(int itemNum) const {
    dbIndex* index = IndexOf(itemNum);
    return index ? index->GetUnderlyingMethod(Load(itemNum).GetReference().GetSubscript()) : 0;
}

int dbSelection::GetMeasurementType(int itemNum) const {
    const dbIndex* index = IndexOf(itemNum);
    return index ? index->GetMeasurementType(Load(itemNum).GetReference().GetSubscript()) : DATABASE_NoRecordType;
}

db_Measurement* dbSelection::GetMeasurement(int itemNum) const {
    const dbIndex* index = IndexOf(itemNum);
    return index ? index->GetMeasurement(Load(itemNum).GetReference().GetSubscript()) : nullptr;
}

bool dbSelection::IsDeleted(int itemNum) const {
    const dbIndex* index = IndexOf(itemNum);
    return index && index->IsDeleted(Load(itemNum).GetReference().GetSubscript());
}

bool dbSelection::IsRemoved(int itemNum) const {
    const dbIndex* index = IndexOf(itemNum);
    return index && index->IsRemoved(Load(itemNum).GetReference().GetSubscript());
}

bool dbSelection::MatchesSearchMode(int itemNum, int searchMode) const {
    const dbIndex* index = IndexOf(itemNum);
    if (!index) return false;
    const int subscript = Load(itemNum).GetReference().GetSubscript();
    switch (searchMode) {
    case 5: return index->IsBestInIndexGnss(subscript);
    case 6: return index->IsBestInIndexGrid(subscript);
    case 7: return index->IsBestInIndexLocalGrid(subscript);
    case 8: return index->IsBestInIndexNotLocalGrid(subscript);
    default: return index->IsBestInIndex(subscript);
    }
}

const char* dbSelection::Dump(int first) const {
    static Str listing;
    listing = "\n";
    char line[64];
    const int start = first < 0 ? 0 : first;
    for (int i = start; i < _ItemCount && i - start < kDumpLines; ++i) {
        const dbSelectionItem item = Load(i);
        const dbObjectRef ref = item.GetReference();
        const dbIndex* index = ref.GetIndex();
        // An item whose index has gone lists an empty file name and name.
        std::snprintf(line, sizeof line, "%d: F=", i);
        listing += line;
        if (index) listing += index->GetFileName();
        listing += ", N=";
        listing += QuietName(ref);
        std::snprintf(line, sizeof line, ", S=0x0%x, F=0x0%x\n", static_cast<unsigned>(ref.GetSubscript()),
                      static_cast<unsigned>(item.Flag));
        listing += line;
    }
    return listing.Data();
}
